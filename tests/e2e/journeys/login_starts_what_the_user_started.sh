# shellcheck shell=bash
# A user keeps the alarms in a folder of their choosing (--data-dir, a name with spaces, "%",
# quotes and Chinese) and an explicit language. The first start writes no autostart entry and the
# options show 登录时运行闹铃 clear; the user ticks it and confirms with OK. A trial start with another
# folder and language leaves the entry as it is. The entry is then launched as the desktop session
# launches it at the next login (GLib reads its Exec, splits and unquotes it): the clock started that
# way is the user's, and the alarm in the folder rings.

journey() {
    command -v gio >/dev/null || pending "gio (libglib2.0-bin) launches desktop entries as a session does"
    local data="$JOURNEY_WORK/数据 %1 \"引号\" 100%"
    mkdir -p "$data"
    # The face on screen, no chimes: the options the harness writes, written into that folder.
    (PROGRAM_DIR=$data write_quiet_options)
    local entry=$XDG_CONFIG_HOME/autostart/Belvane.desktop

    start_program --data-dir "$data" --lang zh
    wait_for "$WAIT_LIMIT" program_listening || fail "the program did not start"
    wait_window Belvane
    local face=$WINDOW
    [ ! -e "$entry" ] || fail "the first start wrote an autostart entry: $(cat "$entry")"
    eval "$(xdotool getwindowgeometry --shell "$face")"

    # The face's menu: 选项 follows "Send to tray", a separator and 闹钟.
    xdotool mousemove --window "$face" $((WIDTH / 2)) $((HEIGHT / 2)) click 3
    wait_menu
    xdotool key Down Down Down Return
    wait_window "选项"
    local options=$WINDOW
    shot options-clear "$options"
    # 登录时运行闹铃: the first check box of the first page, 24 px into the page below the tabs.
    click_at "$options" 70 64
    shot options-ticked "$options"
    click_at "$options" $((216 + 37)) $((272 + 12)) # 确定
    wait_gone "$options"
    _entry_written() { grep -q '^Hidden=false$' "$entry" 2>/dev/null; }
    wait_for "$WAIT_LIMIT" _entry_written || fail "ticking 登录时运行闹铃 wrote no enabled autostart entry"
    note "autostart entry: $(grep '^Exec=' "$entry")"

    # Logging out ends the clock.
    kill -TERM "$PROGRAM_PID"
    _ended() { ! program_running; }
    wait_for "$WAIT_LIMIT" _ended || fail "the program did not end on SIGTERM"

    # A start tried once with a test folder and English does not take the login over.
    local written trial="$JOURNEY_WORK/trial"
    written=$(cat "$entry")
    mkdir -p "$trial"
    (PROGRAM_DIR=$trial write_quiet_options)
    start_program --data-dir "$trial" --lang en
    wait_for "$WAIT_LIMIT" program_listening || fail "the trial start did not start"
    wait_window Belvane
    kill -TERM "$PROGRAM_PID"
    wait_for "$WAIT_LIMIT" _ended || fail "the trial start did not end on SIGTERM"
    [ "$(cat "$entry")" = "$written" ] || fail "a start with other options changed the entry: $(cat "$entry")"

    # Meanwhile an alarm waits in the chosen folder, due a few seconds after the login.
    local due
    due=$(date -d "@$(($(date +%s) + 8))" '+%Y-%m-%d %H:%M:%S')
    "$BELVANE_ADD_ALARM" "$data" caption="Login alarm" frequency=2 "at=$due" sound=1 volume=60 >/dev/null

    # The login: the session launches the entry. The program it starts is found by its window.
    gio launch "$entry" >>"$JOURNEY_WORK/program.log" 2>&1 || fail "gio could not launch the autostart entry"
    local started=""
    _launched() { started=$(pgrep -n -f "^$PROGRAM_DIR/belvane( |$)" || true); [ -n "$started" ]; }
    wait_for "$WAIT_LIMIT" _launched || fail "launching the entry started no program"
    PROGRAM_PID=$started
    JOURNEY_PIDS+=("$PROGRAM_PID")
    local args
    args=$(tr '\0' '\n' <"/proc/$PROGRAM_PID/cmdline" | tail -n +2)
    [ "$args" = $'--data-dir\n'"$data"$'\n--lang\nzh' ] || fail "the login started the program with: $args"
    # On a GLib that keeps small objects in slabs of its own, the clock starts itself once more to
    # take them from the heap, with the same arguments.
    _slices_in_heap() { tr '\0' '\n' <"/proc/$PROGRAM_PID/environ" | grep -qx G_SLICE=always-malloc; }
    pkg-config --atleast-version=2.76 glib-2.0 || wait_for "$WAIT_LIMIT" _slices_in_heap || fail "the clock kept GLib's slabs"

    wait_window "闹铃" 40
    local ringing=$WINDOW
    shot ringing "$ringing"
    wait_for "$WAIT_LIMIT" program_streaming || fail "the alarm from the chosen folder rang without sound"
    [ ! -e "$XDG_CONFIG_HOME/belvane/al.ini" ] || fail "the login's clock used the per-user folder"
}
