# shellcheck shell=bash
# Figures that need a desktop, taken on the private one the journeys run on (Xvfb with openbox and a
# tray host, a session bus, a PulseAudio null sink), all in one run:
#  - idle cost, side by side: the program with its face shown and hidden in the tray, each with 0 and
#    with 256 alarms; the floor, a bare Qt program repainting a small window at each half-second
#    (build/tests/bench/idle_floor); and a peer alarm clock, alarm-clock-applet, when it is installed.
#    CPU: the run time of all the process's threads as the kernel's scheduler counts it
#    (/proc/PID/task/*/schedstat, nanoseconds), in ms per minute. Wake-ups: the voluntary and
#    involuntary context switches of all its threads (/proc/PID/task/*/status), per second: every
#    wake-up from a sleep is one switch. The median of three windows, the processes measured together.
#    Resident memory (VmRSS) of each, read once it has run for 10 s.
#  - start-up, side by side: from starting the process to its first window viewable (the peer, hidden,
#    shows only its tray icon), over fresh starts, median and range;
#  - how long after each half-second the clock face paints (build/tests/bench/face_timing);
#  - the delay from an alarm's due second to its first sound on the null sink's monitor, over fresh
#    starts of the program, each with one daily alarm a few seconds ahead on the real clock;
#  - resident memory across ringings: one program rings its alarms one after another, each closed with
#    OK as it shows; read before the first is made ready, and 5 s after the first and the last close,
#    beside the floor's.
# Run as a journey: [BELVANE_FIGURES_WINDOW=S] [BELVANE_FIGURES_ROUNDS=N] \
#     bash tests/e2e/run-journey.sh tests/bench/desktop_figures.sh
#   S: seconds of each idle window (default 20), N: alarms rung (default 10).

journey() {
    local build=$BUILD_DIR window=${BELVANE_FIGURES_WINDOW:-20} rounds=${BELVANE_FIGURES_ROUNDS:-10} tool
    for tool in belvane tests/bench/idle_floor tests/bench/face_timing tests/bench/first_sound; do
        [ -x "$build/$tool" ] || fail "missing $build/$tool: build first"
    done
    # Each copy of the program below has a runtime folder of its own; the sound server stays this one.
    export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
    idle_figures
    start_figures
    face_timing_figure
    sound_delay_figure
    ringing_memory_figure
}

# ---- the program's folders ----

# A copy of the built program, with options that keep the face shown (tray FALSE) or send it to the
# tray at start (TRUE), no chimes and no start with the desktop.
program_folder() { # DIR TRAY
    mkdir -p "$1/runtime" && chmod 700 "$1/runtime"
    cp -a "$build/belvane" "$build/sounds" "$build/Digital" "$build/Santa Claus" "$build/help" "$1/"
    printf '%s\r\n' '***General***' FALSE "$2" TRUE FALSE '***Hourly Chimes***' "$1/sounds/Cuckoo.wav" \
        FALSE FALSE FALSE FALSE 8 0 0 22 0 0 >"$1/Options.ini"
}
add_alarm_to() { "$BELVANE_ADD_ALARM" "$@" >/dev/null || fail "could not add an alarm to $1"; }
# 256 alarms of every kind but hourly, the first 20 minutes ahead and one every 5 minutes after it,
# so none rings while the figures are taken.
lay_out_256_alarms() { # DIR
    local first frequencies=(0 2 3 4 5) i # a fixed date, daily, weekly, monthly, yearly
    first=$(($(date +%s) + 20 * 60))
    mkdir -p "$1"
    for i in $(seq 0 255); do
        add_alarm_to "$1" caption="alarm $i" frequency="${frequencies[i % 5]}" \
            "at=$(date -d "@$((first + i * 300))" '+%F %T')" weekdays=1111100 sound=$((i % 11))
    done
}
start_copy() { # DIR: sets STARTED_PID
    XDG_RUNTIME_DIR=$1/runtime "$1/belvane" >"$1/program.log" 2>&1 &
    STARTED_PID=$!
    JOURNEY_PIDS+=("$STARTED_PID")
}

