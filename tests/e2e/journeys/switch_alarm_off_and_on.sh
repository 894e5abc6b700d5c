# shellcheck shell=bash
# An alarm switched off in the list window does not ring at its time, while another one does; switched
# on again it rings at its next time, without being edited.

# Where the first row's check box is, inside the list window's client area.
FIRST_ROW_BOX_AT="18 37"

journey() {
    start_logind_mock
    write_quiet_options
    add_alarm caption="Water the plants" frequency=2 "at=2026-12-07 07:00:00" sound=2 \
        "reminder=Water the plants" >/dev/null
    add_alarm caption="Witness" frequency=2 "at=2026-12-07 07:00:10" sound=3 "reminder=Witness" >/dev/null
    start_program_on_movable_clock "2026-12-07 06:59:40"
    wait_for 20 program_listening || fail "the program did not start"
    wait_window Belvane 20
    local face=$WINDOW list
    list=$(open_alarm_list "$face")

    click_at "$list" $FIRST_ROW_BOX_AT
    _switched_off() { [ "$(tr -d '\r' <"$PROGRAM_DIR/off.ini" 2>/dev/null)" = 0 ]; }
    wait_for 10 _switched_off || fail "the box did not switch alarm 0 off (off.ini: $(cat "$PROGRAM_DIR/off.ini" 2>&1))"
    shot list-switched-off "$list"
    click_at "$list" $((320 + 36)) $((264 + 12)) # 关闭
    wait_gone "$list" 10

    # The alarm that is on rings at 07:00:10; had the one switched off rung at 07:00:00, its window
    # would have come first.
    wait_window "闹铃" 40
    local ringing=$WINDOW memo
    wait_for 20 program_streaming || fail "the alarm that is on made no sound"
    memo_reads "$ringing" Witness || fail "the first ringing window reads \"$memo\": the alarm switched off rang"
    note "07:00:10: only the alarm switched on rang"
    click_at "$ringing" 301 276 # 确定
    wait_gone "$ringing" 10

    list=$(open_alarm_list "$face")
    click_at "$list" $FIRST_ROW_BOX_AT
    _switched_on() { [ -f "$PROGRAM_DIR/off.ini" ] && [ ! -s "$PROGRAM_DIR/off.ini" ]; }
    wait_for 10 _switched_on || fail "the box did not switch alarm 0 on again (off.ini: $(cat "$PROGRAM_DIR/off.ini"))"
    shot list-switched-on "$list"

    # The next morning, five seconds before its time (the night passes as a sleep would).
    local now_seconds
    now_seconds=$(($(date +%s) + CLOCK_OFFSET))
    shift_clock $(($(date -d "2026-12-08 06:59:55" +%s) - now_seconds))
    signal_resume
    wait_window "闹铃" 30
    ringing=$WINDOW
    wait_for 20 program_streaming || fail "the alarm switched on again made no sound"
    memo_reads "$ringing" "Water the plants" || fail "the next morning the ringing window reads \"$memo\""
    note "switched on again, it rang the next morning"
    move_face_aside
    shot rang-next-morning
}
