# shellcheck shell=bash
# Starting the program while it runs brings the running clock to the front; the second copy ends at
# once with exit code 0, shows no window and leaves the program folder as it was.

journey() {
    write_quiet_options # the clock stays on screen at start
    add_alarm caption=Later frequency=2 "at=2026-12-07 12:00:00" >/dev/null
    start_program
    local first=$PROGRAM_PID
    wait_for "$WAIT_LIMIT" program_listening || fail "the first copy did not start"
    wait_window Belvane
    local face=$WINDOW
    shot first

    # Something else comes to the front and the clock is minimised.
    xmessage -name other -geometry 400x100+100+100 "another program" &
    JOURNEY_PIDS+=($!)
    _other_active() { [ "$(xdotool getwindowname "$(active_window)" 2>/dev/null)" = other ]; }
    wait_for "$WAIT_LIMIT" _other_active || fail "the other window did not come to the front"
    xdotool windowminimize --sync "$face"
    wait_for "$WAIT_LIMIT" not_viewable "$face" || fail "the clock could not be minimised"
    shot before-second-start

    local before after
    before=$(cd "$PROGRAM_DIR" && find . -type f -printf '%p %s %T@\n' | sort | md5sum)
    local second_t0 second status=0
    second_t0=$(now)
    "$PROGRAM_DIR/belvane" >>"$JOURNEY_WORK/program.log" 2>&1 &
    second=$!
    _second_ended() { ! kill -0 "$second" 2>/dev/null; }
    wait_for "$WAIT_LIMIT" _second_ended || { kill "$second"; fail "the second copy did not end within $WAIT_LIMIT s"; }
    wait "$second" || status=$?
    note "second copy ended after $(since "$second_t0") s with exit code $status"
    [ "$status" -eq 0 ] || fail "the second copy ended with exit code $status"

    PROGRAM_PID=$first
    program_running || fail "the first copy ended"
    wait_for "$WAIT_LIMIT" viewable "$face" || fail "the clock was not restored"
    _face_active() { [ "$(active_window)" = "$face" ]; }
    wait_for "$WAIT_LIMIT" _face_active || fail "the clock is not the active window (active: $(active_window))"
    after=$(cd "$PROGRAM_DIR" && find . -type f -printf '%p %s %T@\n' | sort | md5sum)
    [ "$before" = "$after" ] || fail "the second start changed the program folder"
    shot raised
}
