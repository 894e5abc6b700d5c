# shellcheck shell=bash
# The borderless face moves with a left-button drag anywhere on it, digits included; a right press
# opens the menu and moves nothing.

journey() {
    write_quiet_options # the face stays on screen at start
    start_program
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"
    wait_window Belvane
    local face=$WINDOW
    eval "$(xdotool getwindowgeometry --shell "$face")"
    local x0=$X y0=$Y
    shot before-drag

    # Pressed on a digit, dragged 120 right and 90 down, released. The window manager moves the face
    # from the moment the program hands it the drag; motion before that would be lost, so the pointer
    # wiggles by 2 px until the face follows it, then makes the drag.
    xdotool mousemove --window "$face" 20 30 mousedown 1
    _face_moved() { eval "$(xdotool getwindowgeometry --shell "$face")"; [ "$X,$Y" != "$x0,$y0" ]; }
    _following() {
        xdotool mousemove_relative -- 0 2
        _face_moved && return 0
        xdotool mousemove_relative -- 0 -2
        _face_moved
    }
    wait_for "$WAIT_LIMIT" _following || fail "the face did not follow a left-button drag"
    for _ in 1 2 3 4 5 6; do xdotool mousemove_relative -- 20 15; done
    xdotool mouseup 1
    # Where the drag ends: the window manager has placed the face once it has settled.
    _moved() {
        eval "$(xdotool getwindowgeometry --shell "$face")"
        [ $((X - x0)) -ge 100 ] && [ $((Y - y0)) -ge 70 ]
    }
    wait_for "$WAIT_LIMIT" _moved || true
    note "face moved from $x0,$y0 to $X,$Y"
    [ $((X - x0)) -ge 100 ] && [ $((X - x0)) -le 140 ] || fail "the face moved $((X - x0)) px across, not about 120"
    [ $((Y - y0)) -ge 70 ] && [ $((Y - y0)) -le 110 ] || fail "the face moved $((Y - y0)) px down, not about 90"
    shot after-drag

    local x1=$X y1=$Y
    xdotool mousemove --window "$face" 20 30 click 3
    wait_menu
    xdotool key Escape
    wait_gone "$MENU"
    eval "$(xdotool getwindowgeometry --shell "$face")"
    [ "$X,$Y" = "$x1,$y1" ] || fail "a right press moved the face"
}
