# shellcheck shell=bash
# Every window a user can open while the clock face is on screen opens in front of the face: the error
# box shown at start, the ringing window, and the alarm list, the editor, the options, about and help,
# from the face's menu and from the list. One window at a time is opened, checked in the window
# manager's stacking order, pictured and closed again. The face, the ringing window and the error box
# stay on top of other programs; the others belong to no window that does, and while one of them is
# active the face is stacked among ordinary windows under it, taking its place on top back once none is.

# Where the list's buttons are, inside its client area.
LIST_ADD_AT="44 276"
LIST_OPTIONS_AT="278 276"
LIST_CLOSE_AT="356 276"
RINGING_OK_AT="301 276"

journey() {
    write_quiet_options
    printf 'banana\r\n' >"$PROGRAM_DIR/off.ini" # damaged: the program reports it at start
    add_alarm caption="Wake up" frequency=2 "at=2026-12-07 07:00:00" sound=2 volume=40 >/dev/null
    # The alarm is due 15 s after the start: time enough to look at the error box first.
    start_program_at "2026-12-07 06:59:45"
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"
    wait_for "$WAIT_LIMIT" _face_found || fail "no clock face on screen"
    note "face $face"

    # The error box about "off.ini" is shown while the program starts, before the face is.
    local box=""
    _box_found() { box=$(program_windows Belvane | grep -vx "$face" | head -n1); [ -n "$box" ]; }
    wait_for "$WAIT_LIMIT" _box_found || fail "no error box about the damaged off.ini"
    above_face "$box" "the error box shown at start" start-error-box
    _box_on_top() { xprop -id "$box" -notype _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_ABOVE; }
    wait_for "$WAIT_LIMIT" _box_on_top || fail "the error box shown at start does not stay on top; $(_states_text)"
    _box_active() { [ "$(active_window)" = "$box" ]; }
    wait_for "$WAIT_LIMIT" _box_active || fail "the error box shown at start is not active; $(_states_text)"
    close_with "$box" Return

    # The face half over the top left of where the windows open, so the pictures show both.
    xdotool windowmove "$face" 300 330
    _face_moved() { eval "$(xdotool getwindowgeometry --shell "$face")"; [ "$X,$Y" = "300,330" ]; }
    wait_for "$WAIT_LIMIT" _face_moved || fail "the face did not move to 300,330"

    wait_window "闹铃"
    above_face "$WINDOW" "the ringing window" ringing
    local ringing=$WINDOW
    wait_for "$WAIT_LIMIT" face_on_top || fail "with the ringing window up the face left the top; $(_states_text)"
    _ringing_closed() { click_at "$ringing" $RINGING_OK_AT && wait_for 2 not_viewable "$ringing"; }
    # Clicks in its first second are not taken, so a click meant for another window dismisses nothing.
    wait_for "$WAIT_LIMIT" _ringing_closed || fail "确定 did not close the ringing window"

    opened list "the alarm list (闹钟 in the face's menu)" choose_from_face_menu 2
    local list=$WINDOW
    opened list-editor "the editor of a new alarm (添加 in the list)" click_at "$list" $LIST_ADD_AT
    close_with "$WINDOW" Escape
    opened list-about "about (Alt+B in the list)" keys_in "$list" alt+b
    close_with "$WINDOW" Escape
    opened list-help "help (F1 in the list)" keys_in "$list" F1
    close_with "$WINDOW" alt+F4
    opened list-options "the options (选项 in the list)" click_at "$list" $LIST_OPTIONS_AT
    close_with "$WINDOW" Escape
    click_at "$list" $LIST_CLOSE_AT
    wait_gone "$list"

    opened options "the options (选项 in the face's menu)" choose_from_face_menu 3
    close_with "$WINDOW" Escape
    opened about "about (关于 in the face's menu, opened with Shift+F10)" choose_from_face_menu_by_keyboard 5
    close_with "$WINDOW" Escape
    opened help "help (帮助 in the face's menu)" choose_from_face_menu 6
    close_with "$WINDOW" alt+F4
    wait_for "$WAIT_LIMIT" face_on_top || fail "with every window closed the face is not on top; $(_states_text)"
    program_running || fail "the program ended"
}

# The face stays on top of other programs: the window manager has it in _NET_WM_STATE_ABOVE.
face_on_top() { xprop -id "$face" -notype _NET_WM_STATE 2>/dev/null | grep -q '_NET_WM_STATE_ABOVE'; }
face_among_others() { ! face_on_top; }

