# shellcheck shell=bash
# A double click on the tray icon hides the clock face; another brings it back. A right click opens
# the icon's menu at the pointer.


journey() {
    start_with_face_shown
    local face=$FACE icon=$ICON
    shot face-shown

    xdotool mousemove --window "$icon" 8 8 click --repeat 2 --delay 80 1
    wait_for "$WAIT_LIMIT" not_viewable "$face" || fail "the double click did not hide the face"
    program_running || fail "the program ended"
    shot face-hidden

    xdotool mousemove --window "$icon" 8 8 click --repeat 2 --delay 80 1
    wait_for "$WAIT_LIMIT" viewable "$face" || fail "the second double click did not bring the face back"
    shot face-back

    xdotool mousemove --window "$icon" 8 8 click 3
    wait_menu
    eval "$(xdotool getmouselocation --shell)"
    local px=$X py=$Y
    eval "$(xdotool getwindowgeometry --shell "$MENU")"
    note "menu at $X,$Y size ${WIDTH}x$HEIGHT, pointer at $px,$py"
    # Placed against the pointer: a corner or an edge of the menu is where the click was; over the
    # panel, left out of the work area, its bottom edge is the work area's.
    local area_y area_h
    read -r _ area_y _ area_h <<<"$(work_area)"
    [ "$py" -lt $((area_y + area_h)) ] || py=$((area_y + area_h))
    [ "$px" -ge $((X - 2)) ] && [ "$px" -le $((X + WIDTH + 2)) ] && [ "$py" -ge $((Y - 2)) ] &&
        [ "$py" -le $((Y + HEIGHT + 2)) ] || fail "the menu opened away from the pointer"
    shot menu
    xdotool key Escape
    wait_gone "$MENU"
    program_running || fail "the program ended"
}
