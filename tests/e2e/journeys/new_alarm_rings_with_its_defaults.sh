# A new user's first alarm: the program's first start, the alarm list, 添加, every default of the
# editor left as it is (play music, with nothing in the play list) but the time, set a few seconds
# ahead, and OK. The alarm rings: the built-in sound reaches the sound server, the ringing window
# says why it plays that instead of the list, and its clock goes on. The alarm's files are not
# rewritten.

# Where the editor's time picker is, inside its client area: its hours, at the left of its text.
EDITOR_TIME_AT="100 203"
EDITOR_OK_AT="265 346"
NOTE="播放列表是空的，改放闹铃声音"

journey() {
    use_accessibility_bus
    # A first start: no files of the user anywhere. They go to the per-user folder.
    local data=$XDG_CONFIG_HOME/belvane
    [ ! -e "$PROGRAM_DIR/Options.ini" ] && [ ! -e "$PROGRAM_DIR/al.ini" ] && [ ! -e "$data" ] ||
        fail "not a first start"

    # Monday: a new alarm is weekly, Monday to Friday.
    start_program_at "2026-12-07 10:20:00"
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"
    # A first start puts the program in the tray; a double click on its icon brings the face up, and
    # the face's menu has 闹钟.
    local icon="" list
    _icon_found() { icon=$(tray_icon); [ -n "$icon" ]; }
    wait_for "$WAIT_LIMIT" _icon_found || fail "no tray icon in the tray host"
    shot first-start
    # The face goes to the tray at the clock's first tick, a moment after the icon appears: a double
    # click before it is undone by it, and the user double-clicks again.
    _face_viewable() { [ -n "$(program_windows Belvane)" ]; }
    _face_brought_up() {
        xdotool mousemove --window "$icon" 8 8 click --repeat 2 --delay 80 1
        wait_for 5 _face_viewable
    }
    wait_for "$WAIT_LIMIT" _face_brought_up || fail "double clicks on the tray icon did not bring the face up"
    wait_window Belvane
    list=$(open_alarm_list "$WINDOW")
    shot list-empty "$list"
    click_at "$list" $((8 + 36)) $((264 + 12)) # 添加
    wait_window "闹钟设置"
    local editor=$WINDOW

    # The time picker shows the moment the editor opened; its seconds stepped 15 up with the arrow
    # key, as a user does.
    click_at "$editor" $EDITOR_TIME_AT
    xdotool key Home Right Right Right Right Right Right
    xdotool key --delay 20 Up Up Up Up Up Up Up Up Up Up Up Up Up Up Up
    shot editor-time-set "$editor"
    click_at "$editor" $EDITOR_OK_AT
    wait_gone "$editor"
    _row_saved() { [ -s "$data/0.ini" ] && [ "$(head -n1 "$data/al.ini" 2>/dev/null | tr -d '\r')" = 1 ]; }
    wait_for "$WAIT_LIMIT" _row_saved || fail "OK saved no alarm 0 in $data"
    shot list-with-row "$list"

    # Saved with the defaults: play music, an empty play list, no sound.
    mapfile -t settings < <(tr -d '\r' <"$data/0.ini")
    local i music="" count="" sound=""
    for i in "${!settings[@]}"; do
        if [ "${settings[i]}" = "***SongList***" ]; then
            music=${settings[i + 1]} count=${settings[i + 2]} sound=${settings[i + 3]}
        fi
    done
    [ "$music $count $sound" = "TRUE 0 FALSE" ] ||
        fail "the new alarm's play list section reads \"$music $count $sound\", not the defaults"
    local saved_before
    saved_before=$(md5sum "$data/0.ini" "$data/al.ini")

    # The row's time code (hhnnss), still ahead of the program's clock.
    mapfile -t rows < <(tr -d '\r' <"$data/al.ini")
    local code=${rows[5]}
    [[ "$code" =~ ^[0-9]{6}$ ]] || fail "the new row's time code is \"$code\""
    local lead
    lead=$(awk -v due="$(date -d "2026-12-07 ${code:0:2}:${code:2:2}:${code:4:2}" +%s)" \
        -v start="$(date -d "2026-12-07 10:20:00" +%s)" -v t0="$PROGRAM_T0" -v now="$(now)" \
        'BEGIN { printf "%d", due - (start + now - t0) }')
    note "alarm due at ${code:0:2}:${code:2:2}:${code:4:2}, about $lead s ahead on the program's clock"
    [ "$lead" -gt 0 ] || fail "the alarm was set for a time already past: the machine took too long"

    wait_window "闹铃" $((lead + WAIT_LIMIT))
    local ringing=$WINDOW
    rings_aloud_saying "$ringing" "$NOTE"

    click_at "$ringing" 301 276 # 确定
    wait_gone "$ringing"
    wait_for "$WAIT_LIMIT" program_silent_on_server || fail "the sound went on after the window closed"
    [ "$(md5sum "$data/0.ini" "$data/al.ini")" = "$saved_before" ] ||
        fail "ringing rewrote the alarm's files"
    program_running || fail "the program ended with the ringing window"
}
