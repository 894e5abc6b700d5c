#!/usr/bin/env bash
# Runs every test headless. The tests get their own runtime folder, session bus, X server (for the
# window and end-to-end tests) and PulseAudio server with a null sink, so nothing reaches the machine's
# own desktop, sound or power services. Everything started here is stopped on exit.
set -euo pipefail
cd "$(dirname "$0")/.."

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

# An X server for the tests that need a real one.
# -displayfd: the server picks a free display number and writes it once it is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 3>"$work/display" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
display=:$(head -n1 "$work/display")
export BELVANE_TEST_DISPLAY=$display

# A PulseAudio server with a null sink; the low-latency stream keeps the sink running, so a test's
# sound starts on time instead of 0.5-2 s late.
if command -v pulseaudio >/dev/null; then
    pulseaudio --daemonize=no --exit-idle-time=-1 --system=false -n \
        -L module-null-sink -L module-native-protocol-unix >"$work/pulse.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    if pactl info >/dev/null 2>&1; then
        pacat --latency-msec=20 --raw /dev/zero >/dev/null 2>&1 &
        pids+=($!)
        export BELVANE_TEST_PULSE=1
    fi
fi

for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done

ctest --test-dir build --output-on-failure -j2 "$@"
