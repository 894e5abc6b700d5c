#!/usr/bin/env bash
# The clock face under a Wayland compositor (weston's headless backend, started here):
#  - natively on Wayland (no X server): the face is translucent outside its outline, so a screenshot
#    of the desktop shows none of the skin's red key colour, and the program says nothing about the
#    stacking it cannot do;
#  - with weston's Xwayland: the program goes through the X server, its face an X window.
# Each run ends on SIGTERM as a desktop's log-out ends it.
#
#   tests/face_wayland/face_on_wayland_test.sh PROGRAM_FOLDER
set -euo pipefail
folder=$(realpath "$1")
for tool in weston weston-screenshooter xdotool /usr/bin/convert; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (scripts/packages.sh)"; exit 77; }
done
[ -e /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqwayland-generic.so ] ||
    { echo "skipped: qt6-wayland is not installed"; exit 77; }
# shellcheck source=../helpers/script_support.sh
source "$(dirname "$0")/../helpers/script_support.sh" wayland
fail() { echo "WAYLAND TEST FAILED: $*" >&2; exit 1; }

use_private_folders home
unset DISPLAY QT_QPA_PLATFORM
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus
# A plain desktop of one colour, so every other pixel on a screenshot is the program's.
cat >"$work/weston.ini" <<INI
[shell]
panel-position=none
background-color=0xff336699
INI

# Starts weston (extra arguments appended) on a socket of its own; sets WAYLAND_DISPLAY.
start_weston() {
    local name=$1
    shift
    weston --config="$work/weston.ini" --backend=headless-backend.so --use-pixman --width=800 --height=600 \
        --socket="$name" --idle-time=0 --debug "$@" >"$work/$name.log" 2>&1 &
    pids+=($!)
    export WAYLAND_DISPLAY=$name
    wait_for 30 test -S "$XDG_RUNTIME_DIR/$name" || fail "weston did not start: $(cat "$work/$name.log")"
}

# Starts the program; sets PROGRAM.
start_program() {
    rm -f "$XDG_RUNTIME_DIR"/belvane-*
    "$folder/belvane" --data-dir "$work/data" >"$work/$1.program.log" 2>&1 &
    PROGRAM=$!
    pids+=("$PROGRAM")
    wait_for 30 compgen -G "$XDG_RUNTIME_DIR/belvane-*.socket" >/dev/null || fail "$1: the program did not start"
}

# Ends the program as a log-out does; it must end at once and not by a crash. (The shell notes a child's
# end as it comes, so `kill -0` fails once the program has ended; its status waits for `wait`.)
program_ended() { ! kill -0 "$PROGRAM" 2>/dev/null; }
stop_program() {
    kill -TERM "$PROGRAM"
    if ! await "the program to end on SIGTERM" program_ended; then
        kill -KILL "$PROGRAM" 2>/dev/null || true
        fail "$1: the program did not end on SIGTERM"
    fi
    local status=0
    wait "$PROGRAM" || status=$?
    [ "$status" -eq 0 ] || [ "$status" -eq 143 ] || fail "$1: the program ended with status $status"
}

# Pixels of a picture in one colour, and those in none of the desktop's.
count_colour() { /usr/bin/convert "$1" -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:round(mean*w*h)]' info:; }
screenshot() {
    rm -f "$work"/wayland-screenshot-*.png
    (cd "$work" && weston-screenshooter >/dev/null 2>&1) || return 1
    mv "$work"/wayland-screenshot-*.png "$work/shot.png" 2>/dev/null
}
face_drawn() { screenshot && [ $(( 800 * 600 - $(count_colour "$work/shot.png" 'rgb(51,102,153)') )) -gt 2000 ]; }

# ---- natively on Wayland -------------------------------------------------------------------------
start_weston wl-native
start_program native
wait_for 30 face_drawn || fail "native: no face on the screenshots"
red=$(count_colour "$work/shot.png" 'rgb(255,0,0)')
[ "$red" -eq 0 ] || fail "native: $red pixels of the red key colour show around the face"
mkdir -p "$folder/tests/screenshots" && cp "$work/shot.png" "$folder/tests/screenshots/face-wayland.png"
stop_program native
if grep -iE 'top|raise|activat|does not support' "$work/native.program.log"; then
    fail "native: the program talked about stacking it cannot do"
fi
echo "native Wayland: the face is clear outside its outline"

# ---- through Xwayland ----------------------------------------------------------------------------
start_weston wl-xwayland --xwayland
x_display() { sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/wl-xwayland.log" | head -n1; }
have_x_display() { [ -n "$(x_display)" ]; }
wait_for 30 have_x_display || fail "weston started no Xwayland: $(cat "$work/wl-xwayland.log")"
DISPLAY=$(x_display)
export DISPLAY
start_program xwayland
face_window() { xdotool search --onlyvisible --pid "$PROGRAM" --name '^Belvane$' >/dev/null 2>&1; }
wait_for 30 face_window || fail "xwayland: the face is not an X window"
stop_program xwayland
echo "Xwayland: the face is an X window"
