# With the options as they come (chimes on the hour, the half hour and the quarters), the chime sounds
# at a quarter past, once.


journey() {
    local lead=4
    start_program_at "2026-12-07 09:14:56"
    wait_for 10 program_listening || fail "the program did not start"
    program_silent_on_server || fail "sound before the quarter"

    wait_for $((lead + 3)) program_streaming || fail "no chime at 09:15:00"
    local started
    started=$(since "$PROGRAM_T0")
    note "chime stream ${started} s after the start, the quarter being at ${lead} s"
    at_most "$lead" "$started" || fail "the chime started before the quarter (${started} s)"
    at_most "$started" "$((lead + 1))" || fail "the chime started more than a second late (${started} s)"
    local peak
    peak=$(sink_peak 0.6)
    [ "$peak" -gt 1000 ] || fail "the chime did not reach the null sink (peak $peak)"
    shot chiming

    # The chime plays to its end, and no second one follows within the minute's first seconds.
    wait_for 10 program_silent_on_server || fail "the chime did not end"
    if wait_for 2 program_streaming; then fail "a second chime followed the first"; fi
}
