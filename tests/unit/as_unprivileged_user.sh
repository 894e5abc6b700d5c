#!/usr/bin/env bash
# Runs some cases of a test binary as an unprivileged user. As root the tests make a folder read-only
# with chattr +i, which refuses with EPERM and also freezes the files inside; a user's read-only
# folder refuses new files with EACCES from its permission bits while its files stay writable, the
# very case in which a save could fall back to writing a file in place. Every case must run here:
# one that skips fails the test.
#
#   tests/unit/as_unprivileged_user.sh TEST_BINARY GTEST_FILTER
set -euo pipefail
binary=$1 filter=$2
[ "$(id -u)" = 0 ] || { echo "skipped: not root, the cases ran as this user already"; exit 77; }
command -v setpriv >/dev/null || { echo "skipped: no setpriv (util-linux)"; exit 77; }
work=$(mktemp -d /tmp/belvane-user.XXXXXX)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
cp "$binary" "$work/tests"
chmod 755 "$work/tests"
status=0
setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env -i PATH=/usr/bin:/bin HOME="$work" TMPDIR=/tmp QT_QPA_PLATFORM=offscreen \
    "$work/tests" --gtest_filter="$filter" >"$work/out" 2>&1 || status=$?
cat "$work/out"
[ "$status" = 0 ] || exit "$status"
! grep -q '^\[  SKIPPED \]' "$work/out" || { echo "a case was skipped as an unprivileged user" >&2; exit 1; }
grep -q '^\[  PASSED  \]' "$work/out"
