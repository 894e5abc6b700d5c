#!/usr/bin/env bash
# Runs a test binary on a private X server with openbox, the window manager the journeys use: stacking,
# focus, frames and the actions a window offers are the window manager's. Everything started here is
# stopped on exit. Exit 77 (skipped) when the X server or openbox is not installed.
set -euo pipefail
for tool in Xvfb openbox xprop xdotool; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (scripts/packages.sh)"; exit 77; }
done
# shellcheck source=../helpers/script_support.sh
source "$(dirname "$0")/../helpers/script_support.sh" wm
use_private_folders home
start_x_server "$work" pids || { echo "the X server did not start"; exit 1; }
export DISPLAY=$STARTED_DISPLAY
start_window_manager "$work" pids || { echo "openbox did not start"; exit 1; }
export QT_QPA_PLATFORM=xcb BELVANE_WINDOW_MANAGER=openbox
"$@"
