# shellcheck shell=bash
# Adding an alarm as a user does: the face's menu, 闹钟, 添加, the editor, OK. The new row is in the
# list and in "al.ini", and the alarm has its own settings file.

# Where the editor's controls are, inside its client area. Check against the editor's layout.
EDITOR_MEMO_AT="100 95"
EDITOR_OK_AT="265 346"


journey() {
    write_quiet_options
    start_program
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"
    wait_window Belvane
    local face=$WINDOW
    eval "$(xdotool getwindowgeometry --shell "$face")"

    # The face's menu: its third entry, after "Send to tray" and a separator, is 闹钟.
    xdotool mousemove --window "$face" $((WIDTH / 2)) $((HEIGHT / 2)) click 3
    wait_menu
    shot menu
    xdotool key Down Down Return
    local list=""
    _list_shown() { list=$(program_windows Belvane | grep -vx "$face" | head -n1); [ -n "$list" ]; }
    wait_for "$WAIT_LIMIT" _list_shown || fail "闹钟 did not show the alarm list"
    shot list-empty "$list"

    click_at "$list" $((8 + 36)) $((264 + 12)) # 添加
    wait_window "闹钟设置"
    local editor=$WINDOW
    shot editor-new "$editor"
    # Keys go to the focused window, as a user's do (events sent to a window are ignored by Qt).
    click_at "$editor" $EDITOR_MEMO_AT
    xdotool key ctrl+a
    xdotool type --delay 20 "Feed the cat"
    shot editor-filled "$editor"
    click_at "$editor" $EDITOR_OK_AT
    wait_gone "$editor"
    shot list-with-row "$list"

    # The list file holds one row captioned with the reminder's first line, numbered 0.
    mapfile -t lines < <(tr -d '\r' <"$PROGRAM_DIR/al.ini")
    [ "${lines[0]}" = 1 ] || fail "al.ini counts ${lines[0]} alarms"
    [ "${lines[1]}" = "Feed the cat" ] || fail "the new row is captioned \"${lines[1]}\""
    [ "${lines[8]}" = 0 ] || fail "the new alarm got number ${lines[8]}"
    [ -f "$PROGRAM_DIR/0.ini" ] || fail "no settings file 0.ini"
    [ "$(tail -c 12 "$PROGRAM_DIR/0.ini")" = "Feed the cat" ] || fail "0.ini does not end with the reminder"

    click_at "$list" $((320 + 36)) $((264 + 12)) # 关闭
    wait_gone "$list"
    program_running || fail "closing the list ended the program"
}
