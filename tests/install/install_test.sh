#!/usr/bin/env bash
# Installs the build into a fresh prefix (with a blank in its name) and checks what a user's desktop
# finds there: the program folder, the command, the desktop entry and the icons; then starts the
# installed program and sees it run.
#
#   tests/install/install_test.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/../helpers/wait.sh"
build=$(realpath "$1")
work=$(mktemp -d /tmp/belvane-install.XXXXXX)
pid=""
cleanup() {
    if [ -n "$pid" ]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "INSTALL TEST FAILED: $*" >&2; exit 1; }

prefix="$work/My Apps"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install failed"; }

# The program folder: the executable beside the same sounds, skins and help as the build's.
folder="$prefix/lib/belvane"
[ -x "$folder/belvane" ] || fail "no executable $folder/belvane"
for sub in sounds Digital "Santa Claus" help; do
    diff -r "$build/$sub" "$folder/$sub" >/dev/null || fail "$sub differs from the build's"
done
[ "$(realpath "$prefix/bin/belvane")" = "$(realpath "$folder/belvane")" ] || fail "bin/belvane does not lead to the program"

# The desktop entry names the installed program and the icon.
entry="$prefix/share/applications/belvane.desktop"
[ -f "$entry" ] || fail "no desktop entry"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"
else
    echo "desktop-file-validate not installed: the entry is not validated"
fi
exec_value=$(sed -n 's/^Exec=//p' "$entry")
[ "$exec_value" = "\"$folder/belvane\"" ] || fail "Exec is $exec_value, expected the quoted path of $folder/belvane"
grep -qx 'Icon=belvane' "$entry" || fail "the entry names no belvane icon"
grep -qx 'Type=Application' "$entry" || fail "the entry is not an application"

# Icons in the sizes their folders promise.
for size in 16 22 24 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/belvane.png"
    [ -f "$icon" ] || fail "no $size px icon"
    [ "$(/usr/bin/identify -format '%wx%h' "$icon")" = "${size}x${size}" ] || fail "$icon is not $size px"
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/belvane.svg" || fail "no scalable icon"

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
