# Shared by the test scripts, sourced after `set -euo pipefail` with a short name for the work folder:
#
#   source tests/helpers/script_support.sh NAME
#
# gives `work` (a fresh folder, removed on exit), `pids` (processes to stop on exit), `wait_for` and
# `start_session_bus`.
work=$(mktemp -d "/tmp/belvane-$1.XXXXXX")
pids=()
_stop_all() {
    local p
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap _stop_all EXIT

# Runs a command every 50 ms until it succeeds, for at most $1 seconds.
wait_for() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.05
    done
}

# A private session bus; exports DBUS_SESSION_BUS_ADDRESS.
start_session_bus() {
    eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 |
        { read -r addr; read -r pid; echo "DBUS_SESSION_BUS_ADDRESS='$addr'; bus_pid=$pid"; })"
    export DBUS_SESSION_BUS_ADDRESS
    pids+=("$bus_pid")
}
