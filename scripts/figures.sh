#!/usr/bin/env bash
# Prints Belvane's figures in one run: a scheduler tick over 256 alarms, loading and saving 256 alarms,
# a face draw, the start-up time to the clock window mapped under Xvfb and the resident memory after
# 10 s, then on a private desktop: the idle cost side by side with a bare Qt floor and a peer alarm
# clock, how close to each half-second the face changes, and the delay from an alarm's due second to
# its first sound on a PulseAudio null sink, and one program's resident memory before its first
# alarm, after it and after the last, beside the floor's. Takes several minutes; --quick shortens the
# idle windows and rings 3 alarms instead of 20.
# Usage: scripts/figures.sh [--quick]
set -euo pipefail
cd "$(dirname "$0")/.."
window=20 rounds=20
[ "${1:-}" = --quick ] && window=4 rounds=3
source scripts/packages.sh
belvane_install_missing test
belvane_build >/dev/null
# The peer alarm clock is measured for comparison only: installed here, never for the tests.
if ! command -v alarm-clock-applet >/dev/null; then
    echo "Installing the peer for comparison: alarm-clock-applet"
    sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
        --no-install-recommends alarm-clock-applet >/dev/null ||
        echo "alarm-clock-applet could not be installed: no peer in the table"
fi

echo "== core (Google Benchmark, mean of many runs)"
build/tests/bench/belvane_bench --benchmark_filter='SchedulerWake256|NextOccurrences256|LoadAlarmList256FromDisk|SaveAlarmList256ToDisk' \
    2>/dev/null | grep -E '^(Scheduler|Load|Save)'
echo "== face draw, offscreen"
build/tests/bench/face_bench 2>/dev/null | grep -E '^FaceDraw'
echo "== clock window under Xvfb"
tests/bench/face_figures.sh build
echo "== on a private desktop"
BELVANE_FIGURES_WINDOW=$window BELVANE_FIGURES_ROUNDS=$rounds bash tests/e2e/run-journey.sh tests/bench/desktop_figures.sh |
    grep -v '^\['  # the journey's own progress notes
