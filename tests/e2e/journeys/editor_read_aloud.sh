# shellcheck shell=bash
# The alarm editor and the face as a screen reader meets them: over AT-SPI, the accessibility bus
# screen readers on Linux read. Every field of the editor is called by its caption and what it holds,
# never by its group's title alone, and the face by the time it shows.

CLOCK_START="19:07:00"
READ_LANGUAGE=zh # the interface's language: zh, or en for an English desktop
EDITOR_TITLE="闹钟设置"

journey() {
    use_accessibility_bus
    write_quiet_options
    [ "$READ_LANGUAGE" = zh ] || export LANGUAGE=en_US
    start_program_at "2024-05-06 $CLOCK_START"
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"
    wait_window Belvane
    local list
    list=$(open_alarm_list "$WINDOW")
    click_at "$list" $((8 + 36)) $((264 + 12)) # 添加, Add
    wait_window "$EDITOR_TITLE"
    /usr/bin/python3 "$HARNESS_DIR/accessible_names.py" "$PROGRAM_PID" "$CLOCK_START" "$PROGRAM_T0" \
        "$READ_LANGUAGE" || fail "the editor or the face read wrong over AT-SPI"
}