face_shown() { xdotool search --all --onlyvisible --pid "$1" --name '^Belvane$' >/dev/null 2>&1; }
# A viewable window of the process no larger than a tray icon: its icon, embedded in the tray.
has_tray_icon() {
    local w WIDTH HEIGHT
    for w in $(xdotool search --all --onlyvisible --pid "$1" 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null | grep -E '^(WIDTH|HEIGHT)=')"
        [ "${WIDTH:-99}" -le 64 ] && [ "${HEIGHT:-99}" -le 64 ] && return 0
    done
    return 1
}
in_tray() { has_tray_icon "$1" && ! face_shown "$1"; }
has_window() { xdotool search --all --onlyvisible --pid "$1" >/dev/null 2>&1; }

# ---- idle, side by side ----

cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { print s + 0 }'; }
switches() {
    cat /proc/"$1"/task/*/status 2>/dev/null |
        awk '/^(voluntary|nonvoluntary)_ctxt_switches/ { s += $2 } END { print s + 0 }'
}
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)] }'; }

idle_figures() {
    local names=() subjects=() case where count tray dir p i round t0 t1
    subject() { # NAME PID READY-TEST
        wait_for 30 "$3" "$2" || fail "$1: not ready after 30 s ($3)"
        names+=("$1")
        subjects+=("$2")
    }
    lay_out_256_alarms "$JOURNEY_WORK/alarms256"
    for case in "shown 0 FALSE" "shown 256 FALSE" "tray 0 TRUE" "tray 256 TRUE"; do
        read -r where count tray <<<"$case"
        dir=$JOURNEY_WORK/$where-$count
        program_folder "$dir" "$tray"
        [ "$count" = 0 ] || cp "$JOURNEY_WORK/alarms256/"* "$dir/"
        start_copy "$dir"
        if [ "$where" = shown ]; then
            subject "Belvane, face shown, $count alarms" "$STARTED_PID" face_shown
        else
            subject "Belvane, hidden in the tray, $count alarms" "$STARTED_PID" in_tray
        fi
    done
    "$build/tests/bench/idle_floor" >/dev/null 2>&1 &
    JOURNEY_PIDS+=($!)
    local floor=$!
    subject "floor: bare Qt 6, one timer at each half-second" $! has_window
    if command -v alarm-clock-applet >/dev/null; then
        alarm-clock-applet --hidden >"$JOURNEY_WORK/peer.log" 2>&1 &
        JOURNEY_PIDS+=($!)
        # Hidden, it shows only its tray icon.
        subject "peer: alarm-clock-applet, hidden in the tray" $! has_tray_icon
    fi

    # Start-up work (fonts, caches, the first draws) is over well before this.
    sleep 5
    local -A rss
    for p in "${subjects[@]}"; do
        wait_until_age "$p" 10
        rss[$p]=$(resident_mib "$p")
    done
    FLOOR_RSS=${rss[$floor]}
    local -A cpu_rates wake_rates cpu0 sw0
    for round in 1 2 3; do
        t0=$(now)
        for p in "${subjects[@]}"; do cpu0[$p]=$(cpu_ns "$p") sw0[$p]=$(switches "$p"); done
        sleep "$window"
        t1=$(now)
        for p in "${subjects[@]}"; do
            kill -0 "$p" 2>/dev/null || fail "process $p ended while idle"
            cpu_rates[$p]+="$(awk -v a="${cpu0[$p]}" -v b="$(cpu_ns "$p")" -v t="$t0" -v u="$t1" \
                'BEGIN { printf "%.1f", (b - a) / 1e6 * 60 / (u - t) }') "
            wake_rates[$p]+="$(awk -v a="${sw0[$p]}" -v b="$(switches "$p")" -v t="$t0" -v u="$t1" \
                'BEGIN { printf "%.2f", (b - a) / (u - t) }') "
        done
    done
    echo "idle under Xvfb, the median of 3 windows of $window s, all measured together:"
    printf '  %-52s %14s %12s %16s\n' "" "CPU ms/minute" "wake-ups/s" "RSS at 10 s, MiB"
    for i in "${!subjects[@]}"; do
        p=${subjects[i]}
        printf '  %-52s %14s %12s %16s\n' "${names[i]}" "$(tr ' ' '\n' <<<"${cpu_rates[$p]}" | grep . | median)" \
            "$(tr ' ' '\n' <<<"${wake_rates[$p]}" | grep . | median)" "${rss[$p]}"
    done
    for p in "${subjects[@]}"; do kill "$p" 2>/dev/null || true; done
}

# The resident memory (VmRSS) of process $1 in MiB.
resident_mib() { awk '/^VmRSS/ { printf "%.1f", $2 / 1024 }' "/proc/$1/status"; }

# Waits until process $1 has run for $2 seconds.
wait_until_age() {
    local left
    left=$(awk -v born="$(process_started_at "$1")" -v now="$(now)" -v age="$2" \
        'BEGIN { d = born + age - now; printf "%.3f", (d > 0 ? d : 0) }')
    sleep "$left"
}

# ---- start-up, side by side ----

# Milliseconds from starting COMMAND... to READY-TEST PID holding, polled every 5 ms; the process is
# ended after. Prints nothing when it did not come within the wait limit.
time_to_window() { # READY-TEST COMMAND...
    local ready=$1 t0 pid
    shift
    t0=$(now)
    "$@" >/dev/null 2>&1 &
    pid=$!
    JOURNEY_PIDS+=("$pid")
    while ! "$ready" "$pid"; do
        sleep 0.005
        at_most "$(since "$t0")" "$WAIT_LIMIT" || break
    done
    "$ready" "$pid" && awk -v a="$t0" -v b="$(now)" 'BEGIN { printf "%.0f\n", (b - a) * 1000 }'
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# median, the range and the count of the numbers on standard input, one a line
summary() {
    sort -g | awk '{ v[NR] = $1 } END { if (NR) printf "%.0f ms (%.0f to %.0f, n %d)", v[int((NR + 1) / 2)], v[1], v[NR], NR; else printf "none" }'
}

start_figures() {
    local dir=$JOURNEY_WORK/start round belvane=() floor=() peer=()
    program_folder "$dir" FALSE
    for round in $(seq "$rounds"); do
        # Interleaved, so a busy moment of the machine falls on all of them alike.
        belvane+=("$(XDG_RUNTIME_DIR=$dir/runtime time_to_window face_shown "$dir/belvane")")
        floor+=("$(time_to_window has_window "$build/tests/bench/idle_floor")")
        if command -v alarm-clock-applet >/dev/null; then
            peer+=("$(time_to_window has_tray_icon alarm-clock-applet --hidden)")
        fi
    done
    echo "start to the first window viewable, fresh starts interleaved:"
    printf '  %-52s %s\n' "Belvane, face shown" "$(printf '%s\n' "${belvane[@]}" | grep . | summary)"
    printf '  %-52s %s\n' "floor: bare Qt 6" "$(printf '%s\n' "${floor[@]}" | grep . | summary)"
    [ ${#peer[@]} -eq 0 ] ||
        printf '  %-52s %s\n' "peer: alarm-clock-applet, its tray icon" "$(printf '%s\n' "${peer[@]}" | grep . | summary)"
}

# ---- the face against the wall clock ----

face_timing_figure() {
    "$build/tests/bench/face_timing" "$window" 2>/dev/null | grep -E '^face paint' ||
        fail "the face timing gave no figure"
}

# ---- due second to the first sound ----

# Each round a fresh program folder (no state carried over) whose one daily alarm is due 4 s after
# the program starts (its sound is made ready as the program starts, the lead being as long),
# playing the built-in "Alarmrng.wav" at volume 80; the monitor's samples are stamped as they arrive,
# in fragments of 5 ms.
sound_delay_figure() {
    local delays=() round dir due parec_pid detector program
    mkfifo "$JOURNEY_WORK/monitor"
    recording() { pactl list short source-outputs | grep -q .; }
    for round in $(seq "$rounds"); do
        dir=$JOURNEY_WORK/latency-$round
        program_folder "$dir" FALSE
        due=$(($(date +%s) + 4))
        add_alarm_to "$dir" caption=latency frequency=2 "at=$(date -d "@$due" '+%F %T')" sound=2 volume=80
        parec -d "$SINK.monitor" --raw --format=s16le --channels=1 --rate=44100 --latency-msec=5 \
            >"$JOURNEY_WORK/monitor" 2>/dev/null &
        parec_pid=$!
        JOURNEY_PIDS+=("$parec_pid")
        "$build/tests/bench/first_sound" "$((due * 1000))" 44100 "$dir/sounds/Alarmrng.wav" 12 \
            <"$JOURNEY_WORK/monitor" >"$JOURNEY_WORK/delay" &
        detector=$!
        wait_for "$WAIT_LIMIT" recording || fail "parec did not start recording"
        start_copy "$dir"
        program=$STARTED_PID
        if wait "$detector"; then
            delays+=("$(cat "$JOURNEY_WORK/delay")")
        else
            echo "round $round: no sound within 12 s"
            cat "$dir/program.log"
        fi
        kill "$program" "$parec_pid" 2>/dev/null || true
        wait "$program" "$parec_pid" 2>/dev/null || true
    done
    [ ${#delays[@]} -gt 0 ] || fail "no alarm was heard"
    printf '%s\n' "${delays[@]}" | sort -g | awk -v n="$rounds" '
        { v[NR] = $1 }
        END { p95 = int((NR * 95 + 99) / 100)  # the nearest rank
              printf "due second to the first sound on the null sink: median %.0f ms, 95th percentile %.0f ms (%.0f to %.0f ms, %d of %d alarms)\n",
                     v[int((NR + 1) / 2)], v[p95], v[1], v[NR], NR, n }'
    [ ${#delays[@]} -eq "$rounds" ] || fail "only ${#delays[@]} of $rounds alarms were heard"
}

# ---- memory across ringings ----

# One program rings `rounds` alarms, 14 s apart on the real clock, each closed with OK once it shows:
# room for the window to close, 5 s more and the reading before the next one's sound is made ready.
ringing_memory_figure() {
    local dir=$JOURNEY_WORK/memory gap=14 first i window before after_first="" after=""
    program_folder "$dir" FALSE
    first=$(($(date +%s) + 20))
    for i in $(seq 0 $((rounds - 1))); do
        add_alarm_to "$dir" caption="memory $i" frequency=0 "at=$(date -d "@$((first + i * gap))" '+%F %T')" \
            sound=2 volume=50
    done
    start_copy "$dir"
    PROGRAM_PID=$STARTED_PID
    wait_for 30 face_shown "$PROGRAM_PID" || fail "memory: the program did not come up"
    # Before the first sound is made ready, 4 s ahead of its second.
    sleep "$(awk -v t=$((first - 6)) -v n="$(now)" 'BEGIN { d = t - n; printf "%.3f", (d > 0 ? d : 0) }')"
    before=$(resident_mib "$PROGRAM_PID")
    for i in $(seq "$rounds"); do
        wait_window "闹铃"
        window=$WINDOW
        for _ in 1 2 3; do # a click before the window is drawn may be lost
            click_at "$window" 301 276 # 确定
            wait_for 5 not_viewable "$window" && break
        done
        wait_gone "$window"
        sleep 5
        after=$(resident_mib "$PROGRAM_PID")
        [ -n "$after_first" ] || after_first=$after
    done
    echo "resident memory of one program ringing $rounds alarms in turn, each read 5 s after its window closed:"
    printf '  %-52s %s MiB\n' "before the first alarm" "$before" "after the first" "$after_first" \
        "after the last ($rounds)" "$after" "floor: bare Qt 6, at 10 s" "${FLOOR_RSS:-?}"
    kill "$PROGRAM_PID" 2>/dev/null || true
}
