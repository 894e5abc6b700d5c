#!/usr/bin/env bash
# Installs the build into a fresh prefix (with a blank in its name) and checks what a user's desktop
# finds there: the program folder, the command, the desktop entry, the icons, the manual page and the
# metainfo; then starts the installed program and sees it run. Run as root, it installs as root and
# lets two other users each keep and ring their own alarm from the same program folder.
#
#   tests/install/install_test.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/../helpers/wait.sh"
build=$(realpath "$1")
work=$(mktemp -d /tmp/belvane-install.XXXXXX)
pid=""
user_pids=()
cleanup() {
    local p
    for p in $pid "${user_pids[@]}"; do
        kill "$p" 2>/dev/null || true
        wait "$p" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "INSTALL TEST FAILED: $*" >&2; exit 1; }

prefix="$work/My Apps"
cmake --install "$build" --prefix "$prefix" --strip >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install failed"; }

# The program folder: the executable beside the same sounds, skins and help as the build's.
folder="$prefix/lib/belvane"
[ -x "$folder/belvane" ] || fail "no executable $folder/belvane"
if readelf -S "$folder/belvane" | grep -q '\.debug_info'; then fail "the installed executable keeps its debug information"; fi
echo "installed executable: $(stat -c %s "$folder/belvane") bytes"
for sub in sounds Digital "Santa Claus" help; do
    diff -r "$build/$sub" "$folder/$sub" >/dev/null || fail "$sub differs from the build's"
done
# The wake helper beside it; installed by root, it holds the one capability it needs and says so.
[ -x "$folder/belvane-wake" ] || fail "no wake helper $folder/belvane-wake"
if [ "$(id -u)" = 0 ]; then
    /usr/sbin/getcap "$folder/belvane-wake" | grep -q 'cap_wake_alarm[=+]ep' ||
        fail "the wake helper lacks cap_wake_alarm: $(/usr/sbin/getcap "$folder/belvane-wake")"
    grep -q "Gave .*belvane-wake the capability cap_wake_alarm" "$work/install.log" ||
        fail "the install did not say that it gave the helper its capability"
else
    grep -q "no capability cap_wake_alarm" "$work/install.log" || fail "a user install did not say the helper cannot wake"
fi
[ "$(realpath "$prefix/bin/belvane")" = "$(realpath "$folder/belvane")" ] || fail "bin/belvane does not lead to the program"

# The desktop entry names the installed program and the icon.
entry="$prefix/share/applications/belvane.desktop"
[ -f "$entry" ] || fail "no desktop entry"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"
else
    echo "desktop-file-validate not installed: the entry is not validated"
fi
exec_value=$(sed -n 's/^Exec=//p' "$entry" | head -n1)
[ "$exec_value" = "\"$folder/belvane\"" ] || fail "Exec is $exec_value, expected the quoted path of $folder/belvane"
# The launcher's right-click actions open the editor for a new alarm and the list, in the running clock.
grep -qx 'Actions=new-alarm;alarm-list;' "$entry" || fail "the entry offers no actions"
for action in new-alarm alarm-list; do
    grep -qxF "Exec=\"$folder/belvane\" --open $action" "$entry" || fail "no Exec for the action $action"
done
grep -qx 'Name\[zh_CN\]=新建闹钟' "$entry" && grep -qx 'Name\[zh_CN\]=闹钟列表' "$entry" || fail "the actions have no Chinese names"
# Bash completion where bash-completion finds it: the commands and the alarm numbers.
completion="$prefix/share/bash-completion/completions/belvane"
[ -f "$completion" ] || fail "no bash completion"
offered=$(bash -c 'source "$1"; COMP_WORDS=(belvane alarm ""); COMP_CWORD=2; _belvane; echo "${COMPREPLY[*]}"' _ "$completion")
[ "$offered" = "add list remove on off next" ] || fail "bash completes belvane alarm with: $offered"
grep -qx 'Icon=belvane' "$entry" || fail "the entry names no belvane icon"
grep -qx 'Type=Application' "$entry" || fail "the entry is not an application"

# Icons in the sizes their folders promise.
for size in 16 22 24 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/belvane.png"
    [ -f "$icon" ] || fail "no $size px icon"
    [ "$(/usr/bin/identify -format '%wx%h' "$icon")" = "${size}x${size}" ] || fail "$icon is not $size px"
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/belvane.svg" || fail "no scalable icon"

# The manual page and the metainfo, whose screenshot is a picture of this repository.
grep -q '^\.TH BELVANE 1' "$prefix/share/man/man1/belvane.1" || fail "no manual page"
metainfo="$prefix/share/metainfo/belvane.metainfo.xml"
[ -f "$metainfo" ] || fail "no metainfo"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metainfo"
else
    echo "appstreamcli not installed: the metainfo is not validated"
fi
repo=$(cd "$(dirname "$0")/../.." && pwd)
picture=$(sed -n 's#.*<image>.*/\(assets/[^<]*\)</image>.*#\1#p' "$metainfo")
[ -n "$picture" ] && [ -f "$repo/$picture" ] || fail "the metainfo's screenshot ($picture) is not a picture of the repository"
grep -q "<release version=\"$("$prefix/bin/belvane" --version | cut -d' ' -f2)\"" "$metainfo" ||
    fail "the metainfo's release is not the program's version"

