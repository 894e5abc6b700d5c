# shellcheck shell=bash
# With the options as they come (chimes on the hour, the half hour and the quarters), the chime sounds
# at a quarter past, once.


journey() {
    local lead=6
    start_program_at "2026-12-07 09:14:54"
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"
    program_silent_on_server || fail "sound before the quarter"

    wait_timed "$WAIT_LIMIT" program_streaming || fail "no chime at 09:15:00"
    local absent started
    absent=$(minus "$LAST_MISS" "$PROGRAM_T0")
    started=$(minus "$FIRST_HIT" "$PROGRAM_T0")
    note "chime stream began between ${absent} s and ${started} s after the start, the quarter being at ${lead} s"
    at_most "$lead" "$started" || fail "the chime started before the quarter (${started} s)"
    at_most "$absent" "$((lead + 1))" || fail "no chime yet ${absent} s after the start: more than a second late"
    local peak
    peak=$(sink_peak 0.6)
    [ "$peak" -gt 1000 ] || fail "the chime did not reach the null sink (peak $peak)"
    shot chiming

    # The chime plays to its end, and no second one follows within the minute's first seconds.
    wait_for "$WAIT_LIMIT" program_silent_on_server || fail "the chime did not end"
    if wait_for 2 program_streaming; then fail "a second chime followed the first"; fi
}
