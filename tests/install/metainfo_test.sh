#!/usr/bin/env bash
# The metainfo as software centres take it: both AppStream validators in their strictest modes, with
# no network (the screenshot's address is not fetched). Any error, warning or hint fails.
#
#   tests/install/metainfo_test.sh METAINFO_FILE
set -euo pipefail
metainfo=$1
for tool in appstreamcli appstream-util; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (scripts/packages.sh)"; exit 77; }
done
fail() { echo "METAINFO TEST FAILED: $*" >&2; exit 1; }

appstreamcli validate --strict --no-net --explain "$metainfo" || fail "appstreamcli validate --strict rejects $metainfo"
appstream-util validate-strict --nonet "$metainfo" || fail "appstream-util validate-strict rejects $metainfo"
# Who makes the program and where to read about it, which the centres show beside it.
grep -q '<developer_name>[^<]' "$metainfo" || fail "$metainfo names no developer"
grep -q '<url type="homepage">https://' "$metainfo" || fail "$metainfo gives no homepage"
echo "the metainfo passes both validators' strict checks"
