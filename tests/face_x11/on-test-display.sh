#!/usr/bin/env bash
# Runs a test binary on the tests' X server (BELVANE_TEST_DISPLAY, started by scripts/run-tests.sh).
set -euo pipefail
if [ -z "${BELVANE_TEST_DISPLAY:-}" ]; then
    echo "no test X server: run through ./test"; exit 0
fi
export DISPLAY=$BELVANE_TEST_DISPLAY QT_QPA_PLATFORM=xcb
exec "$@"
