# The borderless face moves with a left-button drag anywhere on it, digits included; a right press
# opens the menu and moves nothing.

journey() {
    write_quiet_options # the face stays on screen at start
    start_program
    wait_for 10 program_listening || fail "the program did not start"
    wait_window Belvane 10
    local face=$WINDOW
    eval "$(xdotool getwindowgeometry --shell "$face")"
    local x0=$X y0=$Y
    shot before-drag

    # Pressed on a digit, dragged 120 right and 90 down, released.
    xdotool mousemove --window "$face" 20 30 mousedown 1
    sleep 0.2
    for step in 1 2 3 4 5 6; do xdotool mousemove_relative -- 20 15; sleep 0.05; done
    xdotool mouseup 1
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$face")"
    note "face moved from $x0,$y0 to $X,$Y"
    [ $((X - x0)) -ge 100 ] && [ $((X - x0)) -le 140 ] || fail "the face moved $((X - x0)) px across, not about 120"
    [ $((Y - y0)) -ge 70 ] && [ $((Y - y0)) -le 110 ] || fail "the face moved $((Y - y0)) px down, not about 90"
    shot after-drag

    local x1=$X y1=$Y
    xdotool mousemove --window "$face" 20 30 click 3
    sleep 0.3
    xdotool key Escape
    eval "$(xdotool getwindowgeometry --shell "$face")"
    [ "$X,$Y" = "$x1,$y1" ] || fail "a right press moved the face"
}
