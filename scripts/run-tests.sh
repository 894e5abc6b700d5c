#!/usr/bin/env bash
# Runs every test headless. The tests get their own runtime folder, session bus, X server (for the
# window and end-to-end tests) and PulseAudio server with a null sink, so nothing reaches the machine's
# own desktop, sound or power services. Everything started here is stopped on exit.
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/helpers/script_support.sh test
use_private_folders

# A private session bus, so X11 clients never autolaunch one.
start_session_bus pids

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
