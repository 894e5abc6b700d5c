# shellcheck shell=bash
# A daily alarm rings on its second: the ringing window shows the reminder, the sound reaches the sound
# server at the alarm's volume even though the output was muted, snooze silences it, and OK closes the
# window and puts the output's volume and mute back as they were.

journey() {
    local reminder_line1="Take the bread out" reminder_line2="and water the plants"
    add_alarm caption="$reminder_line1" frequency=2 "at=2026-12-07 06:59:30" sound=2 volume=80 snooze=5 \
        "reminder=$reminder_line1\\n$reminder_line2" >/dev/null

    # The user's output as it was before the alarm: quiet and muted.
    set_quiet_output

    # The clock starts six seconds before the alarm's second: time to start on a busy machine.
    local lead=6
    start_program_at "2026-12-07 06:59:24"
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"
    shot started

    wait_window "闹铃"
    local ringing=$WINDOW absent appeared
    absent=$(minus "$LAST_MISS" "$PROGRAM_T0")
    appeared=$(minus "$FIRST_HIT" "$PROGRAM_T0")
    note "ringing window $ringing appeared between ${absent} s and ${appeared} s after the start, the alarm being due at ${lead} s"
    # The program's clock starts at its own start, a moment after PROGRAM_T0, so the due second
    # begins no earlier than PROGRAM_T0 + lead: seeing the window earlier means it rang early.
    at_most "$lead" "$appeared" || fail "the window opened before the alarm's second (${appeared} s)"
    at_most "$absent" "$((lead + 1))" || fail "no window yet ${absent} s after the start: more than a second late"

    wait_for "$WAIT_LIMIT" program_streaming || fail "no sound stream from the program reached the sound server"
    local peak
    peak=$(sink_peak 0.8)
    note "peak at the null sink while ringing: $peak"
    [ "$peak" -gt 1000 ] || fail "the null sink got no signal while ringing (peak $peak)"
    [ "$(sink_mute)" = no ] || fail "the output stayed muted while ringing"
    # Volume 80 %: level 204 of 255 on both channels, 204 * 256 of 65535 in the server's units.
    local expected=$(((204 * 256 * 65536 + 32767) / 65535))
    read -r left right <<<"$(sink_volume)"
    [ $((left - expected)) -le 2 ] && [ $((expected - left)) -le 2 ] && [ "$left" = "$right" ] ||
        fail "output volume while ringing is $left/$right, expected $expected"

    move_face_aside
    shot ringing "$ringing"
    shot ringing-desktop
    local memo
    memo=$(text_at "$ringing" 40 230)
    [ "$memo" = "$reminder_line1"$'\n'"$reminder_line2" ] || fail "the reminder reads \"$memo\""

    click_at "$ringing" 229 276 # 打盹儿
    wait_for "$WAIT_LIMIT" program_silent_on_server || fail "snooze left the sound playing"
    peak=$(sink_peak 0.6)
    [ "$peak" -eq 0 ] || fail "the null sink still gets sound after snooze (peak $peak)"
    viewable "$ringing" || fail "snooze closed the ringing window"
    note "snoozed: no stream, silent sink"
    shot snoozed "$ringing"

    click_at "$ringing" 301 276 # 确定
    wait_gone "$ringing"
    program_running || fail "the program ended with the ringing window"
    wait_for "$WAIT_LIMIT" output_as_before || fail "after OK the output is at $(output_now); before: $OUTPUT_BEFORE"
    note "closed: volume $(sink_volume), mute $(sink_mute) as before"
    shot closed
}
