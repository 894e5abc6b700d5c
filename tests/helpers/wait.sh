# shellcheck shell=bash
# Waiting in the test scripts, and starting the servers the tests use; sourced by every script that
# starts servers or windows for the tests.
#
# Every wait is for a condition, polled until it holds or a generous limit runs out: on a busy machine
# an X server, a window manager or a sound server can take many seconds to come up, and that should
# make the tests slower, never red. When a wait runs out, the message says what was awaited.

# The starters append to the caller's array of process ids through a name reference (local -n), which
# the checker takes for a string assigned over an array.
# shellcheck disable=SC2178

# Seconds to wait for a server or a window before giving up.
WAIT_LIMIT=${BELVANE_WAIT_LIMIT:-30}

# Microseconds since the epoch, without starting a process.
_wait_clock() { echo "${EPOCHREALTIME/[.,]/}"; }

# wait_for LIMIT COMMAND...: runs COMMAND every 50 ms until it succeeds (status 0) or LIMIT seconds
# (a decimal) have passed (status 1). Prints nothing: for waits whose caller words the failure.
wait_for() {
    local limit_us
    limit_us=$(awk -v s="$1" 'BEGIN { printf "%d", s * 1000000 }')
    shift
    local start
    start=$(_wait_clock)
    until "$@"; do
        [ $(($(_wait_clock) - start)) -le "$limit_us" ] || return 1
        sleep 0.05
    done
}

# await DESCRIPTION COMMAND...: waits up to WAIT_LIMIT seconds for COMMAND to succeed. When the limit
# runs out it prints "gave up waiting for DESCRIPTION after N s" on stderr and returns 1.
await() {
    local what=$1
    shift
    wait_for "$WAIT_LIMIT" "$@" && return 0
    echo "gave up waiting for $what after $WAIT_LIMIT s" >&2
    return 1
}

# ---- conditions ----------------------------------------------------------------------------------

file_written() { [ -s "$1" ]; }
socket_exists() { [ -S "$1" ]; }
pulse_answers() { pactl info >/dev/null 2>&1; }
# A window manager announces itself with _NET_SUPPORTING_WM_CHECK on the root window.
window_manager_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
# A tray host owns the selection _NET_SYSTEM_TRAY_S0 of the first screen.
tray_host_running() { selection_owned _NET_SYSTEM_TRAY_S0; }
window_viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
bus_name_owned() {
    dbus-send "$1" --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
        "string:$2" 2>/dev/null | grep -q 'boolean true'
}

# True when some client owns the X selection $1 on DISPLAY. (No packaged tool asks the server
# that, so it is asked through libX11 directly.)
selection_owned() {
    /usr/bin/python3 - "$1" <<'EOF'
import ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XGetSelectionOwner.restype = ctypes.c_ulong
x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
display = x.XOpenDisplay(None)
sys.exit(0 if display and x.XGetSelectionOwner(display, x.XInternAtom(display, sys.argv[1].encode(), 0)) else 1)
EOF
}

# ---- servers -------------------------------------------------------------------------------------
# Each starts one server in the background, adds its process id to the caller's array PIDS (stopped
# by the caller on exit, also when the wait fails) and returns once the server answers: status 1,
# with the awaited condition named, if it never does. FOLDER receives the server's log.

# start_x_server FOLDER PIDS: Xvfb on a free display (-displayfd: the server picks the number and
# writes it once it accepts clients). Sets STARTED_DISPLAY, e.g. ":3", and exports XAUTHORITY:
# the server admits only clients holding its cookie, so that no other program on the machine (one
# that takes a display number for its own, say) can reach the tests' windows. -noreset: by default
# the server resets whenever its last client leaves, and a client that connects during the reset
# (the window manager just after a probe, the next test's window) is refused; that is rare on an
# idle machine and frequent on a busy one.
start_x_server() {
    local -n _pids=$2
    local cookie
    cookie=$(mcookie)
    export XAUTHORITY=$1/xauthority
    : >"$XAUTHORITY"
    # The server takes the cookie of any entry in its file; the clients' entry names the display.
    xauth -q -f "$XAUTHORITY" add :0 MIT-MAGIC-COOKIE-1 "$cookie"
    Xvfb -displayfd 3 -auth "$XAUTHORITY" -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$1/display" >"$1/xvfb.log" 2>&1 &
    _pids+=($!)
    await "the X server to name its display (-displayfd)" file_written "$1/display" ||
        { cat "$1/xvfb.log" >&2; return 1; }
    STARTED_DISPLAY=:$(head -n1 "$1/display")
    xauth -q -f "$XAUTHORITY" add "$STARTED_DISPLAY" MIT-MAGIC-COOKIE-1 "$cookie"
}

