#!/usr/bin/env bash
# Runs a test binary with python3-dbusmock's logind on a private system bus, and a private session
# bus holding a mock org.freedesktop.ScreenSaver (it records Inhibit and UnInhibit) and dbusmock's
# notification daemon. Nothing here reaches the machine's own buses.
#
#   tests/wake/run-with-buses.sh TEST_BINARY
set -euo pipefail
# shellcheck source=../helpers/script_support.sh
source "$(dirname "$0")/../helpers/script_support.sh" wake

start_logind_bus "$work" pids || exit 1
start_session_bus pids
/usr/bin/python3 -m dbusmock --session org.freedesktop.ScreenSaver /org/freedesktop/ScreenSaver \
    org.freedesktop.ScreenSaver >"$work/screensaver.log" 2>&1 &
pids+=($!)
await "the screen saver mock to own org.freedesktop.ScreenSaver" \
    bus_name_owned --session org.freedesktop.ScreenSaver || { cat "$work/screensaver.log" >&2; exit 1; }
# Inhibit hands out cookies 1, 2, 3...; UnInhibit takes one back.
gdbus call --session --dest org.freedesktop.ScreenSaver --object-path /org/freedesktop/ScreenSaver \
    --method org.freedesktop.DBus.Mock.AddMethod org.freedesktop.ScreenSaver Inhibit ss u \
    'self.cookies = getattr(self, "cookies", 0) + 1; ret = self.cookies' >/dev/null
gdbus call --session --dest org.freedesktop.ScreenSaver --object-path /org/freedesktop/ScreenSaver \
    --method org.freedesktop.DBus.Mock.AddMethod org.freedesktop.ScreenSaver UnInhibit u '' '' >/dev/null
/usr/bin/python3 -m dbusmock --template notification_daemon >"$work/notify.log" 2>&1 &
pids+=($!)
await "the notification daemon mock to own org.freedesktop.Notifications" \
    bus_name_owned --session org.freedesktop.Notifications || { cat "$work/notify.log" >&2; exit 1; }
BELVANE_WAKE_BUSES=1 "$@"
