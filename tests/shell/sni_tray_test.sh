#!/usr/bin/env bash
# The program's tray icon on a StatusNotifierItem host: a private session bus with Debian's
# status-notifier-watcher, an X server for the face, and sni_host.py as the desktop's tray.
#
#   tests/shell/sni_tray_test.sh PROGRAM_FOLDER
set -euo pipefail
folder=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
for tool in status-notifier-watcher Xvfb xdotool dbus-daemon; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (scripts/packages.sh)"; exit 77; }
done
# shellcheck source=../helpers/script_support.sh
source "$here/../helpers/script_support.sh" sni

use_private_folders home
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
start_session_bus pids
start_x_server "$work" pids || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=$STARTED_DISPLAY
status-notifier-watcher >"$work/watcher.log" 2>&1 &
pids+=($!)
await "a status-notifier-watcher on the bus" bus_name_owned --session org.kde.StatusNotifierWatcher ||
    { cat "$work/watcher.log" >&2; exit 1; }

SNI_WATCHER_PID=${pids[-1]} /usr/bin/python3 "$here/sni_host.py" "$folder/belvane" --data-dir "$work/data"
