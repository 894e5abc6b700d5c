#!/usr/bin/env bash
# Runs a test binary with a private system bus holding python3-dbusmock's logind, and with the
# tests' X server (BELVANE_TEST_DISPLAY) as its display. Everything started here stops on exit.
set -euo pipefail
source "$(dirname "$0")/../helpers/wait.sh"
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
# The bus prints its address once it listens.
dbus-daemon --config-file="$work/system.conf" --nofork --nopidfile --print-address=3 3>"$work/system_bus_address" &
pids+=($!)
await "the private system bus to print its address" file_written "$work/system_bus_address" || exit 1
DBUS_SYSTEM_BUS_ADDRESS=$(head -n1 "$work/system_bus_address")
export DBUS_SYSTEM_BUS_ADDRESS

/usr/bin/python3 -m dbusmock --system --template logind >"$work/logind.log" 2>&1 &
pids+=($!)
await "the logind mock to own org.freedesktop.login1" bus_name_owned --system org.freedesktop.login1 ||
    { cat "$work/logind.log" >&2; exit 1; }
export BELVANE_LOGIND_MOCK=1

if [ -n "${BELVANE_TEST_DISPLAY:-}" ]; then
    export DISPLAY=$BELVANE_TEST_DISPLAY QT_QPA_PLATFORM=xcb
fi
"$@"
