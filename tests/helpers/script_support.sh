# shellcheck shell=bash
# Shared by the test scripts, sourced after `set -euo pipefail` with a short name for the work folder:
#
#   source tests/helpers/script_support.sh NAME
#
# gives what tests/helpers/wait.sh has, `work` (a fresh folder, removed on exit), `pids` (processes
# stopped on exit, in the reverse order of their start) and `use_private_folders`.
source "$(dirname "${BASH_SOURCE[0]}")/wait.sh"
work=$(mktemp -d "/tmp/belvane-$1.XXXXXX")
pids=()
_stop_all() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap _stop_all EXIT

# Per-user folders inside the work folder (HOME too when asked with "home"), so that nothing the tests
# start reads or writes the user's own.
use_private_folders() {
    export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    mkdir -p "$XDG_CONFIG_HOME"
    if [ "${1:-}" = home ]; then
        export HOME=$work/home
        mkdir -p "$HOME"
    fi
}
