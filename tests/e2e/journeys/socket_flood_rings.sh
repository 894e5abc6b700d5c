# A program of the user's opens a thousand connections to the clock's single-instance socket and
# leaves them idle, under the usual limit of 1,024 open files, while an alarm falls due: the alarm
# rings with its sound, and the clock runs on.

journey() {
    ulimit -n 1024
    add_alarm caption="Through the flood" frequency=2 "at=2026-12-07 06:59:45" sound=1 volume=70 >/dev/null
    start_program_at "2026-12-07 06:59:30"
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"
    local socket
    socket=$(compgen -G "$XDG_RUNTIME_DIR/*.socket")

    /usr/bin/python3 - "$socket" "$JOURNEY_WORK/flood" <<'PY' &
import socket, sys, time
held = []
for _ in range(1000):
    s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    try:
        s.connect(sys.argv[1])
        held.append(s)
    except OSError:
        s.close()
with open(sys.argv[2], "w") as out:
    out.write(f"{len(held)}\n")
time.sleep(600)
PY
    JOURNEY_PIDS+=($!)
    _flooded() { [ -s "$JOURNEY_WORK/flood" ]; }
    wait_for "$WAIT_LIMIT" _flooded || fail "the flood did not get going"
    note "connections opened: $(cat "$JOURNEY_WORK/flood")"

    wait_window "闹铃" 60
    wait_for "$WAIT_LIMIT" program_streaming || fail "the alarm rang without a sound stream"
    local peak
    peak=$(sink_peak 0.8)
    [ "$peak" -gt 1000 ] || fail "the null sink got no signal while ringing (peak $peak)"
    shot ringing "$WINDOW"
    program_running || fail "the program ended"
    ! grep -q "Too many open files" "$JOURNEY_WORK/program.log" || fail "the program ran out of file descriptors"
}
