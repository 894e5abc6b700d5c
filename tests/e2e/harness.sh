# shellcheck shell=bash
# The journeys' toolbox, sourced by run-journey.sh. A journey is a bash file in journeys/ that defines
# one function, `journey`, and uses what is here: the program in a fresh folder, its windows on a
# private X server with a window manager and a tray host, its sound on a private PulseAudio null sink.
#
# Every helper that waits does so on a condition, with a generous bound (wait_for and await, from
# tests/helpers/wait.sh); `fail` ends the journey.

# ---- outcome -------------------------------------------------------------------------------------

fail() {
    echo "JOURNEY FAILED: $*" >&2
    shot failure || true
    exit 1
}

note() { echo "[$(printf '%6.2f' "$(since "$JOURNEY_T0")")] $*"; }

# Skips this journey (ctest shows it as skipped) until the part of the program it needs exists.
# BELVANE_E2E_PENDING=1 runs it anyway, to try it out.
pending() {
    if [ "${BELVANE_E2E_PENDING:-0}" != 1 ]; then
        echo "skipped: waits for $*"
        exit 77
    fi
    note "running although pending ($*)"
}

# ---- the tray host ---------------------------------------------------------------------------------

# Starts trayer along the bottom edge of the screen, as a panel that reserves its strip of the screen,
# and waits until it owns the tray selection; sets TRAY_PID.
start_tray() {
    trayer --edge bottom --align right --widthtype request --height 24 --transparent false --SetPartialStrut true \
        >>"$JOURNEY_WORK/trayer.log" 2>&1 &
    TRAY_PID=$!
    JOURNEY_PIDS+=("$TRAY_PID")
    await "trayer to own _NET_SYSTEM_TRAY_S0" tray_host_running ||
        fail "trayer did not start: $(cat "$JOURNEY_WORK/trayer.log")"
}

# Prints the work area (the screen less the panels) as "x y width height".
work_area() { xprop -root -notype _NET_WORKAREA | awk -F' = ' '{ split($2, a, ", "); print a[1], a[2], a[3], a[4] }'; }

# Ends the tray host as a crash of the panel would, and waits until its selection has no owner.
stop_tray() {
    kill -9 "$TRAY_PID"
    _tray_gone() { ! tray_host_running; }
    await "the tray selection to lose its owner" _tray_gone || fail "the tray selection kept its owner"
}

# ---- time ----------------------------------------------------------------------------------------

now() { echo "$EPOCHREALTIME"; }
# Seconds since a time taken with `now`, as a decimal.
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.3f", b - a }'; }
# True when the decimal $1 is at most $2, or $1 is "?" (not known, so not too late).
at_most() { [ "$1" = "?" ] || awk -v a="$1" -v b="$2" 'BEGIN { exit !(a <= b) }'; }
# The difference $1 - $2 of two decimals; "?" when $1 is 0, a moment not seen (see wait_timed).
minus() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == 0) print "?"; else printf "%.3f", a - b }'; }

# The moment (as `now` gives it) process $1 was started, to a hundredth of a second: its age is the
# system's uptime less the uptime at its start.
process_started_at() {
    local ticks uptime
    ticks=$(awk '{ sub(/^.*\) /, ""); print $20 }' "/proc/$1/stat") || return 1
    read -r uptime _ </proc/uptime
    awk -v now="$(now)" -v up="$uptime" -v t="$ticks" -v hz="$(getconf CLK_TCK)" \
        'BEGIN { printf "%.3f", now - (up - t / hz) }'
}

# wait_timed LIMIT COMMAND...: wait_for that also brackets the moment COMMAND came true, however
# slowly each try runs on a busy machine: it did not hold yet at LAST_MISS (when the last failed try
# began; 0 when the first try succeeded) and held at FIRST_HIT (when the successful try ended).
wait_timed() {
    local limit=$1
    shift
    LAST_MISS=0
    _timed_try() {
        local asked
        asked=$(now)
        if "$@"; then
            # shellcheck disable=SC2034 # read by the journeys
            FIRST_HIT=$(now)
            return 0
        fi
        # shellcheck disable=SC2034 # read by the journeys
        LAST_MISS=$asked
        return 1
    }
    wait_for "$limit" _timed_try "$@"
}

