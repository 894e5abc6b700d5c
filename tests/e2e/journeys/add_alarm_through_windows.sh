# shellcheck shell=bash
# Adding an alarm as a user does: the face's menu, 闹钟, 添加, the editor, OK. The new row is in the
# list and in "al.ini", and the alarm has its own settings file. The wake helper beside the program,
# not running while there was no alarm, then holds a wake timer for a minute before the alarm, and
# comes back with it when killed.

# Where the editor's controls are, inside its client area. Check against the editor's layout.
EDITOR_MEMO_AT="100 95"
EDITOR_OK_AT="265 346"

# The instant (seconds since the epoch) the alarm in 0.ini next rings: a weekly alarm, as the editor
# makes a new one, at its time of day on the days ticked (Sunday first), the first such moment to come.
next_weekly_ring() {
    local s n day at
    mapfile -t s < <(tr -d '\r' <"$PROGRAM_DIR/0.ini")
    [ "${s[1]}" = 3 ] || fail "the new alarm is not weekly (frequency ${s[1]})"
    for n in 0 1 2 3 4 5 6 7; do
        day=$(date -d "today + $n days" +%F)
        at=$(date -d "$day ${s[3]}:${s[4]}:${s[5]}" +%s)
        if [ "${s[10 + $(date -d "$day" +%w)]}" = TRUE ] && [ "$at" -gt "$(date +%s)" ]; then
            echo "$at"
            return 0
        fi
    done
    fail "the new alarm rings on no day"
}

# As root (who holds CAP_WAKE_ALARM, as the installed helper does by its file capability) the helper
# arms its timer for 60 s before the alarm: the machine is up and the catch-up done when it falls due.
# Arming the timer changes nothing on the machine; only a suspend would make the kernel use it.
check_wake_timer() {
    if [ "$(id -u)" != 0 ]; then
        note "wake timer not checked: not root, so the helper has no CAP_WAKE_ALARM"
        return 0
    fi
    local ring left="" before after
    ring=$(next_weekly_ring)
    # The time left is read between two readings of the clock, which bound what it may be.
    _armed_for_ring() {
        before=${EPOCHREALTIME%.*}
        left=$(wake_timer_left)
        after=${EPOCHREALTIME%.*}
        [ -n "$left" ] && [ "$left" -le $((ring - 60 - before)) ] && [ "$left" -ge $((ring - 60 - after - 2)) ]
    }
    wait_for "$WAIT_LIMIT" _armed_for_ring ||
        fail "the wake timer has ${left:-no} s left; the alarm rings in $((ring - after)) s, so 60 s less was due"
    note "wake timer of helper $(wake_helper_pid) armed ${left} s ahead, 60 s before the alarm"
}

# A helper that ends (killed, out of memory) is started again and handed the alarm's instant. It holds
# its three pipes and its timer, nothing else of the program's, and was started by a plain path.
check_wake_helper_comes_back() {
    if [ "$(id -u)" != 0 ]; then
        note "wake helper's return not checked: not root, so the helper has no CAP_WAKE_ALARM"
        return 0
    fi
    local killed helper="" left=""
    killed=$(wake_helper_pid)
    kill -9 "$killed"
    _new_helper_armed() {
        helper=$(wake_helper_pid)
        left=$(wake_timer_left)
        [ -n "$helper" ] && [ "$helper" != "$killed" ] && [ -n "$left" ] && [ "$left" -gt 0 ]
    }
    wait_for 10 _new_helper_armed || fail "10 s after helper $killed was killed: helper ${helper:-none}, timer ${left:-none}"
    check_wake_timer
    local fds command
    fds=$(find "/proc/$helper/fd" -mindepth 1 -printf '%f\n' | sort -n | tr '\n' ' ')
    [ "$fds" = "0 1 2 3 " ] || fail "the wake helper holds descriptors $fds: $(ls -l "/proc/$helper/fd")"
    command=$(tr '\0' ' ' <"/proc/$helper/cmdline")
    [[ $command != *//* ]] || fail "the wake helper was started as $command"
}

journey() {
    write_quiet_options
    start_program
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"
    wait_window Belvane
    local face=$WINDOW
    eval "$(xdotool getwindowgeometry --shell "$face")"

    # The face's menu: its third entry, after "Send to tray" and a separator, is 闹钟.
    xdotool mousemove --window "$face" $((WIDTH / 2)) $((HEIGHT / 2)) click 3
    wait_menu
    shot menu
    xdotool key Down Down Return
    local list=""
    _list_shown() { list=$(program_windows Belvane | grep -vx "$face" | head -n1); [ -n "$list" ]; }
    wait_for "$WAIT_LIMIT" _list_shown || fail "闹钟 did not show the alarm list"
    shot list-empty "$list"
    [ -z "$(wake_helper_pid)" ] || fail "a wake helper runs with no alarm to wake for"

    click_at "$list" $((8 + 36)) $((264 + 12)) # 添加
    wait_window "闹钟设置"
    local editor=$WINDOW
    shot editor-new "$editor"
    # Keys go to the focused window, as a user's do (events sent to a window are ignored by Qt).
    click_at "$editor" $EDITOR_MEMO_AT
    xdotool key ctrl+a
    xdotool type --delay 20 "Feed the cat"
    shot editor-filled "$editor"
    click_at "$editor" $EDITOR_OK_AT
    wait_gone "$editor"
    shot list-with-row "$list"

    # The list file holds one row captioned with the reminder's first line, numbered 0.
    mapfile -t lines < <(tr -d '\r' <"$PROGRAM_DIR/al.ini")
    [ "${lines[0]}" = 1 ] || fail "al.ini counts ${lines[0]} alarms"
    [ "${lines[1]}" = "Feed the cat" ] || fail "the new row is captioned \"${lines[1]}\""
    [ "${lines[8]}" = 0 ] || fail "the new alarm got number ${lines[8]}"
    [ -f "$PROGRAM_DIR/0.ini" ] || fail "no settings file 0.ini"
    [ "$(tail -c 12 "$PROGRAM_DIR/0.ini")" = "Feed the cat" ] || fail "0.ini does not end with the reminder"
    check_wake_timer
    check_wake_helper_comes_back

    click_at "$list" $((320 + 36)) $((264 + 12)) # 关闭
    wait_gone "$list"
    program_running || fail "closing the list ended the program"
}
