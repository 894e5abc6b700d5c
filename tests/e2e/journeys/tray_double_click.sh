# A double click on the tray icon hides the clock face; another brings it back.


journey() {
    write_quiet_options # the face stays on screen at start
    start_program
    wait_for 10 program_listening || fail "the program did not start"
    wait_window Belvane 10
    local face=$WINDOW icon=""
    _icon_found() { icon=$(tray_icon); [ -n "$icon" ]; }
    wait_for 10 _icon_found || fail "no tray icon in the tray host"
    shot face-shown

    xdotool mousemove --window "$icon" 8 8 click --repeat 2 --delay 80 1
    wait_for 3 not_viewable "$face" || fail "the double click did not hide the face"
    program_running || fail "the program ended"
    shot face-hidden

    xdotool mousemove --window "$icon" 8 8 click --repeat 2 --delay 80 1
    wait_for 3 viewable "$face" || fail "the second double click did not bring the face back"
    shot face-back
}
