#!/usr/bin/env bash
# Runs the notification tests twice, each time on a private session bus: first with python3-dbusmock's
# notification daemon on it, then with no notification server at all.
#
#   tests/shell/run-with-notifications.sh TEST_BINARY
set -euo pipefail
binary=$1
# shellcheck source=../helpers/script_support.sh
source "$(dirname "$0")/../helpers/script_support.sh" notify

start_session_bus pids
/usr/bin/python3 -m dbusmock --template notification_daemon >"$work/daemon.log" 2>&1 &
pids+=($!)
await "the notification daemon mock to own org.freedesktop.Notifications" \
    bus_name_owned --session org.freedesktop.Notifications || { cat "$work/daemon.log" >&2; exit 1; }
BELVANE_NOTIFICATION_MOCK=1 "$binary"

start_session_bus pids
BELVANE_NOTIFICATION_MOCK=0 "$binary"
