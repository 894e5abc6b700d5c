#!/usr/bin/env bash
# Runs a test binary with a private system bus holding python3-dbusmock's logind, and with the
# tests' X server (BELVANE_TEST_DISPLAY) as its display. Everything started here stops on exit.
set -euo pipefail
work=$(mktemp -d /tmp/belvane-services.XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

cat >"$work/system.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$work/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
dbus-daemon --config-file="$work/system.conf" --nofork --nopidfile &
pids+=($!)
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/system_bus_socket"
for _ in $(seq 50); do [ -S "$work/system_bus_socket" ] && break; sleep 0.1; done

/usr/bin/python3 -m dbusmock --system --template logind >"$work/logind.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    dbus-send --system --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
        string:org.freedesktop.login1 2>/dev/null | grep -q 'boolean true' && break
    sleep 0.1
done
export BELVANE_LOGIND_MOCK=1

if [ -n "${BELVANE_TEST_DISPLAY:-}" ]; then
    export DISPLAY=$BELVANE_TEST_DISPLAY QT_QPA_PLATFORM=xcb
fi
"$@"
