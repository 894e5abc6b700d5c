# The panel holding the tray crashes while the clock face is hidden in it: the face comes back by itself
# at once, since nothing else could bring it back. When a tray starts again the icon returns to it and
# the face stays on screen.

# True when the program's icon sits in a tray host's window, not on the bare screen.
icon_in_tray() {
    local icon parent
    icon=$(tray_icon) || return 1
    parent=$(xwininfo -tree -id "$icon" 2>/dev/null | awk '/Parent window id:/ { print $4 }')
    [ -n "$parent" ] && [ "$((parent))" != "$(xwininfo -root | awk '/Window id:/ { print $4 }' | xargs printf '%d')" ]
}

journey() {
    start_with_face_shown
    local face=$FACE icon=$ICON
    xdotool mousemove --window "$icon" 8 8 click --repeat 2 --delay 80 1
    wait_for "$WAIT_LIMIT" not_viewable "$face" || fail "the double click did not hide the face"
    note "face hidden in the tray"

    stop_tray
    local ended
    ended=$(now)
    wait_timed "$WAIT_LIMIT" viewable "$face" || fail "the face stayed hidden after the tray went away"
    local hidden shown
    hidden=$(minus "$LAST_MISS" "$ended")
    shown=$(minus "$FIRST_HIT" "$ended")
    note "face back between ${hidden} s and ${shown} s after the tray's end"
    # Seen hidden by a look that began more than 5 s after the tray's end: the program did not follow
    # the tray's end but something slower (a periodic check).
    at_most "$hidden" 5 || fail "the face was still hidden ${hidden} s after the tray's end"
    program_running || fail "the program ended with the tray"
    shot face-back

    start_tray
    wait_for "$WAIT_LIMIT" icon_in_tray || fail "the icon did not come back to the new tray"
    viewable "$face" || fail "the face was hidden again when the tray came back"
    shot icon-back
    # The icon works in its new tray: a double click hides the face again.
    icon=$(tray_icon)
    xdotool mousemove --window "$icon" 8 8 click --repeat 2 --delay 80 1
    wait_for "$WAIT_LIMIT" not_viewable "$face" || fail "a double click on the returned icon did not hide the face"
}