# The face's states, and the active window by title, for a failure's message.
_states_text() {
    echo "face $(xprop -id "$face" -notype _NET_WM_STATE 2>/dev/null); active \"$(window_title "$(active_window)")\""
}

# ordinary WINDOW WHAT: WINDOW (called WHAT in messages), active, belongs to no window that stays on top
# of other programs (WM_TRANSIENT_FOR is not the face), and the face is stacked among ordinary windows
# while it is active.
ordinary() {
    local window=$1 what=$2 owner
    owner=$(xprop -id "$window" -notype WM_TRANSIENT_FOR 2>/dev/null | grep -o '0x[0-9a-f]*' || true)
    [ -z "$owner" ] || [ "$((owner))" != "$face" ] || fail "$what belongs to the face and floats above other programs"
    _active() { [ "$(active_window)" = "$window" ]; }
    wait_for "$WAIT_LIMIT" _active || fail "$what is not the active window; $(_states_text)"
    wait_for "$WAIT_LIMIT" face_among_others || fail "with $what active the face stays on top of other programs; $(_states_text)"
}

# The face: the program's window titled Belvane that the window manager gives no frame. Sets face.
_face_found() {
    local w
    for w in $(program_windows Belvane); do
        if [ "$(xprop -id "$w" -notype _NET_FRAME_EXTENTS 2>/dev/null)" = "_NET_FRAME_EXTENTS = 0, 0, 0, 0" ]; then
            face=$w
            return 0
        fi
    done
    return 1
}

# above_face WINDOW WHAT NAME: the window manager stacks WINDOW (called WHAT in messages) above the
# face and no window of the program under it; pictured as NAME. Waited for, as the window manager
# restacks a moment after it maps; checked again once pictured, so a face raised later shows too.
above_face() {
    local window=$1 what=$2 name=$3
    note "$what: window $window \"$(window_title "$window")\""
    wait_for "$WAIT_LIMIT" stacked_above "$window" "$face" || fail "the face covers $what; $(_stacking_text)"
    _face_covers_none() { [ -z "$(program_managed_below "$face")" ]; }
    wait_for "$WAIT_LIMIT" _face_covers_none || fail "with $what open, the face covers $(_stacking_text)"
    shot "$name"
    stacked_above "$window" "$face" && _face_covers_none || fail "the face went over $what; $(_stacking_text)"
}

# The program's managed windows bottom first, by title, the face marked.
_stacking_text() {
    local w text="stacked bottom first:"
    for w in $(program_managed); do
        if [ "$w" = "$face" ]; then text+=" [face]"; else text+=" \"$(window_title "$w")\" ($w)"; fi
    done
    echo "$text"
}

# opened NAME WHAT ACTION...: the user's ACTION opens a window of the program, called WHAT in messages,
# which then is above the face (above_face, pictured as NAME). Sets WINDOW.
opened() {
    local name=$1 what=$2 before
    shift 2
    before=$(program_managed)
    "$@"
    wait_new_window "$before" "$what"
    above_face "$WINDOW" "$what" "$name"
    ordinary "$WINDOW" "$what"
}

# The face's menu opened with a right click on it, and its Nth entry (separators not counted) chosen.
choose_from_face_menu() {
    eval "$(xdotool getwindowgeometry --shell "$face")"
    xdotool mousemove --window "$face" $((WIDTH / 2)) $((HEIGHT / 2)) click 3
    _chosen "$1"
}

choose_from_face_menu_by_keyboard() {
    keys_in "$face" shift+F10
    _chosen "$1"
}

_chosen() {
    wait_menu
    local keys=() i
    for ((i = 0; i < $1; i++)); do keys+=(Down); done
    xdotool key "${keys[@]}" Return
}

# Brings window $1 to the front and presses the keys $2... there, as a user who clicked it first.
keys_in() {
    local window=$1
    shift
    xdotool windowactivate "$window" 2>/dev/null || true
    _focused() { [ "$(active_window)" = "$window" ]; }
    wait_for "$WAIT_LIMIT" _focused || fail "\"$(window_title "$window")\" ($window) did not take the focus"
    xdotool key "$@"
}

# Closes window $1 with the keys $2... and waits until it has gone.
close_with() {
    keys_in "$@"
    wait_gone "$1"
}
