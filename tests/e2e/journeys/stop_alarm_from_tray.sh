# An alarm rings while its window is out of reach: the tray icon, in a panel along the bottom edge
# that reserves its strip of the screen, still shows its tooltip and its menu, the menu opens whole
# inside the work area (not over the panel), and its "停止闹铃" closes
# the ringing window and puts the output's volume back as it was.

journey() {
    add_alarm caption="Stand up" frequency=2 "at=2026-12-07 07:00:00" sound=2 volume=80 reminder="Stand up" >/dev/null
    write_quiet_options
    set_quiet_output
    start_program_at "2026-12-07 06:59:54"
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"
    wait_tray_icon
    local icon=$ICON

    wait_window "闹铃"
    local ringing=$WINDOW
    wait_for "$WAIT_LIMIT" program_streaming || fail "no sound stream from the program reached the sound server"
    output_as_before && fail "the ringing left the output as it was: $(output_now)"
    note "ringing; output at $(output_now), before: $OUTPUT_BEFORE"

    # Qt drops a tooltip, shown or still to come, when the focus moves, as it does in the ringing
    # window when that starts taking keys a second after it opens: until then the window is left alone.
    local memo
    memo_reads "$ringing" "Stand up" || fail "the ringing window's reminder reads \"$memo\""

    # The pointer comes to rest on the icon: its tooltip opens, a window of the program that is
    # neither the icon nor a menu.
    local before tries=0
    before=$(program_popups)
    _tooltip_open() { program_popups | grep -vxF -e "$before" | grep -q .; }
    _hover_icon() {
        tries=$((tries + 1))
        xdotool mousemove 600 100 mousemove --window "$icon" 8 8
        wait_for 3 _tooltip_open
    }
    wait_for "$WAIT_LIMIT" _hover_icon || fail "no tooltip on the icon while the alarm rings"
    note "tooltip open after $tries pointer moves onto the icon"
    shot tooltip
    xdotool mousemove 600 100

    xdotool mousemove --window "$icon" 8 8 click 3
    local menu=""
    _menu_open() {
        menu=$(program_popups | grep -vxF -e "$before" | while read -r w; do
            eval "$(xdotool getwindowgeometry --shell "$w")"
            [ "$HEIGHT" -gt 60 ] && echo "$w"
        done | head -n1)
        [ -n "$menu" ]
    }
    wait_for "$WAIT_LIMIT" _menu_open || fail "the icon's menu did not open while the alarm rings"
    local area_x area_y area_w area_h screen_w screen_h
    read -r area_x area_y area_w area_h <<<"$(work_area)"
    read -r screen_w screen_h <<<"$(xdotool getdisplaygeometry)"
    [ "$area_h" -lt "$screen_h" ] || fail "the panel reserves no strip: work area ${area_w}x$area_h, screen ${screen_w}x$screen_h"
    eval "$(xdotool getwindowgeometry --shell "$menu")"
    note "menu at $X,$Y size ${WIDTH}x$HEIGHT; work area $area_x,$area_y ${area_w}x$area_h"
    shot menu
    [ "$X" -ge "$area_x" ] && [ "$Y" -ge "$area_y" ] && [ $((X + WIDTH)) -le $((area_x + area_w)) ] &&
        [ $((Y + HEIGHT)) -le $((area_y + area_h)) ] || fail "the menu does not lie whole inside the work area"

    xdotool key Down Return # the first entry: 停止闹铃
    xdotool keyup Return
    wait_gone "$ringing"
    wait_for "$WAIT_LIMIT" program_silent_on_server || fail "停止闹铃 left the sound playing"
    wait_for "$WAIT_LIMIT" output_as_before || fail "after 停止闹铃 the output is at $(output_now); before: $OUTPUT_BEFORE"
    program_running || fail "the program ended"
    shot stopped
}
