# shellcheck shell=bash
# An alarm's sound is made ready before its second: a few seconds ahead the program's sound stream is
# already open on the sound server, paused (corked); at the second that stream plays with nothing
# queued in front of the sound, so the wait does not delay it.

# "CORKED BUFFERED" for the program's stream: yes or no, and the milliseconds of it the server holds
# ahead of what is heard.
stream_state() {
    pactl list sink-inputs 2>/dev/null | awk -v pid="application.process.id = \"$PROGRAM_PID\"" '
        /^[ \t]*Corked:/ { corked = $2 }
        /^[ \t]*Buffer Latency:/ { buffered = int($3 / 1000) }
        index($0, pid) { print corked, buffered }'
}
stream_playing() { [ "$(stream_state | cut -d" " -f1)" = no ]; }

journey() {
    write_quiet_options
    add_alarm caption="Made ready" frequency=2 "at=2026-12-07 07:00:00" sound=2 volume=80 >/dev/null
    start_program_at "2026-12-07 06:59:50"
    wait_for "$WAIT_LIMIT" program_streaming || fail "no sound stream was opened ahead of the alarm"
    local state
    state=$(stream_state)
    if [ -n "$(program_windows "闹铃")" ]; then
        note "the machine was too slow to look at the stream before the second"
    elif [ "${state% *}" = yes ]; then
        note "ahead of the second the stream is open and corked"
    else
        fail "ahead of its second the stream plays: $state"
    fi
    wait_window "闹铃"
    wait_for "$WAIT_LIMIT" stream_playing || fail "the stream made ready never played"
    state=$(stream_state)
    note "playing, ${state#* } ms held ahead of what is heard"
    # A stream that kept to the server's clock while it waited would hold as much silence in front of
    # the sound as it waited.
    [ "${state#* }" -lt 1000 ] || fail "the sound waits behind ${state#* } ms of the stream"
}
