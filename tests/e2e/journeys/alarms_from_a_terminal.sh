# shellcheck shell=bash
# Alarms from a terminal and over D-Bus. With no copy running, `belvane alarm add` writes the files
# and the next start rings the alarm. While the clock runs, a command reaches it: the new row shows at
# once in the open alarm list and the alarm rings; the D-Bus interface is introspectable and lists the
# rows, as the socket does without the bus; dbus-monitor sees AlarmRinging and AlarmAnswered;
# `belvane ringing stop` closes the ringing window and puts the output's volume back; the desktop
# entry's actions open the list (a second start) and the editor for a new alarm (D-Bus).

belvane() { "$PROGRAM_DIR/belvane" "$@"; }

CLOCK_START="2026-12-07 06:59:50"

# Alarm $1, named $2, rings within $3 s, aloud, and says so on the bus (its AlarmRinging reads on, as
# the pattern $4); `belvane ringing stop` closes its window, puts the output back and answers it "ok".
rings_until_stopped() {
    local memo
    wait_window "闹铃" "$3"
    local ringing=$WINDOW
    wait_for "$WAIT_LIMIT" program_streaming || fail "alarm $1 rang without sound"
    memo_reads "$ringing" "$2" || fail "the ringing window of alarm $1 reads \"$memo\""
    wait_for "$WAIT_LIMIT" alarm_signal_seen AlarmRinging "uint32 $1 *string \"$2\"${4:-}" ||
        fail "dbus-monitor saw no AlarmRinging for alarm $1: $(signals_seen)"
    output_as_before && fail "the ringing left the output as it was"
    belvane ringing stop || fail "belvane ringing stop ended with $?"
    wait_gone "$ringing"
    wait_for "$WAIT_LIMIT" output_as_before || fail "after ringing stop the output is at $(output_now); before: $OUTPUT_BEFORE"
    wait_for "$WAIT_LIMIT" alarm_signal_seen AlarmAnswered "uint32 $1 *string \"ok\"" ||
        fail "dbus-monitor saw no AlarmAnswered ok for alarm $1: $(signals_seen)"
    program_running || fail "the program ended"
    note "alarm $1 rang, and ringing stop closed it"
}

journey() {
    use_accessibility_bus
    write_quiet_options
    set_quiet_output
    watch_alarm_signals

    belvane alarm add 07:00:00 --repeat daily --name "Made offline" --sound 2 --volume 80 >/dev/null ||
        fail "alarm add with no copy running ended with $?"

    start_program_at "$CLOCK_START"
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"
    _on_bus() { gdbus introspect --session --dest org.belvane.Belvane --object-path /org/belvane/Belvane >"$JOURNEY_WORK/introspect" 2>&1; }
    wait_for "$WAIT_LIMIT" _on_bus || fail "the clock is not on the session bus: $(cat "$JOURNEY_WORK/introspect")"
    for want in "interface org.belvane.Alarms" "AddAlarm(in  a{sv}" "ListAlarms(out aa{sv}" "AlarmRinging(u number," \
        "AlarmAnswered(u number," "interface org.freedesktop.Application" "ActivateAction("; do
        grep -qF "$want" "$JOURNEY_WORK/introspect" || fail "introspection lacks \"$want\": $(cat "$JOURNEY_WORK/introspect")"
    done

    # The alarm made with no copy running rings at its second.
    rings_until_stopped 0 "Made offline" 40 ' *string "2026-12-07T07:00:00'

    # The desktop entry's action reaches the running clock and opens its list.
    belvane --open alarm-list || fail "belvane --open alarm-list ended with $?"
    _list_open() { [ "$(program_windows Belvane | wc -l)" -ge 2 ]; }
    wait_for "$WAIT_LIMIT" _list_open || fail "--open alarm-list did not open the list"
    local at number
    # 25 s ahead on the program's clock, which read CLOCK_START at PROGRAM_T0.
    at=$(date -d "$CLOCK_START $(awk -v s="$(since "$PROGRAM_T0")" 'BEGIN { printf "%d", s + 25 }') seconds" +%T)
    number=$(belvane alarm add "$at" --repeat daily --name "Made while running" --sound 3) ||
        fail "alarm add while the clock runs ended with $?"
    [ "$number" = 1 ] || fail "the second alarm was given number $number"
    /usr/bin/python3 "$HARNESS_DIR/list_window_shows.py" "$PROGRAM_PID" "Made while running" ||
        fail "the open list does not show the alarm added from the terminal"
    shot list-with-added-row
    local rows
    rows=$(gdbus call --session --dest org.belvane.Belvane --object-path /org/belvane/Belvane \
        --method org.belvane.Alarms.ListAlarms) || fail "ListAlarms failed"
    for want in "'name': <'Made offline'>" "'name': <'Made while running'>" "'number': <1>" "'frequency': <'daily'>"; do
        grep -qF "$want" <<<"$rows" || fail "ListAlarms lacks $want: $rows"
    done

    # Without the session bus the command reaches the running copy through its socket.
    DBUS_SESSION_BUS_ADDRESS=unix:path=$JOURNEY_WORK/no-bus belvane alarm list >"$JOURNEY_WORK/listed" ||
        fail "alarm list through the socket ended with $?"
    grep -qP '^1\tMade while running\t' "$JOURNEY_WORK/listed" || fail "alarm list through the socket: $(cat "$JOURNEY_WORK/listed")"

    rings_until_stopped 1 "Made while running" 60

    # A launcher's "New Alarm" over D-Bus opens the editor for a new alarm.
    gdbus call --session --dest org.belvane.Belvane --object-path /org/belvane/Belvane \
        --method org.freedesktop.Application.ActivateAction new-alarm '[]' '{}' >/dev/null ||
        fail "ActivateAction new-alarm failed"
    wait_window "闹钟设置"
    shot new-alarm-from-bus "$WINDOW"
}