# ---- the program ---------------------------------------------------------------------------------

# Starts the program from the journey's folder. `start_program [ARGUMENT...]` runs it on the real clock;
# `start_program_at 'YYYY-MM-DD hh:mm:ss'` runs it on a clock that starts at that moment and runs on
# in real time. Sets PROGRAM_PID and PROGRAM_T0 (the real moment of the start).
start_program_at() {
    # libfaketime preloaded, not through the faketime command: that one keeps a semaphore and shared
    # memory named by its process id, left behind when it is stopped, and a later one given the same
    # id refuses to start.
    local library
    library=$(_faketime_library) || exit 1
    LD_PRELOAD=$library FAKETIME="@$1" FAKETIME_DONT_FAKE_MONOTONIC=1 \
        "$PROGRAM_DIR/belvane" >>"$JOURNEY_WORK/program.log" 2>&1 &
    PROGRAM_PID=$!
    JOURNEY_PIDS+=("$PROGRAM_PID")
    # Its clock starts when the process does, which on a busy machine can be a while after now.
    PROGRAM_T0=$(process_started_at "$PROGRAM_PID") || fail "the program ended at once"
    note "program started (pid $PROGRAM_PID) with its clock at $1"
}

# shellcheck disable=SC2120 # the journeys pass the arguments
start_program() {
    # shellcheck disable=SC2034 # read by the journeys
    PROGRAM_T0=$(now)
    "$PROGRAM_DIR/belvane" "$@" >>"$JOURNEY_WORK/program.log" 2>&1 &
    PROGRAM_PID=$!
    JOURNEY_PIDS+=("$PROGRAM_PID")
    note "program started (pid $PROGRAM_PID)"
}

program_running() { kill -0 "$PROGRAM_PID" 2>/dev/null; }

# The program's wake helper (belvane-wake, its child), if one runs: the newest, when one just ended.
wake_helper_pid() { pgrep -n -P "$PROGRAM_PID" -x belvane-wake || true; }