# The installed program runs from its folder: it starts and listens for a second start.
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir "$XDG_CONFIG_HOME"
"$prefix/bin/belvane" >"$work/program.log" 2>&1 &
pid=$!
# Up or ended: either ends the wait.
up_or_ended() { compgen -G "$XDG_RUNTIME_DIR/*.socket" >/dev/null || ! kill -0 "$pid" 2>/dev/null; }
await "the installed program to listen for a second start" up_or_ended || fail "the installed program did not come up"
kill -0 "$pid" 2>/dev/null || { cat "$work/program.log"; fail "the installed program ended at start"; }
echo "installed and running: $folder"

kill "$pid"
wait "$pid" 2>/dev/null || true
pid=""

# ---- one root install, two users with their own alarms ------------------------------------------
if [ "$(id -u)" -ne 0 ]; then
    echo "not root: the shared install is not tried"
    exit 0
fi
for tool in setpriv Xvfb xdotool faketime; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/packages.sh)"
done
chmod 755 "$work"
program_files() { (cd "$folder" && find . -printf '%p %s %m %u %T@\n' | sort | md5sum); }
program_before=$(program_files)
[ "$(stat -c %U "$folder")" = root ] || fail "the program folder is not root's"

start_x_server "$work" user_pids || fail "Xvfb did not start"
display=$STARTED_DISPLAY
export DISPLAY=$display
chmod 644 "$XAUTHORITY" # the users hold the test server's cookie too

# Each user: a home of their own and nothing else; the program finds its data folder there.
# Sets `as` to the command prefix that runs a command as the user; a simple command, so a program
# started with it in the background is $! itself.
as_user() {
    as=(setpriv --reuid="$1" --regid="$1" --clear-groups
        env -i PATH="$PATH" HOME="$work/home-$1" XDG_RUNTIME_DIR="$work/home-$1/run" DISPLAY="$display" XAUTHORITY="$XAUTHORITY"
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
ring_for() { # uid, alarm time (hh:mm:ss); starts the user's clock ten seconds before it, as a start
    # on a busy machine can take several seconds
    local uid=$1 at=$2 wrapper program=""
    as_user "$uid"
    "${as[@]}" faketime --exclude-monotonic -f "@2026-12-07 $(date -d "$at 10 seconds ago" +%T)" \
        "$prefix/bin/belvane" >>"$work/user-$uid.log" 2>&1 &
    wrapper=$!
    user_pids+=("$wrapper")
    for _ in $(seq 300); do
        program=$(pgrep -P "$wrapper" | head -n1 || true)
        [ -n "$program" ] && ringing_window "$program" && break
        if ! kill -0 "$wrapper" 2>/dev/null; then
            local status=0
            wait "$wrapper" || status=$?
            cat "$work/user-$uid.log"
            fail "user $uid: the program ended with status $status before its alarm rang"
        fi
        sleep 0.1
    done
    [ -n "$program" ] && ringing_window "$program" || { cat "$work/user-$uid.log"; fail "user $uid: no ringing window"; }
    kill "$program" "$wrapper" 2>/dev/null || true
    wait "$wrapper" 2>/dev/null || true
}
add_alarm_files=$build/tests/e2e/add_alarm_files
[ -x "$add_alarm_files" ] || fail "no $add_alarm_files: build first"
for uid in 4201 4202; do
    home=$work/home-$uid
    mkdir -p "$home/run" && chmod 700 "$home/run"
    chown -R "$uid:$uid" "$home"
    # The first start makes the user's data folder.
    as_user "$uid"
    "${as[@]}" "$prefix/bin/belvane" >>"$work/user-$uid.log" 2>&1 &
    user_pids+=($!)
    for _ in $(seq 300); do [ -d "$home/.config/belvane" ] && break; sleep 0.1; done
    [ -d "$home/.config/belvane" ] || { cat "$work/user-$uid.log"; fail "user $uid: no ~/.config/belvane"; }
    kill "${user_pids[-1]}"
    wait "${user_pids[-1]}" 2>/dev/null || true
    # Killed, it leaves its lock behind, stamped later than the shifted clock of the next start.
    rm -f "$home/run"/belvane-*
done
as_user 4201
"${as[@]}" "$add_alarm_files" "$work/home-4201/.config/belvane" caption=first frequency=2 "at=2026-12-07 06:59:30" \
    reminder=first >/dev/null
as_user 4202
"${as[@]}" "$add_alarm_files" "$work/home-4202/.config/belvane" caption=second frequency=2 "at=2026-12-07 08:15:00" \
    reminder=second >/dev/null
ring_for 4201 06:59:30
ring_for 4202 08:15:00
sed -n 2p "$work/home-4201/.config/belvane/al.ini" | grep -q '^first' || fail "user 4201's list lost its alarm"
sed -n 2p "$work/home-4202/.config/belvane/al.ini" | grep -q '^second' || fail "user 4202's list lost its alarm"
[ "$(stat -c %u "$work/home-4202/.config/belvane/0.ini")" = 4202 ] || fail "user 4202's settings file is not theirs"
[ "$(program_files)" = "$program_before" ] || fail "the users changed the program folder"
echo "two users kept their own alarms beside one root install"
