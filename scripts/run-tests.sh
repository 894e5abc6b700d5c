#!/usr/bin/env bash
# Runs every test headless. The tests get their own runtime folder, session bus, X server (for the
# window and end-to-end tests) and PulseAudio server with a null sink, so nothing reaches the machine's
# own desktop, sound or power services. Everything started here is stopped on exit.
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/helpers/wait.sh

work=$(mktemp -d /tmp/belvane-test.XXXXXX)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
export XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_CONFIG_HOME"

# A private session bus, so X11 clients never autolaunch one.
eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 |
    { read -r addr; read -r pid; echo "DBUS_SESSION_BUS_ADDRESS='$addr'; dbus_pid=$pid"; })"
export DBUS_SESSION_BUS_ADDRESS
pids+=("$dbus_pid")

# An X server for the tests that need a real one, on a display number it picks itself.
start_x_server "$work" pids || { echo "the tests' X server did not start" >&2; exit 1; }
export BELVANE_TEST_DISPLAY=$STARTED_DISPLAY

# A PulseAudio server with a null sink; the low-latency stream keeps the sink running, so a test's
# sound starts on time instead of 0.5-2 s late.
if command -v pulseaudio >/dev/null; then
    start_pulse "$work" pids || { echo "the tests' PulseAudio server did not start" >&2; exit 1; }
    pacat --latency-msec=20 --raw /dev/zero >/dev/null 2>&1 &
    pids+=($!)
    export BELVANE_TEST_PULSE=1
fi

ctest --test-dir build --output-on-failure -j2 "$@"
