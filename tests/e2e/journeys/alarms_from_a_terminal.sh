# shellcheck shell=bash
# Alarms from a terminal and over D-Bus. With no copy running, `belvane alarm add` writes the files
# and the next start rings the alarm. While the clock runs, a command reaches it: the new row shows at
# once in the open alarm list and the alarm rings; the D-Bus interface is introspectable and lists the
# rows, as the socket does without the bus; dbus-monitor sees AlarmRinging and AlarmAnswered;
# `belvane ringing stop` closes the ringing window and puts the output's volume back; the desktop
# entry's actions open the list (a second start) and the editor for a new alarm (D-Bus).

belvane() { "$PROGRAM_DIR/belvane" "$@"; }

CLOCK_START="2026-12-07 06:59:50"

# The program's clock now, as "hh:mm:ss" $1 seconds ahead: it started at CLOCK_START at PROGRAM_T0.
program_time_in() {
    local elapsed
    elapsed=$(awk -v s="$(since "$PROGRAM_T0")" 'BEGIN { printf "%d", s }')
    date -d "$CLOCK_START $((elapsed + $1)) seconds" +%H:%M:%S
}

stop_ringing_window() {
    local ringing=$1
    belvane ringing stop || fail "belvane ringing stop ended with $?"
    wait_gone "$ringing"
    wait_for "$WAIT_LIMIT" output_as_before || fail "after ringing stop the output is at $(output_now); before: $OUTPUT_BEFORE"
}

journey() {
    use_accessibility_bus
    write_quiet_options
    set_quiet_output
    watch_alarm_signals

    local number status=0
    number=$(belvane alarm add 07:00:00 --repeat daily --name "Made offline" --sound 2 --volume 80) ||
        fail "alarm add with no copy running ended with $?"
    [ "$number" = 0 ] || fail "the first alarm was given number $number"
    belvane ringing stop 2>/dev/null || status=$?
    [ "$status" = 1 ] || fail "ringing stop with nothing ringing ended with $status"

    start_program_at "$CLOCK_START"
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"
    _on_bus() { gdbus introspect --session --dest org.belvane.Belvane --object-path /org/belvane/Belvane >"$JOURNEY_WORK/introspect" 2>&1; }
    wait_for "$WAIT_LIMIT" _on_bus || fail "the clock is not on the session bus: $(cat "$JOURNEY_WORK/introspect")"
    for want in "interface org.belvane.Alarms" "AddAlarm(in  a{sv}" "ListAlarms(out aa{sv}" "AlarmRinging(u number," \
        "AlarmAnswered(u number," "interface org.freedesktop.Application" "ActivateAction("; do
        grep -qF "$want" "$JOURNEY_WORK/introspect" || fail "introspection lacks \"$want\": $(cat "$JOURNEY_WORK/introspect")"
    done

    # The alarm made with no copy running rings at its second.
    wait_window "闹铃" 40
    local ringing=$WINDOW memo
    wait_for "$WAIT_LIMIT" program_streaming || fail "the alarm made offline rang without sound"
    memo_reads "$ringing" "Made offline" || fail "the ringing window reads \"$memo\""
    wait_for "$WAIT_LIMIT" alarm_signal_seen AlarmRinging 'uint32 0 *string "Made offline" *string "2026-12-07T07:00:00' ||
        fail "dbus-monitor saw no AlarmRinging: $(signals_seen)"
    stop_ringing_window "$ringing"
    wait_for "$WAIT_LIMIT" alarm_signal_seen AlarmAnswered 'uint32 0 *string "ok"' ||
        fail "dbus-monitor saw no AlarmAnswered ok: $(signals_seen)"
    note "the alarm made offline rang, and ringing stop closed it"

    # The desktop entry's action reaches the running clock and opens its list.
    belvane --open alarm-list || fail "belvane --open alarm-list ended with $?"
    _list_open() { [ "$(program_windows Belvane | wc -l)" -ge 2 ]; }
    wait_for "$WAIT_LIMIT" _list_open || fail "--open alarm-list did not open the list"
    local at
    at=$(program_time_in 25)
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

    wait_window "闹铃" 60
    ringing=$WINDOW
    memo_reads "$ringing" "Made while running" || fail "the alarm added while running reads \"$memo\""
    wait_for "$WAIT_LIMIT" alarm_signal_seen AlarmRinging 'uint32 1 *string "Made while running"' ||
        fail "dbus-monitor saw no AlarmRinging for alarm 1: $(signals_seen)"
    output_as_before && fail "the ringing left the output as it was"
    stop_ringing_window "$ringing"
    program_running || fail "the program ended"
    note "the alarm added at $at while running rang, and ringing stop put the output back"

    # A launcher's "New Alarm" over D-Bus opens the editor for a new alarm.
    gdbus call --session --dest org.belvane.Belvane --object-path /org/belvane/Belvane \
        --method org.freedesktop.Application.ActivateAction new-alarm '[]' '{}' >/dev/null ||
        fail "ActivateAction new-alarm failed"
    wait_window "闹钟设置"
    shot new-alarm-from-bus "$WINDOW"
}
