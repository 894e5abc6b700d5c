# shellcheck shell=bash
# Every window of the program carries its icon, at several sizes, for the window manager's task list,
# its window switcher and its title bars: the clock face, the error box shown at start, the alarm
# list, the editor and the about box.

# Where the list's 添加 button is, inside its client area.
LIST_ADD_AT="44 276"

journey() {
    write_quiet_options
    printf 'banana\r\n' >"$PROGRAM_DIR/off.ini" # damaged: the program reports it at start
    start_program
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"

    # The face is the window titled Belvane that the window manager gives no frame; the error box the other.
    local face="" box=""
    _face_and_box() {
        local w
        face="" box=""
        for w in $(program_windows Belvane); do
            if [ "$(xprop -id "$w" -notype _NET_FRAME_EXTENTS 2>/dev/null)" = "_NET_FRAME_EXTENTS = 0, 0, 0, 0" ]; then
                face=$w
            else
                box=$w
            fi
        done
        [ -n "$face" ] && [ -n "$box" ]
    }
    wait_for "$WAIT_LIMIT" _face_and_box || fail "no face and error box on screen"
    carries_icon "$box" "the error box about off.ini"
    carries_icon "$face" "the clock face"
    shot error-box
    press_in "$box" Return
    wait_gone "$box"

    local list before
    list=$(open_alarm_list "$face")
    carries_icon "$list" "the alarm list"
    before=$(program_managed)
    click_at "$list" $LIST_ADD_AT
    wait_new_window "$before" "添加 in the list"
    carries_icon "$WINDOW" "the editor"
    shot editor
    press_in "$WINDOW" Escape
    wait_gone "$WINDOW"
    before=$(program_managed)
    press_in "$list" alt+b
    wait_new_window "$before" "Alt+B in the list"
    carries_icon "$WINDOW" "the about box"
    press_in "$WINDOW" Escape
    wait_gone "$WINDOW"
    program_running || fail "the program ended"
}

# The sizes of the icons window $1 offers the window manager (_NET_WM_ICON), as "16x16 22x22 ...".
icon_sizes() {
    # Without -len xprop reads only the first few of them.
    xprop -len 4000000 -id "$1" _NET_WM_ICON 2>/dev/null | sed -n 's/.*Icon (\([0-9]*\) x \([0-9]*\)):.*/\1x\2/p' |
        sort -un | tr '\n' ' '
}

# carries_icon WINDOW WHAT: window $1 (called WHAT in messages) offers the icon at more than one size.
carries_icon() {
    local sizes
    sizes=$(icon_sizes "$1")
    note "$2: _NET_WM_ICON at ${sizes:-no size}"
    [ "$(wc -w <<<"$sizes")" -ge 2 ] || fail "$2 ($1) offers its icon at ${sizes:-no size}, not at several sizes"
}

# Presses the key $2 in window $1 once the window manager has given it the focus.
press_in() {
    xdotool windowactivate "$1" 2>/dev/null || true
    _focused_on() { [ "$(active_window)" = "$1" ]; }
    wait_for "$WAIT_LIMIT" _focused_on "$1" || fail "window $1 did not take the focus"
    xdotool key "$2"
}
