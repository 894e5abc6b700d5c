# shellcheck shell=bash
# shellcheck disable=SC2154 # work, build and belvane are set by the caller
# Test users of one installed program, each with a home of their own under the caller's $work and
# nothing else, ringing their own alarms on a private X server. Sourced by the install tests, run as
# root; the caller defines fail, keeps the process ids to stop in the array user_pids and sets
# `belvane` to the command that starts the installed program (a path, or a name found on PATH).

# Starts the X server the users share; exports DISPLAY.
start_users_display() {
    chmod 755 "$work"
    start_x_server "$work" user_pids || fail "Xvfb did not start"
    export DISPLAY=$STARTED_DISPLAY
    chmod 644 "$XAUTHORITY" # the users hold the test server's cookie too
}

# Sets `as` to the command prefix that runs a command as user $1; a simple command, so a program
# started with it in the background is $! itself.
as_user() {
    as=(setpriv --reuid="$1" --regid="$1" --clear-groups
        env -i PATH="$PATH" HOME="$work/home-$1" XDG_RUNTIME_DIR="$work/home-$1/run" DISPLAY="$DISPLAY" XAUTHORITY="$XAUTHORITY"
        DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent)
}

# xdotool's --name pattern does not match this Chinese title here, so the titles are compared whole.
ringing_window() {
    local w
    for w in $(xdotool search --all --onlyvisible --pid "$1" --name . 2>/dev/null); do
        [ "$(xdotool getwindowname "$w" 2>/dev/null)" = 闹铃 ] && return 0
    done
    return 1
}

# start_clock UID [hh:mm:ss]: starts the user's clock, set to that moment of 2026-12-07 and running on
# when one is given; sets `program` to its process. libfaketime is preloaded rather than run through
# the faketime command, which leaves a semaphore named by its process id behind when it is stopped,
# and a later one given the same id refuses to start.
start_clock() {
    local library faked=()
    if [ -n "${2:-}" ]; then
        library=$(dpkg -L libfaketime 2>/dev/null | grep 'libfaketime\.so\.1$' | head -n1)
        [ -n "$library" ] || fail "libfaketime is not installed"
        faked=(LD_PRELOAD="$library" FAKETIME="@2026-12-07 $2" FAKETIME_DONT_FAKE_MONOTONIC=1)
    fi
    as_user "$1"
    "${as[@]}" "${faked[@]}" "$belvane" >>"$work/user-$1.log" 2>&1 &
    program=$!
    user_pids+=("$program")
}

program_ended() { ! kill -0 "$1" 2>/dev/null; }
ringing_or_ended() { program_ended "$1" || ringing_window "$1"; }

# stop_clock UID: ends the user's clock `program` and waits until it has ended.
stop_clock() {
    kill "$program"
    await "user $1's clock to end" program_ended "$program" || fail "user $1: the clock did not end"
}

# make_user UID: a home for the user, and their data folder made by the program's first start.
make_user() {
    local home=$work/home-$1
    mkdir -p "$home/run" && chmod 700 "$home/run"
    chown -R "$1:$1" "$home"
    start_clock "$1"
    _data_folder_made() { [ -d "$home/.config/belvane" ]; }
    await "user $1's data folder" _data_folder_made || { cat "$work/user-$1.log"; fail "user $1: no ~/.config/belvane"; }
    stop_clock "$1"
    # Killed, it leaves its lock behind, stamped later than the shifted clock of the next start.
    rm -f "$home/run"/belvane-*
}

# add_alarm UID CAPTION "yyyy-MM-dd hh:mm:ss": a once-only alarm in the user's own list, written as
# the user by the tests' add_alarm_files (found in the build folder $build). The users may not enter
# the checkout (a root user's home, a private temporary folder): the tool is copied where they can
# read it, and they run it from there.
add_alarm() {
    [ -x "$work/add_alarm_files" ] || install -m 755 "$build/tests/e2e/add_alarm_files" "$work/add_alarm_files" ||
        fail "no $build/tests/e2e/add_alarm_files: build first"
    as_user "$1"
    (cd "$work" && "${as[@]}" "$work/add_alarm_files" "$work/home-$1/.config/belvane" caption="$2" frequency=2 "at=$3" \
        reminder="$2" >/dev/null) || fail "user $1: could not add the alarm $2"
}

# ring_for UID hh:mm:ss: starts the user's clock on 2026-12-07, ten seconds before the alarm's time
# (a start on a busy machine can take several seconds), waits for the ringing window, then ends it.
ring_for() {
    start_clock "$1" "$(date -d "$2 10 seconds ago" +%T)"
    if ! await "user $1's alarm to ring" ringing_or_ended "$program" || program_ended "$program"; then
        cat "$work/user-$1.log"
        fail "user $1: no ringing window (the program ended or never rang)"
    fi
    # The clock puts the sound output back and lets go of its socket as it ends: the next start must
    # not find this one's socket.
    stop_clock "$1"
}
