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
source "$here/../helpers/script_support.sh" sni

export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config HOME=$work/home
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$XDG_CONFIG_HOME" "$HOME"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
start_session_bus
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
wait_for 30 test -s "$work/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")
status-notifier-watcher >"$work/watcher.log" 2>&1 &
pids+=($!)
watcher_up() { dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.kde.StatusNotifierWatcher 2>/dev/null | grep -q true; }
wait_for 30 watcher_up || { cat "$work/watcher.log" >&2; echo "no status-notifier-watcher on the bus" >&2; exit 1; }

/usr/bin/python3 "$here/sni_host.py" "$folder/belvane" --data-dir "$work/data"
