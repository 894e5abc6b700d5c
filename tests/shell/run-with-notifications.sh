#!/usr/bin/env bash
# Runs the notification tests twice, each time on a private session bus: first with python3-dbusmock's
# notification daemon on it, then with no notification server at all.
#
#   tests/shell/run-with-notifications.sh TEST_BINARY
set -euo pipefail
binary=$1
work=$(mktemp -d /tmp/belvane-notify.XXXXXX)
pids=()
cleanup() {
    local p
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
new_bus() {
    eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 |
        { read -r addr; read -r pid; echo "DBUS_SESSION_BUS_ADDRESS='$addr'; bus_pid=$pid"; })"
    export DBUS_SESSION_BUS_ADDRESS
    pids+=("$bus_pid")
}
served() { gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.NameHasOwner org.freedesktop.Notifications 2>/dev/null | grep -q true; }

new_bus
/usr/bin/python3 -m dbusmock --template notification_daemon >"$work/daemon.log" 2>&1 &
pids+=($!)
end=$((SECONDS + 30))
until served; do
    [ $SECONDS -lt $end ] || { cat "$work/daemon.log" >&2; echo "the notification daemon mock did not start" >&2; exit 1; }
    sleep 0.05
done
BELVANE_NOTIFICATION_MOCK=1 "$binary"

new_bus
BELVANE_NOTIFICATION_MOCK=0 "$binary"
