#!/usr/bin/env bash
# Runs a test binary on a private X server with openbox, the window manager the journeys use: stacking,
# focus, frames and the actions a window offers are the window manager's. Everything started here is
# stopped on exit. Exit 77 (skipped) when the X server or openbox is not installed.
set -euo pipefail
source "$(dirname "$0")/../helpers/wait.sh"
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

export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
start_x_server "$work" pids || { echo "the X server did not start"; exit 1; }
export DISPLAY=$STARTED_DISPLAY
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
await "openbox to set _NET_SUPPORTING_WM_CHECK" window_manager_running ||
    { echo "openbox did not start: $(cat "$work/openbox.log")"; exit 1; }
export QT_QPA_PLATFORM=xcb BELVANE_WINDOW_MANAGER=openbox
"$@"
