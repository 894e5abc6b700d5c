#!/usr/bin/env bash
# Runs a test binary on a private X server with openbox, the window manager the journeys use: stacking,
# focus, frames and the actions a window offers are the window manager's. Everything started here is
# stopped on exit. Exit 77 (skipped) when the X server or openbox is not installed.
set -euo pipefail
for tool in Xvfb openbox xprop xdotool; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (scripts/packages.sh)"; exit 77; }
done
work=$(mktemp -d /tmp/belvane-wm.XXXXXX)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# Waits up to $1 seconds for "$@" to succeed, trying every 50 ms.
wait_for() {
    local limit=$1 start=$SECONDS
    shift
    until "$@"; do
        [ $((SECONDS - start)) -le "$limit" ] || return 1
        sleep 0.05
    done
}

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
display_ready() { [ -s "$work/display" ]; }
wait_for 30 display_ready || { echo "Xvfb did not start: $(cat "$work/xvfb.log")"; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_for 30 wm_ready || { echo "openbox did not start: $(cat "$work/openbox.log")"; exit 1; }
export QT_QPA_PLATFORM=xcb BELVANE_WINDOW_MANAGER=openbox
"$@"
