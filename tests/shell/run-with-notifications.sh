#!/usr/bin/env bash
# Runs the notification tests twice, each time on a private session bus: first with python3-dbusmock's
# notification daemon on it, then with no notification server at all.
#
#   tests/shell/run-with-notifications.sh TEST_BINARY
set -euo pipefail
binary=$1
source "$(dirname "$0")/../helpers/script_support.sh" notify
served() { gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.NameHasOwner org.freedesktop.Notifications 2>/dev/null | grep -q true; }

start_session_bus
/usr/bin/python3 -m dbusmock --template notification_daemon >"$work/daemon.log" 2>&1 &
pids+=($!)
wait_for 30 served || { cat "$work/daemon.log" >&2; echo "the notification daemon mock did not start" >&2; exit 1; }
BELVANE_NOTIFICATION_MOCK=1 "$binary"

start_session_bus
BELVANE_NOTIFICATION_MOCK=0 "$binary"
