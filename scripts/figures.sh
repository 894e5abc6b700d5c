#!/usr/bin/env bash
# Prints Belvane's figures in one run: a scheduler tick over 256 alarms, loading and saving 256 alarms,
# a face draw, the start-up time to the clock window mapped under Xvfb, resident memory after 10 s
# idle, CPU over 60 s idle, and the delay from an alarm's due second to its sound playing into a
# PulseAudio null sink. Takes about two minutes. Usage: scripts/figures.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
belvane_install_missing
belvane_build >/dev/null

work=$(mktemp -d /tmp/belvane-figures.XXXXXX)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
mkdir -m 700 "$XDG_RUNTIME_DIR"

echo "== core (Google Benchmark, mean of many runs)"
build/tests/bench/belvane_bench --benchmark_filter='SchedulerTick256|LoadAlarmList256FromDisk|SaveAlarmList256ToDisk' \
    2>/dev/null | grep -E '^(Scheduler|Load|Save)'
echo "== face draw, offscreen"
build/tests/bench/face_bench 2>/dev/null | grep -E '^FaceDraw'
echo "== clock window under Xvfb"
tests/bench/face_figures.sh build
echo "== alarm due second to sound playing into a PulseAudio null sink"
pulseaudio --daemonize=no --exit-idle-time=-1 --system=false -n \
    -L module-null-sink -L module-native-protocol-unix >"$work/pulse.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pacat --latency-msec=20 --raw /dev/zero >/dev/null 2>&1 &
pids+=($!)
build/tests/bench/ring_latency 6 2>/dev/null | grep 'due second'
