#!/usr/bin/env bash
# The check that keeps src/app's headers to src/app catches every way of writing such an include and
# nothing else: it runs on a small source tree made here, whose files each hold one line.
#
#   tests/app/app_headers_check_test.sh CHECK_SCRIPT
set -euo pipefail
check=$1
work=$(mktemp -d /tmp/belvane-app-headers.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "APP HEADERS CHECK TEST FAILED: $*" >&2; exit 1; }

# Each row: file | its one line | caught (yes) or allowed (no)
rows=$(cat <<'ROWS'
ui/error_box.cpp|#include "app/application.h"|yes
alarms/editor.h|#include <app/services.h>|yes
media/player.cpp|#  include "../app/fonts.h"|yes
shell/tray.cpp|	# include "src/app/single_instance.h"|yes
ringing/window.hpp|#include"app/translations.h"|yes
clockface/face.cpp|#include "ui/window_stacking.h"|no
app/main.cpp|#include "app/application.h"|no
app/sub/part.cpp|#include "app/command_line.h"|no
platform/clock.cpp|// the face is made in app/application.cpp|no
wake/helper.cpp|#include "snapp/thing.h"|no
alarms/list.cpp|#include "alarms/app/x.h"|no
ROWS
)
mkdir -p "$work/src/app"
expected=()
while IFS='|' read -r file line caught; do
    mkdir -p "$(dirname "$work/src/$file")"
    printf '%s\n' "$line" >"$work/src/$file"
    [ "$caught" = yes ] && expected+=("$file")
done <<<"$rows"

status=0
"$check" "$work/src" >"$work/out" 2>"$work/err" || status=$?
[ "$status" = 1 ] || fail "the check ended with $status on a tree with app includes: $(cat "$work/err")"
found=$(grep -oE '^[^:]+:1:' "$work/err" | sed 's/:1:$//' | sort)
want=$(printf '%s\n' "${expected[@]}" | sort)
[ "$found" = "$want" ] || fail "the check named:
$found
expected:
$want"

# Without the offending files the same tree passes.
for file in "${expected[@]}"; do rm "$work/src/$file"; done
"$check" "$work/src" >"$work/out" 2>"$work/err" || fail "the check failed a clean tree: $(cat "$work/err")"
echo "the app headers check catches what it should"
