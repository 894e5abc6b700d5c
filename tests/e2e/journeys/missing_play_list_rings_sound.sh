# An alarm whose play list names only files that are gone (moved or deleted since it was set) rings
# its built-in sound instead of nothing: the sound reaches the sound server, the ringing window says
# why, and the alarm's settings file stays as it was.

NOTE="播放列表中的文件都无法播放，改放闹铃声音"

journey() {
    use_accessibility_bus
    write_quiet_options
    local number
    number=$(add_alarm caption="Music that moved" frequency=2 "at=2026-12-07 06:59:30" sound=9 volume=80 \
        "music=$HOME/Music/gone.mp3" "music=$HOME/Music/也不在了.ogg" reminder="Wake up")
    local saved_before
    saved_before=$(md5sum "$PROGRAM_DIR/$number.ini")

    start_program_at "2026-12-07 06:59:24"
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"
    wait_window "闹铃"
    local ringing=$WINDOW
    rings_aloud_saying "$ringing" "$NOTE"

    click_at "$ringing" 301 276 # 确定
    wait_gone "$ringing"
    [ "$(md5sum "$PROGRAM_DIR/$number.ini")" = "$saved_before" ] || fail "ringing rewrote $number.ini"
}
