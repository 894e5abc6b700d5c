#!/usr/bin/env bash
# Runs a test binary with a private system bus holding python3-dbusmock's logind, and with the
# tests' X server (BELVANE_TEST_DISPLAY) as its display. Everything started here stops on exit.
set -euo pipefail
# shellcheck source=../helpers/script_support.sh
source "$(dirname "$0")/../helpers/script_support.sh" services

start_logind_bus "$work" pids || exit 1
export BELVANE_LOGIND_MOCK=1

if [ -n "${BELVANE_TEST_DISPLAY:-}" ]; then
    export DISPLAY=$BELVANE_TEST_DISPLAY QT_QPA_PLATFORM=xcb
fi
"$@"
