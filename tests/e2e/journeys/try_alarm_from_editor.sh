# shellcheck shell=bash
# 试响 in the editor of a new alarm: the ringing window opens at once with the edited reminder, the
# built-in sound reaches the sound server, and closing it returns to the editor with the output at
# the level the editor had set. Cancelling the editor then leaves no alarm and the output as it was.

# Where the editor's controls are, inside its client area.
EDITOR_MEMO_AT="100 95"
EDITOR_SOUND_TAB_AT="130 22"
EDITOR_PLAY_SOUND_AT="25 262"
EDITOR_TRY_AT="337 314"
EDITOR_CANCEL_AT="346 346"

journey() {
    write_quiet_options
    set_quiet_output unmuted
    start_program
    wait_for 20 program_listening || fail "the program did not start"
    wait_window Belvane 20
    local face=$WINDOW list
    list=$(open_alarm_list "$face")

    click_at "$list" $((8 + 36)) $((264 + 12)) # 添加
    wait_window "闹钟设置" 10
    local editor=$WINDOW
    click_at "$editor" $EDITOR_MEMO_AT
    xdotool key ctrl+a
    xdotool type --delay 20 "Trying the rooster"
    click_at "$editor" $EDITOR_SOUND_TAB_AT
    click_at "$editor" $EDITOR_PLAY_SOUND_AT
    local editor_volume
    editor_volume=$(sink_volume)
    shot editor-sound-page "$editor"
    click_at "$editor" $EDITOR_TRY_AT

    wait_window "闹铃" 10
    local ringing=$WINDOW memo
    wait_for 20 program_streaming || fail "the trial made no sound stream"
    local peak
    peak=$(sink_peak 0.8)
    note "peak at the null sink during the trial: $peak"
    [ "$peak" -gt 1000 ] || fail "the null sink got no signal during the trial (peak $peak)"
    move_face_aside
    shot trial-ringing
    memo_reads "$ringing" "Trying the rooster" || fail "the trial's window reads \"$memo\""

    click_at "$ringing" 301 276 # 确定
    wait_gone "$ringing" 10
    _editor_level() { [ "$(sink_volume)" = "$editor_volume" ]; }
    wait_for 10 _editor_level || fail "after the trial the output is at $(sink_volume), the editor had $editor_volume"
    viewable "$editor" || fail "closing the trial closed the editor"
    wait_for 10 program_silent_on_server || fail "the trial's sound went on after its window closed"

    click_at "$editor" $EDITOR_CANCEL_AT
    wait_gone "$editor" 10
    wait_for 10 output_as_before || fail "after the editor the output is at $(output_now), before it was $OUTPUT_BEFORE"
    [ ! -f "$PROGRAM_DIR/0.ini" ] || fail "the trial saved an alarm"
    [ "$(tr -d '\r' <"$PROGRAM_DIR/al.ini")" = 0 ] || fail "the list gained a row: $(cat "$PROGRAM_DIR/al.ini")"
}
