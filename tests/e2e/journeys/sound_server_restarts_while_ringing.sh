# shellcheck shell=bash
# The sound server goes down while an alarm rings and a new one starts: the alarm rings on at its own
# volume on the new server, and OK leaves the new server as it was before the alarm changed it.

journey() {
    write_quiet_options
    add_alarm caption="Restart" frequency=2 "at=2026-12-07 07:00:00" sound=2 volume=80 >/dev/null
    set_quiet_output
    start_program_at "2026-12-07 06:59:56"
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"
    wait_window "闹铃"
    local ringing=$WINDOW
    wait_for "$WAIT_LIMIT" program_streaming || fail "no sound stream from the program reached the sound server"

    restart_sound_server
    # A new server's null sink starts at full volume, unmuted.
    local fresh="65536 65536, mute no"
    # Volume 80 %: level 204 of 255 on both channels, as on the first server.
    local expected=$(((204 * 256 * 65536 + 32767) / 65535))
    _alarm_volume() { [ "$(sink_volume)" = "$expected $expected" ] && [ "$(sink_mute)" = no ]; }
    wait_for "$WAIT_LIMIT" _alarm_volume || fail "the new server stayed at $(output_now)"
    wait_for "$WAIT_LIMIT" program_streaming || fail "the alarm's sound did not come back on the new server"
    _loud() { [ "$(sink_peak 0.8)" -gt 1000 ]; }
    wait_for "$WAIT_LIMIT" _loud || fail "the new server's sink got no signal"
    note "ringing on the new server: $(output_now)"

    click_at "$ringing" 301 276 # 确定
    wait_gone "$ringing"
    _as_found() { [ "$(output_now)" = "$fresh" ]; }
    wait_for "$WAIT_LIMIT" _as_found || fail "after OK the new server is at $(output_now); before the alarm: $fresh"
}
