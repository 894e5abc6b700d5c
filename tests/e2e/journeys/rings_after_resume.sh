# shellcheck shell=bash
# The machine sleeps over two alarms. When it resumes, the wall clock has jumped 20 minutes and logind
# says so: the alarm due 4 minutes ago rings at once, saying when it was due; the one 19 minutes ago is
# too old to ring and is listed in a notice instead.

journey() {
    start_logind_mock
    write_quiet_options
    add_alarm caption="Too old" frequency=2 "at=2026-12-07 07:00:00" >/dev/null
    add_alarm caption="Still wanted" frequency=2 "at=2026-12-07 07:15:00" sound=2 volume=60 >/dev/null
    start_program_on_movable_clock "2026-12-07 06:59:00"
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"
    wait_window Belvane

    shift_clock 1200 # asleep from 06:59 to 07:19
    local resumed
    resumed=$(now)
    signal_resume
    # Without the signal the scheduler would only look again at its next wake, up to a minute later.
    wait_window "闹铃"
    local after
    after=$(minus "$LAST_MISS" "$resumed")
    note "ringing window appeared between ${after} s and $(minus "$FIRST_HIT" "$resumed") s after the resume signal"
    at_most "$after" 15 || fail "no ringing window yet ${after} s after the resume: not at once"
    _notice_open() { [ "$(program_windows Belvane | wc -l)" -ge 2 ]; }
    wait_for "$WAIT_LIMIT" _notice_open || fail "the missed alarm was not listed"
    wait_for "$WAIT_LIMIT" program_streaming || fail "the late alarm made no sound"
    move_face_aside
    shot late-alarm-and-missed-notice
}
