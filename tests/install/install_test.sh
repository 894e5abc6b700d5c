#!/usr/bin/env bash
# Installs the build into a fresh prefix (with a blank in its name) and checks what a user's desktop
# finds there: the program folder, the command, the desktop entry, the icons, the manual page and the
# metainfo; then starts the installed program and sees it run. Run as root, it installs as root and
# lets two other users each keep and ring their own alarm from the same program folder.
#
#   tests/install/install_test.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/../helpers/wait.sh"
source "$(dirname "$0")/users.sh"
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
program_files() { (cd "$folder" && find . -printf '%p %s %m %u %T@\n' | sort | md5sum); }
program_before=$(program_files)
[ "$(stat -c %U "$folder")" = root ] || fail "the program folder is not root's"

belvane=$prefix/bin/belvane
start_users_display
cd "$work"
make_user 4201
make_user 4202
add_alarm 4201 first "2026-12-07 06:59:30"
add_alarm 4202 second "2026-12-07 08:15:00"
ring_for 4201 06:59:30
ring_for 4202 08:15:00
sed -n 2p "$work/home-4201/.config/belvane/al.ini" | grep -q '^first' || fail "user 4201's list lost its alarm"
sed -n 2p "$work/home-4202/.config/belvane/al.ini" | grep -q '^second' || fail "user 4202's list lost its alarm"
[ "$(stat -c %u "$work/home-4202/.config/belvane/0.ini")" = 4202 ] || fail "user 4202's settings file is not theirs"
[ "$(program_files)" = "$program_before" ] || fail "the users changed the program folder"
echo "two users kept their own alarms beside one root install"
