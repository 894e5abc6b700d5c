#!/usr/bin/env bash
# The wake helper alone. As root (which holds CAP_WAKE_ALARM) it arms a real wake timer, read back
# from /proc/PID/fdinfo without suspending anything: the timer's clock and the time left on it. As an
# unprivileged user without the file capability it must say that it cannot arm and fail.
#
#   tests/platform/wake_helper_test.sh PATH_TO_BELVANE_WAKE
set -euo pipefail
helper=$1
[ "$(id -u)" = 0 ] || { echo "skipped: not root, so no CAP_WAKE_ALARM to test with"; exit 77; }
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

coproc WAKE { exec "$helper" 2>&1; }
pid=$WAKE_PID
# Each line sent is answered by one line, so reading the answer waits for the helper to act on it.
send() { printf '%s\n' "$1" >&"${WAKE[1]}"; }
reply() { local line; read -r -t 60 line <&"${WAKE[0]}" && printf '%s' "$line"; }
# The fdinfo of the helper's wake timer: the one descriptor on clock 8 (CLOCK_REALTIME_ALARM).
timer_info() { grep -l '^clockid:[[:space:]]*8$' /proc/"$pid"/fdinfo/* | head -1 | xargs cat; }
# Whole seconds left on the timer.
seconds_left() { timer_info | awk '/^it_value:/ { gsub(/[(),]/, " "); print $2 }'; }

[ "$(reply)" = ready ] || fail "no ready line at start"
[ -n "$(timer_info)" ] || fail "no timer on clockid 8 among the helper's descriptors"

# The instant given, an hour and a few minutes ahead: between the time left and the instant lies
# only the time the test took since it read the clock.
check_armed() {
    local want=$1 left
    left=$(seconds_left)
    if [ "$left" -le 0 ] || [ "$left" -gt "$want" ] || [ "$left" -lt $((want - 120)) ]; then
        fail "$2: $left s left on the timer, expected about $want s"
    fi
}

now=$(date +%s)
send $((now + 3700))
[ "$(reply)" = "armed $((now + 3700))" ] || fail "first instant not acknowledged"
check_armed 3700 "first instant"

send $((now + 7300)) # a new instant re-arms
[ "$(reply)" = "armed $((now + 7300))" ] || fail "second instant not acknowledged"
check_armed 7300 "re-armed"

for garbage in "tomorrow" "12 34" "-5" "0x10" "$((now + 60))s" "99999999999999999999999999999999999"; do
    send "$garbage"
    answer=$(reply)
    case $answer in
    *"refused line"*) ;;
    *) fail "garbage \"$garbage\" answered with \"$answer\"" ;;
    esac
done
check_armed 7300 "after the garbage lines, the previous arming"

send ""
[ "$(reply)" = disarmed ] || fail "empty line not acknowledged"
[ "$(seconds_left)" = 0 ] || fail "an empty line left $(seconds_left) s on the timer"

send $((now + 3700))
[ "$(reply)" = "armed $((now + 3700))" ] || fail "arming after disarming"
input=${WAKE[1]}
exec {input}>&- # end of input ends the helper
wait "$pid" || fail "the helper ended with status $? at the end of its input"

# Unprivileged, without the file capability: no timer, a reason, a failing status.
copy=$(mktemp -d /tmp/belvane-wake.XXXXXX)
trap 'rm -rf "$copy"' EXIT
chmod 755 "$copy"
cp "$helper" "$copy/belvane-wake"
chmod 755 "$copy/belvane-wake"
status=0
out=$(setpriv --reuid=nobody --regid=nogroup --clear-groups "$copy/belvane-wake" </dev/null 2>&1) || status=$?
[ "$status" -ne 0 ] || fail "unprivileged: exited with status 0"
case $out in
*"cannot arm a wake timer"*) ;;
*) fail "unprivileged: said \"$out\"" ;;
esac
case $out in
*ready*) fail "unprivileged: said ready" ;;
esac

# Set-user-id is refused before anything else.
chmod u+s "$copy/belvane-wake"
status=0
out=$(setpriv --reuid=nobody --regid=nogroup --clear-groups "$copy/belvane-wake" </dev/null 2>&1) || status=$?
if [ "$status" = 0 ] || [[ $out != *"set-user-id"* ]]; then fail "set-user-id copy ran: \"$out\" ($status)"; fi

[ "$failures" = 0 ] && echo "wake helper: all checks passed"
[ "$failures" = 0 ]