# Whole seconds left on the wake helper's timer: its one descriptor on CLOCK_REALTIME_ALARM (clockid
# 8), whose it_value is the time left. Nothing when there is no helper or no such timer.
wake_timer_left() {
    local pid info
    pid=$(wake_helper_pid)
    [ -n "$pid" ] || return 0
    info=$(grep -l '^clockid:[[:space:]]*8$' /proc/"$pid"/fdinfo/* 2>/dev/null | head -n1)
    [ -n "$info" ] || return 0
    awk '/^it_value:/ { gsub(/[(),]/, " "); print $2 }' "$info" 2>/dev/null
}

# The program listens for a second start once its single-instance socket exists.
program_listening() { compgen -G "$XDG_RUNTIME_DIR/*.socket" >/dev/null; }

# Adds an alarm to the program folder before the program starts; key=value arguments as
# add_alarm_files takes them. Prints the alarm's number.
add_alarm() { "$BELVANE_ADD_ALARM" "$PROGRAM_DIR" "$@"; }

# Writes "Options.ini": the 17 lines of the options dialog. Arguments in file order: start with the
# desktop, tray at start, videos full screen, 12-hour face, chime file, hourly, half-hourly,
# quarter-hourly, only within the range, from h m s, to h m s.
write_options() {
    local lines=("***General***" "$1" "$2" "$3" "$4" "***Hourly Chimes***" "${@:5}")
    [ ${#lines[@]} -eq 17 ] || fail "write_options needs 15 values, got $(($# ))"
    printf '%s\r\n' "${lines[@]}" >"$PROGRAM_DIR/Options.ini.tmp"
    mv "$PROGRAM_DIR/Options.ini.tmp" "$PROGRAM_DIR/Options.ini"
}

# The options of a user who wants the clock on screen and no chimes.
write_quiet_options() {
    write_options FALSE FALSE TRUE FALSE "$PROGRAM_DIR/sounds/Cuckoo.wav" FALSE FALSE FALSE FALSE 8 0 0 22 0 0
}

# ---- windows -------------------------------------------------------------------------------------

# The viewable windows of the program with exactly this title, one id a line.
program_windows() { xdotool search --all --onlyvisible --pid "$PROGRAM_PID" --name "^$1\$" 2>/dev/null || true; }

# Waits up to $2 seconds (default WAIT_LIMIT) for a window titled $1 of the program to be viewable;
# sets WINDOW to its id, and LAST_MISS and FIRST_HIT (see wait_timed) around the moment it appeared.
# (Not in a $(...): it sets variables and may fail.)
wait_window() {
    local title=$1 limit=${2:-$WAIT_LIMIT}
    WINDOW=""
    _window_found() { WINDOW=$(program_windows "$title" | head -n1); [ -n "$WINDOW" ]; }
    wait_timed "$limit" _window_found || fail "no window \"$title\" within $limit s"
}

viewable() { window_viewable "$1"; }
not_viewable() { ! viewable "$1"; }
# Waits up to $2 seconds (default WAIT_LIMIT) for window $1 to be unmapped or gone.
wait_gone() {
    local limit=${2:-$WAIT_LIMIT}
    wait_for "$limit" not_viewable "$1" || fail "window $1 still there after $limit s"
}

# The windows the window manager manages, in the order it stacks them, bottom first; one id a line,
# in decimal as xdotool gives them.
stacking_order() {
    local id
    for id in $(xprop -root -notype _NET_CLIENT_LIST_STACKING 2>/dev/null | grep -o '0x[0-9a-f]*'); do
        echo $((id))
    done
}

# True when the window manager stacks window $1 above window $2 (both managed).
stacked_above() {
    local order i upper=-1 lower=-1
    mapfile -t order < <(stacking_order)
    for i in "${!order[@]}"; do
        [ "${order[i]}" = "$1" ] && upper=$i
        [ "${order[i]}" = "$2" ] && lower=$i
    done
    [ "$upper" -ge 0 ] && [ "$lower" -ge 0 ] && [ "$upper" -gt "$lower" ]
}

# The program's windows the window manager manages, bottom first; one id a line.
program_managed() {
    local w
    for w in $(stacking_order); do
        [ "$(xdotool getwindowpid "$w" 2>/dev/null)" = "$PROGRAM_PID" ] && echo "$w"
    done
    return 0
}

# The program's managed windows stacked below window $1, one id a line; none when $1 is not managed.
program_managed_below() {
    local managed
    managed=$(program_managed)
    grep -qx "$1" <<<"$managed" && sed "/^$1\$/,\$d" <<<"$managed"
    return 0
}

# Waits for a window of the program that was not among $1 (what program_managed printed before the
# user's action) to be managed and viewable; sets WINDOW to it. $2 names the action for the failure.
wait_new_window() {
    local before=$1 action=$2
    WINDOW=""
    _new_window() {
        WINDOW=$(program_managed | grep -vxF -e "$before" | tail -n1)
        [ -n "$WINDOW" ] && viewable "$WINDOW"
    }
    wait_for "$WAIT_LIMIT" _new_window || fail "$action opened no window within $WAIT_LIMIT s"
}

# The window's title.
window_title() { xdotool getwindowname "$1" 2>/dev/null || true; }

# The program's viewable override-redirect windows (its open menus), one id a line.
program_popups() {
    local w
    for w in $(xdotool search --all --onlyvisible --pid "$PROGRAM_PID" 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: yes' && echo "$w"
    done
    return 0
}

# Waits for a menu of the program to open, and sets MENU to its window.
wait_menu() {
    MENU=""
    _menu_open() { MENU=$(program_popups | head -n1); [ -n "$MENU" ]; }
    wait_for "$WAIT_LIMIT" _menu_open || fail "no menu opened within $WAIT_LIMIT s"
}

# Moves the clock face (always on top) to the top left corner, as a user drags it out of the way,
# so the pictures of other windows are not covered by it.
move_face_aside() {
    local w
    for w in $(program_windows Belvane); do xdotool windowmove --sync "$w" 0 0 2>/dev/null || true; done
}

# Opens the alarm list from the face's menu (its third entry, after "Send to tray" and a separator)
# and prints the list window's id.
open_alarm_list() {
    local face=$1 list="" before
    eval "$(xdotool getwindowgeometry --shell "$face")"
    before=$(_visible_count)
    xdotool mousemove --window "$face" $((WIDTH / 2)) $((HEIGHT / 2)) click 3
    _menu_open() { [ "$(_visible_count)" -gt "$before" ]; }
    wait_for 10 _menu_open || fail "the face's menu did not open"
    xdotool key Down Down Return
    _list_shown() { list=$(program_windows Belvane | grep -vx "$face" | head -n1); [ -n "$list" ]; }
    wait_for 10 _list_shown || fail "闹钟 did not show the alarm list"
    echo "$list"
}

_visible_count() { xdotool search --all --onlyvisible --pid "$PROGRAM_PID" 2>/dev/null | wc -l; }

active_window() { xdotool getactivewindow 2>/dev/null || true; }

# The program's tray icon: its small viewable window embedded in the tray host.
tray_icon() {
    local w
    for w in $(xdotool search --all --onlyvisible --pid "$PROGRAM_PID" 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        if [ "$WIDTH" -le 64 ] && [ "$HEIGHT" -le 64 ]; then
            echo "$w"
            return 0
        fi
    done
    return 1
}

# Starts the program as a user who keeps the clock on screen, and waits for its face and its tray
# icon; sets FACE and ICON to their windows.
start_with_face_shown() {
    write_quiet_options
    start_program
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"
    wait_window Belvane
    # shellcheck disable=SC2034 # read by the journeys
    FACE=$WINDOW
    wait_tray_icon
}

# Waits for the program's icon to show in the tray host, and sets ICON to its window.
wait_tray_icon() {
    ICON=""
    _icon_found() { ICON=$(tray_icon); [ -n "$ICON" ]; }
    wait_for "$WAIT_LIMIT" _icon_found || fail "no tray icon in the tray host"
}

# Clicks the left button at (x, y) inside a window's client area.
click_at() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

# The text of a text box: a click into it at (x, y), select all, copy, and the clipboard read back.
text_at() {
    click_at "$1" "$2" "$3"
    # The clipboard is emptied first, so that only the program's copy can fill it.
    printf '' | xclip -selection clipboard -i >/dev/null 2>&1
    xdotool key --window "$1" ctrl+a ctrl+c
    _copied() { [ -n "$(xclip -o -selection clipboard 2>/dev/null)" ]; }
    wait_for "$WAIT_LIMIT" _copied || fail "nothing was copied from the text box within $WAIT_LIMIT s"
    xclip -o -selection clipboard 2>/dev/null
}

# True when the ringing window's reminder reads $2; sets memo to what it last read. The window takes
# no keys for its first second (a key meant for another window must not dismiss it), so the copy is
# tried again until it gives a text.
memo_reads() {
    memo=""
    _memo_is() {
        click_at "$1" 40 230
        printf '' | xclip -selection clipboard -i >/dev/null 2>&1
        xdotool key --window "$1" ctrl+a ctrl+c
        _memo_copied() { memo=$(xclip -o -selection clipboard 2>/dev/null) && [ -n "$memo" ]; }
        wait_for 2 _memo_copied && [ "$memo" = "$2" ]
    }
    wait_for 20 _memo_is "$1" "$2"
}

# Saves a picture of a window (or of the whole screen) as build/tests/screenshots/e2e-JOURNEY-NAME.png.
shot() {
    local name=$1 id=${2:-root}
    mkdir -p "$SCREENSHOT_DIR"
    local file="$SCREENSHOT_DIR/e2e-$JOURNEY_NAME-$name.png"
    sleep 0.3 # pictures only: windows just mapped or uncovered finish painting, openbox its animation
    if [ "$id" = root ]; then
        /usr/bin/import -window root "$file" 2>/dev/null
    else
        /usr/bin/import -window "$id" "$file" 2>/dev/null
    fi
    note "screenshot $file"
}

# ---- the program on the session bus ----------------------------------------------------------------

# Records the program's org.belvane.Alarms signals from now on, once dbus-monitor has become a monitor.
watch_alarm_signals() {
    dbus-monitor --session "type='signal',interface='org.belvane.Alarms'" >"$JOURNEY_WORK/signals.log" 2>&1 &
    JOURNEY_PIDS+=($!)
    _monitoring() { grep -q 'member=NameLost' "$JOURNEY_WORK/signals.log"; }
    wait_for "$WAIT_LIMIT" _monitoring || fail "dbus-monitor did not start: $(cat "$JOURNEY_WORK/signals.log")"
}

# True when the signal $1 was seen with arguments that, read on one line, match the pattern $2.
alarm_signal_seen() { grep -A3 "member=$1" "$JOURNEY_WORK/signals.log" | tr '\n' ' ' | grep -q -- "$2"; }
signals_seen() { cat "$JOURNEY_WORK/signals.log"; }

# ---- screen readers ------------------------------------------------------------------------------

# Lets the journey read the program's windows as a screen reader does, over AT-SPI: the accessibility
# bus, on which a program started afterwards shows its windows. Skips the journey without pyatspi.
use_accessibility_bus() {
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
        { echo "skipped: python3-pyatspi is not installed (scripts/packages.sh)"; exit 77; }
    start_accessibility_bus "$JOURNEY_WORK" JOURNEY_PIDS || fail "the accessibility bus did not start"
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
}

# ---- sound ---------------------------------------------------------------------------------------

# The number of sound streams the program has open on the sound server.
program_streams() {
    pactl list sink-inputs 2>/dev/null | grep -c "application.process.id = \"$PROGRAM_PID\"" || true
}
program_streaming() { [ "$(program_streams)" -gt 0 ]; }
program_silent_on_server() { [ "$(program_streams)" -eq 0 ]; }

# The loudest sample (0..32767) that reached the null sink during the next $1 seconds.
sink_peak() {
    local raw="$JOURNEY_WORK/monitor.raw"
    timeout "$1" parec -d "$SINK.monitor" --raw --format=s16le --channels=1 --rate=16000 \
        --latency-msec=20 >"$raw" 2>/dev/null || true
    /usr/bin/python3 - "$raw" <<'EOF'
import array, sys
data = open(sys.argv[1], 'rb').read()
samples = array.array('h')
samples.frombytes(data[:len(data) // 2 * 2])
print(max((abs(s) for s in samples), default=0) if len(samples) > 1000 else -1)
EOF
}

# The ringing window $1 rings a sound that reaches the null sink, reads (over AT-SPI, see
# use_accessibility_bus) the line $2, and its clock goes on; a picture of it is taken.
rings_aloud_saying() {
    wait_for "$WAIT_LIMIT" program_streaming || fail "the alarm rang without a sound stream"
    local peak
    peak=$(sink_peak 0.8)
    note "peak at the null sink while ringing: $peak"
    [ "$peak" -gt 1000 ] || fail "the null sink got no signal while ringing (peak $peak)"
    move_face_aside
    /usr/bin/python3 "$HARNESS_DIR/ringing_window_reads.py" "$PROGRAM_PID" "$2" ||
        fail "the ringing window does not read as it should"
    shot ringing "$1"
}

# The sound server stops as a crash or a restart stops it, and a new one starts in its place, at its
# own volume (100 %, unmuted); the low-latency stream comes back with it.
restart_sound_server() {
    local server
    server=$(pgrep -P $$ -x pulseaudio) || fail "no sound server of this journey to restart"
    kill -9 "$server"
    _server_gone() { ! pulse_answers; }
    await "the sound server to go" _server_gone || fail "the sound server did not go"
    start_pulse "$JOURNEY_WORK" JOURNEY_PIDS || fail "pulseaudio did not start again"
    pacat --latency-msec=20 --raw /dev/zero >/dev/null 2>&1 &
    JOURNEY_PIDS+=($!)
    note "sound server restarted"
}

# The default sink's volume as "left right" in the server's units (65536 = 100 %), and its mute.
sink_volume() {
    pactl get-sink-volume "$SINK" | awk '/Volume:/ { print $3, $10 }'
}
sink_mute() { pactl get-sink-mute "$SINK" | awk '{ print $2 }'; }
output_now() { echo "$(sink_volume), mute $(sink_mute)"; }

# The user's output as it was before an alarm: quiet (23 %) and muted, or not with "unmuted". It is
# remembered in OUTPUT_BEFORE, so that `output_as_before` tells whether the program put it back.
set_quiet_output() {
    pactl set-sink-volume "$SINK" 15073 # 23 %
    pactl set-sink-mute "$SINK" "$([ "${1:-}" = unmuted ] && echo 0 || echo 1)"
    OUTPUT_BEFORE=$(output_now)
}
output_as_before() { [ "$(output_now)" = "$OUTPUT_BEFORE" ]; }

# ---- desktop notifications -------------------------------------------------------------------------

# python3-dbusmock's notification daemon on the journey's session bus; a program started afterwards
# shows its notifications there.
start_notification_mock() {
    /usr/bin/python3 -m dbusmock --template notification_daemon >"$JOURNEY_WORK/notify.log" 2>&1 &
    JOURNEY_PIDS+=($!)
    await "the notification mock to own org.freedesktop.Notifications" \
        bus_name_owned --session org.freedesktop.Notifications || fail "the notification mock did not start"
}

# What the notification server was asked, as gdbus prints the mock's GetCalls.
notification_calls() {
    gdbus call --session --dest org.freedesktop.Notifications --object-path /org/freedesktop/Notifications \
        --method org.freedesktop.DBus.Mock.GetCalls
}

# The user chooses action $2 of notification $1 on the desktop.
choose_notification_action() {
    gdbus call --session --dest org.freedesktop.Notifications --object-path /org/freedesktop/Notifications \
        --method org.freedesktop.DBus.Mock.EmitSignal org.freedesktop.Notifications ActionInvoked us \
        "[<uint32 $1>, <'$2'>]" >/dev/null || fail "could not choose action $2 of notification $1"
}

# ---- a clock that moves, and logind ----------------------------------------------------------------

# Starts the program on a clock set to $1 ('YYYY-MM-DD hh:mm:ss') that the journey can then move with
# `shift_clock SECONDS`, as a resume or an NTP step moves the wall clock under a running program.
# libfaketime reads its offset from a file at every clock read; the monotonic clock stays real.
_faketime_library() {
    local library
    library=$(dpkg -L libfaketime 2>/dev/null | grep 'libfaketime\.so\.1$' | head -n1)
    [ -n "$library" ] || fail "libfaketime is not installed"
    echo "$library"
}

start_program_on_movable_clock() {
    local library
    library=$(_faketime_library) || exit 1
    CLOCK_FILE=$JOURNEY_WORK/clock-offset
    CLOCK_OFFSET=$(($(date -d "$1" +%s) - $(date +%s)))
    _write_clock_offset "$CLOCK_FILE"
    # shellcheck disable=SC2034 # read by the journeys
    PROGRAM_T0=$(now)
    LD_PRELOAD=$library FAKETIME_TIMESTAMP_FILE=$CLOCK_FILE FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1 \
        "$PROGRAM_DIR/belvane" >>"$JOURNEY_WORK/program.log" 2>&1 &
    PROGRAM_PID=$!
    JOURNEY_PIDS+=("$PROGRAM_PID")
    note "program started (pid $PROGRAM_PID) with its clock at $1, movable"
}

# libfaketime's relative form: "+120s" or "-3600s".
_write_clock_offset() {
    if [ "$CLOCK_OFFSET" -ge 0 ]; then echo "+${CLOCK_OFFSET}s"; else echo "${CLOCK_OFFSET}s"; fi >"$1"
}

shift_clock() {
    CLOCK_OFFSET=$((CLOCK_OFFSET + $1))
    _write_clock_offset "$CLOCK_FILE.new"
    mv "$CLOCK_FILE.new" "$CLOCK_FILE"
    note "clock moved by $1 s"
}

# A private system bus holding python3-dbusmock's logind; the program started afterwards uses it.
start_logind_mock() { start_logind_bus "$JOURNEY_WORK" JOURNEY_PIDS || fail "the logind mock did not start"; }

# logind telling its clients that the machine has just resumed.
signal_resume() {
    gdbus emit --system --object-path /org/freedesktop/login1 \
        --signal org.freedesktop.login1.Manager.PrepareForSleep false >/dev/null ||
        fail "could not send the resume signal"
}
