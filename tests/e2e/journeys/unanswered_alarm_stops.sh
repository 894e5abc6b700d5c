# shellcheck shell=bash
# Nobody is at the desk: an alarm set to ring for one minute and to close when finished rings, stops
# by itself once its minute has passed on the program's clock, closes its window, puts the output's
# volume and mute back, and leaves a notification on the desktop that says it went unanswered (and
# AlarmAnswered says so on the session bus); the notification's action opens the alarm list.

journey() {
    start_notification_mock
    write_quiet_options
    add_alarm caption="Tea" frequency=2 "at=2026-12-07 07:00:00" sound=2 volume=80 minutes=1 \
        close=finished >/dev/null
    set_quiet_output
    watch_alarm_signals
    start_program_on_movable_clock "2026-12-07 06:59:56"
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"

    wait_window "闹铃"
    local ringing=$WINDOW
    wait_for "$WAIT_LIMIT" program_streaming || fail "no sound stream from the program reached the sound server"
    output_as_before && fail "the alarm left the output as it was"

    # The program's clock moves past the end of the minute.
    shift_clock 61
    wait_gone "$ringing"
    wait_for "$WAIT_LIMIT" program_silent_on_server || fail "the sound went on after the window closed"
    wait_for "$WAIT_LIMIT" output_as_before || fail "after the minute the output is at $(output_now); before: $OUTPUT_BEFORE"
    program_running || fail "the program ended with the ringing window"
    wait_for "$WAIT_LIMIT" alarm_signal_seen AlarmAnswered 'uint32 0 *string "unanswered"' ||
        fail "no AlarmAnswered unanswered on the bus: $(signals_seen)"

    _told() { notification_calls | grep -q '闹钟“Tea”（07:00）无人应答'; }
    wait_for "$WAIT_LIMIT" _told || fail "no unanswered notice; the server was asked: $(notification_calls)"
    # The mock numbers notifications 1, 2, ...: the ringing one first, the notice second.
    local notice
    notice=$(notification_calls | grep -o "'Notify'" | wc -l)
    local windows
    windows=$(program_windows Belvane | wc -l)
    choose_notification_action "$notice" open-list
    _list_open() { [ "$(program_windows Belvane | wc -l)" -gt "$windows" ]; }
    wait_for "$WAIT_LIMIT" _list_open || fail "the notice's action did not open the alarm list"
    shot unanswered-list-opened
}
