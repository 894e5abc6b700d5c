#!/usr/bin/env bash
# Runs one journey (a file in journeys/) against the built program, as a user would meet it:
#
#   tests/e2e/run-journey.sh tests/e2e/journeys/NAME.sh
#
# The journey gets a fresh program folder holding a copy of the built one, and its own runtime and
# config folders, session bus, X server with openbox and trayer, and PulseAudio server whose default
# sink is a null sink. Nothing reaches the machine's own desktop, sound or files; everything started
# here is stopped on exit. Exit 0 passed, 1 failed, 77 skipped (pending).
#
# Environment: BELVANE_BUILD_DIR (default build/), BELVANE_ADD_ALARM (the add_alarm_files helper),
# BELVANE_E2E_PENDING=1 to run journeys still marked pending, BELVANE_E2E_KEEP=1 to keep the work folder.
set -euo pipefail

JOURNEY_FILE=$(realpath "$1")
JOURNEY_NAME=$(basename "$JOURNEY_FILE" .sh)
HARNESS_DIR=$(dirname "$(realpath "$0")")
BUILD_DIR=$(realpath "${BELVANE_BUILD_DIR:-$HARNESS_DIR/../../build}")
BELVANE_ADD_ALARM=${BELVANE_ADD_ALARM:-$BUILD_DIR/tests/e2e/add_alarm_files}
SCREENSHOT_DIR=$BUILD_DIR/tests/screenshots
JOURNEY_T0=$(date +%s.%N)

# shellcheck source=../helpers/wait.sh
source "$HARNESS_DIR/../helpers/wait.sh"
# shellcheck source=harness.sh
source "$HARNESS_DIR/harness.sh"

for tool in Xvfb openbox trayer xdotool xwininfo xclip pulseaudio pactl parec pacat faketime dbus-daemon; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (scripts/packages.sh)"; exit 77; }
done
for built in belvane belvane-wake; do
    [ -x "$BUILD_DIR/$built" ] || { echo "no program at $BUILD_DIR/$built: build first" >&2; exit 1; }
done

# The journey: its `journey` function, and a `pending` line while it waits for a part of the program.
# shellcheck source=/dev/null
source "$JOURNEY_FILE"

JOURNEY_WORK=$(mktemp -d /tmp/belvane-e2e.XXXXXX)
JOURNEY_PIDS=()
finish() {
    local status=$? i
    # Stopped one by one in the reverse order of their start, each gone before the next is asked:
    # the program ends while the X server and the sound server it uses are still there. (Each is
    # watched in /proc, where one that has ended shows as a zombie until it is waited for.)
    _gone() {
        local state
        state=$(awk '{ sub(/^.*\) /, ""); print $1 }' "/proc/$1/stat" 2>/dev/null) || return 0
        [ -z "$state" ] || [ "$state" = Z ]
    }
    for ((i = ${#JOURNEY_PIDS[@]} - 1; i >= 0; i--)); do
        kill "${JOURNEY_PIDS[i]}" 2>/dev/null || continue
        wait_for 10 _gone "${JOURNEY_PIDS[i]}" || kill -9 "${JOURNEY_PIDS[i]}" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    if [ "$status" -ne 0 ] && [ "$status" -ne 77 ]; then
        echo "--- program output ---" >&2
        cat "$JOURNEY_WORK/program.log" >&2 2>/dev/null || true
    fi
    if [ "${BELVANE_E2E_KEEP:-0}" = 1 ]; then
        echo "work folder kept: $JOURNEY_WORK"
    else
        rm -rf "$JOURNEY_WORK" 2>/dev/null || true
    fi
    exit "$status"
}
trap finish EXIT

# Private per-user folders: the program's autostart entry, openbox's and PulseAudio's files stay here.
export HOME=$JOURNEY_WORK/home XDG_CONFIG_HOME=$JOURNEY_WORK/config XDG_CACHE_HOME=$JOURNEY_WORK/cache
export XDG_DATA_HOME=$JOURNEY_WORK/data XDG_RUNTIME_DIR=$JOURNEY_WORK/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset PULSE_SERVER DBUS_SYSTEM_BUS_ADDRESS QT_QPA_PLATFORM WAYLAND_DISPLAY
touch "$JOURNEY_WORK/program.log"

# The program folder: a copy of the built one, the wake helper beside the program as installed.
PROGRAM_DIR=$JOURNEY_WORK/program
mkdir "$PROGRAM_DIR"
cp -a "$BUILD_DIR/belvane" "$BUILD_DIR/belvane-wake" "$BUILD_DIR/sounds" "$BUILD_DIR/Digital" \
    "$BUILD_DIR/Santa Claus" "$BUILD_DIR/help" "$PROGRAM_DIR/"

start_session_bus JOURNEY_PIDS

# X server on the first free display, with a window manager and a tray host.
start_x_server "$JOURNEY_WORK" JOURNEY_PIDS || fail "the X server did not start"
export DISPLAY=$STARTED_DISPLAY
start_window_manager "$JOURNEY_WORK" JOURNEY_PIDS || fail "openbox did not start"
start_tray

# Sound server with a null sink; the low-latency stream keeps the sink running so sound starts on time.
start_pulse "$JOURNEY_WORK" JOURNEY_PIDS || fail "pulseaudio did not start"
SINK=$(pactl get-default-sink)
pacat --latency-msec=20 --raw /dev/zero >/dev/null 2>&1 &
JOURNEY_PIDS+=($!)

note "journey $JOURNEY_NAME on display $DISPLAY, sink $SINK, program folder $PROGRAM_DIR"
journey
note "journey $JOURNEY_NAME passed"
