#!/usr/bin/env bash
# The command line: --help and --version print and end without a display or a running copy; an
# unknown option prints the usage on the error output, ends with 2 and starts nothing; without a
# display the program says so and ends with 1.
#
#   tests/app/command_line_test.sh PROGRAM VERSION
set -euo pipefail
program=$1 version=$2
work=$(mktemp -d /tmp/belvane-cli.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "COMMAND LINE TEST FAILED: $*" >&2; exit 1; }
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
# No language in the environment: Chinese, unless --lang or a row's own LANG says otherwise.
unset LANGUAGE LC_ALL LC_MESSAGES LANG

# Each row: arguments | exit status | text expected on stdout | text expected on stderr
while IFS='|' read -r args status out err; do
    read -ra argv <<<"$args"
    code=0
    timeout 20 "$program" "${argv[@]}" >"$work/out" 2>"$work/err" || code=$?
    [ "$code" = "$status" ] || fail "belvane $args ended with $code, expected $status: $(cat "$work/err")"
    [ -z "$out" ] || grep -qF -- "$out" "$work/out" || fail "belvane $args printed: $(cat "$work/out")"
    [ -z "$err" ] || grep -qF -- "$err" "$work/err" || fail "belvane $args told: $(cat "$work/err")"
done <<ROWS
--help|0|--data-dir <目录>|
-h|0|--version|
--version|0|belvane $version|
--frobnicate|2||--data-dir <目录>
--data-dir|2||--data-dir
stray-argument|2||stray-argument
--lang en --version|0|belvane $version|
--lang fr|2||--lang
|1||belvane: 无法连接到图形界面（DISPLAY 和 WAYLAND_DISPLAY 都未设置或无法连接）
--lang en --help|0|Show this help and exit.|
--lang=en --data-dir|2||Keep the alarms and settings in <folder>
--lang en stray-argument|2||Unknown argument: stray-argument
--lang en|1||belvane: cannot reach a graphical display
ROWS

# The language of the environment, when --lang does not choose one.
code=0
LANG=en_US.UTF-8 timeout 20 "$program" --help >"$work/out" 2>"$work/err" || code=$?
[ "$code" = 0 ] && grep -qF "Show the version and exit." "$work/out" || fail "under en_US belvane --help printed: $(cat "$work/out")"
LANG=en_US.UTF-8 timeout 20 "$program" --lang fr >"$work/out" 2>"$work/err" || code=$?
grep -qF 'belvane: --lang takes zh or en, not "fr"' "$work/err" || fail "under en_US a bad --lang told: $(cat "$work/err")"

# A display that is named but does not answer ends the same way, without Qt's abort.
code=0
DISPLAY=:9876 timeout 20 "$program" >"$work/out" 2>"$work/err" || code=$?
[ "$code" = 1 ] || fail "with an unreachable display belvane ended with $code: $(cat "$work/err")"
grep -qF "无法连接到图形界面" "$work/err" || fail "with an unreachable display belvane told: $(cat "$work/err")"

# Nothing was started and nothing stored: no single-instance socket, no data folder.
[ -z "$(ls -A "$XDG_RUNTIME_DIR")" ] || fail "a copy was started: $(ls "$XDG_RUNTIME_DIR")"
[ ! -e "$XDG_CONFIG_HOME/belvane" ] || fail "a data folder was made"
echo "command line answered as documented"