# start_window_manager FOLDER PIDS: openbox on DISPLAY, the window manager the window tests and the
# journeys use (stacking, focus, frames and the actions a window offers are the window manager's).
# openbox names itself (_NET_SUPPORTING_WM_CHECK) before its start is over, and a window mapped in
# between is never managed: it stays unmapped for good (on a busy machine, the tray host's panel and the
# program's first window). So it is ready once it has framed a window of its own.
start_window_manager() {
    local -n _pids=$2
    openbox --sm-disable >"$1/openbox.log" 2>&1 &
    _pids+=($!)
    await "openbox to set _NET_SUPPORTING_WM_CHECK" window_manager_running ||
        { cat "$1/openbox.log" >&2; return 1; }
    await "openbox to frame a first window" window_manager_frames_a_window ||
        { cat "$1/openbox.log" >&2; return 1; }
}

# Maps a small window and waits up to 2 s for the window manager to manage it (WM_STATE Normal); it
# is mapped anew each time it is asked, since one mapped too early is never managed.
window_manager_frames_a_window() {
    local probe managed=1 i
    xmessage -title belvane-wm-probe -geometry +0+0 ready >/dev/null 2>&1 &
    probe=$!
    for ((i = 0; i < 20; i++)); do
        if xprop -name belvane-wm-probe WM_STATE 2>/dev/null | grep -q Normal; then
            managed=0
            break
        fi
        sleep 0.1
    done
    kill "$probe" 2>/dev/null || true
    wait "$probe" 2>/dev/null || true
    return $managed
}

# start_session_bus PIDS: a private session bus; exports DBUS_SESSION_BUS_ADDRESS. (dbus-daemon
# prints the address once it listens, so there is nothing to wait for.)
start_session_bus() {
    local -n _pids=$1
    local addr pid
    { read -r addr; read -r pid; } < <(dbus-daemon --session --fork --print-address=1 --print-pid=1)
    export DBUS_SESSION_BUS_ADDRESS=$addr
    _pids+=("$pid")
}

# start_pulse FOLDER PIDS: PulseAudio with a null sink as the default sink, for the current
# XDG_RUNTIME_DIR.
start_pulse() {
    local -n _pids=$2
    pulseaudio --daemonize=no --exit-idle-time=-1 --system=false -n \
        -L module-null-sink -L module-native-protocol-unix >"$1/pulse.log" 2>&1 &
    _pids+=($!)
    await "PulseAudio to answer (pactl info)" pulse_answers || { cat "$1/pulse.log" >&2; return 1; }
}

# start_logind_bus FOLDER PIDS: a private system bus (DBUS_SYSTEM_BUS_ADDRESS is exported) holding
# python3-dbusmock's logind, so that nothing reaches the machine's own logind.
start_logind_bus() {
    local -n _pids=$2
    cat >"$1/system.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$1/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
    # The bus prints its address once it listens.
    dbus-daemon --config-file="$1/system.conf" --nofork --nopidfile --print-address=3 \
        3>"$1/system_bus_address" >/dev/null 2>&1 &
    _pids+=($!)
    await "the private system bus to print its address" file_written "$1/system_bus_address" || return 1
    DBUS_SYSTEM_BUS_ADDRESS=$(head -n1 "$1/system_bus_address")
    export DBUS_SYSTEM_BUS_ADDRESS
    /usr/bin/python3 -m dbusmock --system --template logind >"$1/logind.log" 2>&1 &
    _pids+=($!)
    await "the logind mock to own org.freedesktop.login1" bus_name_owned --system org.freedesktop.login1 ||
        { cat "$1/logind.log" >&2; return 1; }
}

# start_accessibility_bus FOLDER PIDS: the accessibility bus of the current session bus (at-spi2-core's
# launcher, which names the bus on the session bus as org.a11y.Bus) and the registry on it, through
# which a screen reader finds the running programs. A Qt program started afterwards with
# QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 shows its windows there. Sets ACCESSIBILITY_BUS to its address.
start_accessibility_bus() {
    local -n _pids=$2
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$1/at-spi.log" 2>&1 &
    _pids+=($!)
    await "the accessibility bus launcher to own org.a11y.Bus" bus_name_owned --session org.a11y.Bus ||
        { cat "$1/at-spi.log" >&2; return 1; }
    ACCESSIBILITY_BUS=$(dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
        org.a11y.Bus.GetAddress | sed -n 's/^ *string "\(.*\)"$/\1/p')
    [ -n "$ACCESSIBILITY_BUS" ] || { echo "org.a11y.Bus gave no address" >&2; return 1; }
    # The bus starts its registry when first asked for it.
    dbus-send --bus="$ACCESSIBILITY_BUS" --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.StartServiceByName string:org.a11y.atspi.Registry uint32:0 >/dev/null ||
        { cat "$1/at-spi.log" >&2; return 1; }
    await "the AT-SPI registry to own org.a11y.atspi.Registry" \
        bus_name_owned --bus="$ACCESSIBILITY_BUS" org.a11y.atspi.Registry
}
