#!/usr/bin/env bash
# The command line: --help and --version print and end without a display or a running copy; an
# unknown option prints the usage on the error output, ends with 2 and starts nothing; without a
# display the program says so and ends with 1. Bad input to the alarm commands is one line naming the
# argument, status 2, and changes no file; with no copy running the commands change the files.
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
# No session bus: the commands never reach the machine's own.
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus
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
    [[ " $args" != *" alarm "* && " $args" != *" ringing "* ]] || [ "$(wc -l <"$work/err")" = 1 ] ||
        fail "belvane $args told more than one line: $(cat "$work/err")"
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
--open elsewhere|2||--open
alarm frob|2||belvane: 未知命令：alarm frob
ringing dance|2||未知命令：ringing dance
alarm add|2||alarm add 需要闹铃时间
alarm add 25:00|2||时间 "25:00" 不对
alarm add 7:5x|2||时间 "7:5x" 不对
alarm add 07:60|2||时间 "07:60" 不对
alarm add 07:00 --days 0|2||--days "0" 不对
alarm add 07:00 --days 128|2||--days "128" 不对
alarm add 07:00 --repeat once --date 2027-02-30|2||--date "2027-02-30" 不对：没有这一天
alarm add 07:00 --repeat yearly --date 2027-13-01|2||--date "2027-13-01" 不对
alarm add 07:00 --repeat daily --date 2027-01-01|2||--date 只用于
alarm add 07:00 --repeat daily --days 12|2||--days 只用于
alarm add 07:00 --repeat fortnightly|2||--repeat "fortnightly" 不对
alarm add 07:00 --sound 11|2||--sound "11" 不对
alarm add 07:00 --sound 2 --play /|2||--sound 和 --play 只能选一个
alarm add 07:00 --play /nonexistent/wake.ogg|2||--play "/nonexistent/wake.ogg" 不对：没有这个文件
alarm add 07:00 --volume 101|2||--volume "101" 不对
alarm add 07:00 --snooze 60|2||--snooze "60" 不对
alarm add 07:00 --name|2||--name 后面缺少值
alarm add 07:00 --loud|2||未知选项：--loud
alarm remove x|2||"x" 不是闹钟编号
alarm on 256|2||"256" 不是闹钟编号
alarm off|2||alarm off 需要一个闹钟编号
alarm next now|2||多余的参数：now
--lang en alarm add 07:00 --sound 11|2||belvane: --sound "11" is wrong: give a built-in sound from 0 to 10
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

# With no copy running the commands change the files under the lock; bad input changes none of them.
export XDG_RUNTIME_DIR=$work/runtime2
mkdir -m 700 "$XDG_RUNTIME_DIR"
data=$work/data
belvane() { timeout 20 "$program" --data-dir "$data" "$@"; }
[ "$(belvane alarm add 07:00 --repeat daily --name Tea)" = 0 ] || fail "the first alarm is not number 0"
[ "$(belvane alarm add 08:00 --repeat daily --name Walk)" = 1 ] || fail "the second alarm is not number 1"
belvane alarm off 0 && belvane alarm remove 1 || fail "alarm off or remove failed"
belvane alarm list >"$work/out" || fail "alarm list failed"
[ "$(cut -f1,2,5 "$work/out")" = "$(printf '0\tTea\t关')" ] || fail "alarm list printed: $(cat "$work/out")"
code=0
belvane alarm next >"$work/out" || code=$?
[ "$code" = 1 ] && [ ! -s "$work/out" ] || fail "alarm next with every alarm off ended with $code: $(cat "$work/out")"
[ ! -e "$data/1.ini" ] || fail "alarm remove left 1.ini"
files() { (cd "$1" && md5sum -- *); }
before=$(files "$data")
for row in "2 alarm remove 7" "2 alarm on 1" "2 alarm add 24:00" "1 ringing stop"; do
    code=0
    read -ra argv <<<"$row"
    belvane "${argv[@]:1}" 2>"$work/err" || code=$?
    [ "$code" = "${argv[0]}" ] && [ "$(wc -l <"$work/err")" = 1 ] || fail "belvane $row ended with $code: $(cat "$work/err")"
done
grep -qF "没有正在响的闹钟" "$work/err" || fail "ringing stop with no copy running told: $(cat "$work/err")"
[ "$(files "$data")" = "$before" ] || fail "a refused command changed the files"

# A list that holds 256 alarms takes no more.
full=$work/full
mkdir "$full"
{
    echo $'256\r'
    for n in $(seq 0 255); do printf 'a\r\nx\r\n-\r\n-\r\n070000\r\n01012027\r\n1111111\r\n%s\r\n' "$n"; done
} >"$full/al.ini"
before=$(files "$full")
code=0
timeout 20 "$program" --data-dir "$full" alarm add 07:00 2>"$work/err" || code=$?
[ "$code" = 2 ] && grep -qF "已有 256 个闹钟" "$work/err" || fail "a 257th alarm ended with $code: $(cat "$work/err")"
[ "$(files "$full")" = "$before" ] || fail "the refused 257th alarm changed the files"
echo "command line answered as documented"
