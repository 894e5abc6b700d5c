# shellcheck shell=bash
# An alarm rings on a bad night: a power cut left an empty lock file, one row of "al.ini" is damaged and
# its error box is never answered, and the good alarm's settings file is gone. The alarm still rings
# on its second, at full volume, while the box stays open; when the session ends (SIGTERM) while it
# rings, the output's volume and mute are put back and the program leaves nothing behind.

journey() {
    write_quiet_options
    : >"$XDG_RUNTIME_DIR/belvane-$(id -u).lock"
    local good
    good=$(add_alarm caption="Wake up" frequency=2 "at=2026-12-07 06:59:30" sound=2 volume=30)
    rm "$PROGRAM_DIR/$good.ini"
    add_alarm caption="Broken" frequency=2 "at=2026-12-07 08:00:00" >/dev/null
    # The second row's time code (line 14 of the file) no longer decodes.
    sed -i '14s/^[0-9]*/076000/' "$PROGRAM_DIR/al.ini"

    set_quiet_output

    local lead=5
    start_program_at "2026-12-07 06:59:25"
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start past the empty lock file"
    _box_open() { [ "$(program_windows Belvane | wc -l)" -ge 2 ]; }
    wait_for "$WAIT_LIMIT" _box_open || fail "the damaged list was not reported"
    note "the error box is open and left unanswered"

    wait_window "闹铃"
    local absent
    absent=$(minus "$LAST_MISS" "$PROGRAM_T0")
    note "ringing window appeared between ${absent} s and $(minus "$FIRST_HIT" "$PROGRAM_T0") s after the start, the alarm being due at ${lead} s"
    at_most "$absent" "$((lead + 2))" || fail "no ringing window yet ${absent} s after the start: late"
    _box_open || fail "the error box closed by itself"

    wait_for "$WAIT_LIMIT" program_streaming || fail "no sound stream from the program reached the sound server"
    local peak
    peak=$(sink_peak 0.8)
    [ "$peak" -gt 1000 ] || fail "the null sink got no signal while ringing (peak $peak)"
    # The new-alarm default volume, 100 %: level 255 on both channels.
    local expected=$(((255 * 256 * 65536 + 32767) / 65535))
    read -r left right <<<"$(sink_volume)"
    [ $((left - expected)) -le 2 ] && [ $((expected - left)) -le 2 ] && [ "$left" = "$right" ] ||
        fail "output volume while ringing is $left/$right, expected $expected"
    [ "$(sink_mute)" = no ] || fail "the output stayed muted while ringing"
    move_face_aside
    shot ringing-with-box-open

    kill -TERM "$PROGRAM_PID"
    _program_ended() { ! program_running; }
    wait_for "$WAIT_LIMIT" _program_ended || fail "SIGTERM did not end the program"
    output_as_before || fail "after SIGTERM the output is at $(output_now); before: $OUTPUT_BEFORE"
    [ -f "$PROGRAM_DIR/skinname.ini" ] || fail "no skinname.ini was written at the end"
    [ -f "$PROGRAM_DIR/lastcheck.ini" ] || fail "the instant last checked was not stored"
    # The lock file stays where it is (one removed could let two starts lock two different files),
    # but nobody holds it any more; the socket is gone.
    local left
    left=$(compgen -G "$XDG_RUNTIME_DIR/belvane-*" | grep -v '\.lock$' || true)
    [ -z "$left" ] || fail "left behind: $left"
    flock -n "$(compgen -G "$XDG_RUNTIME_DIR/belvane-*.lock")" true || fail "the lock is still held after the end"
    note "ended by SIGTERM: output as before, files written, the socket gone and the lock free"
}
