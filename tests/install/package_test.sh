#!/usr/bin/env bash
# The Debian package as an administrator meets it: scripts/package.sh builds it, lintian judges it,
# apt-get installs it; a second user then rings an alarm of their own with the installed `belvane`
# found on PATH. A package one version higher, built from a copy of the tree, is installed over it
# while that user's clock runs: the clock keeps running and answering, and the alarm rings again
# from the new version. Purging removes every file the package installed and touches no user's
# folder. The package is removed however the test ends.
#
#   tests/install/package_test.sh BUILD_DIR
#
# Needs root, or sudo without a password (it then runs itself with sudo); otherwise it is skipped.
# It also leaves alone a machine where belvane is already installed.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
    sudo -n true 2>/dev/null || { echo "skipped: installing a package needs root or sudo without a password"; exit 0; }
    exec sudo -n env PATH="$PATH" bash "$0" "$@"
fi
installed() { dpkg-query -W -f='${db:Status-Status}' belvane 2>/dev/null | grep -qv '^not-installed$'; }
if installed; then
    echo "skipped: belvane is installed on this machine already, and the test would remove it"
    exit 0
fi
repo=$(cd "$(dirname "$0")/../.." && pwd)
source "$repo/tests/helpers/wait.sh"
source "$repo/tests/install/users.sh"
build=$(realpath "$1")
work=$(mktemp -d /tmp/belvane-package.XXXXXX)
user_pids=()
apt=(env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -y -q)
cleanup() {
    local p
    for p in "${user_pids[@]}"; do
        kill "$p" 2>/dev/null || true
        wait "$p" 2>/dev/null || true
    done
    if installed; then "${apt[@]}" purge belvane >"$work/cleanup.log" 2>&1 || cat "$work/cleanup.log"; fi
    # Run through sudo, what it built goes back to whoever called it.
    [ -z "${SUDO_UID:-}" ] || chown -R "$SUDO_UID:$SUDO_GID" "$build/package" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "PACKAGE TEST FAILED: $*" >&2; exit 1; }
# The installed program, and the tools, from the standard places only.
export PATH=/usr/sbin:/usr/bin:/sbin:/bin
belvane=belvane

# ---- the package, built and judged ----------------------------------------------------------------
# Both versions are built in the same folder, so the second build compiles only what the version
# changes (through ccache).
export BELVANE_PACKAGE_WORK=$build/package
BELVANE_PACKAGE_DIST=$work/dist "$repo/scripts/package.sh" >"$work/package.log" 2>&1 ||
    { tail -n 60 "$work/package.log"; fail "scripts/package.sh failed"; }
version=$(dpkg-parsechangelog -l "$repo/debian/changelog" -S Version)
deb=$(compgen -G "$work/dist/belvane_${version}_*.deb") || fail "no belvane_${version}_ARCH.deb in dist/"
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian judges $deb"; }
dpkg-deb -c "$deb" | awk '{print $6}' | grep -Ev '^\./(usr/)?$|^\./usr/(bin|lib|share)/' &&
    fail "the package holds files outside /usr/bin, /usr/lib and /usr/share"
dpkg-deb -c "$deb" | awk '$1 !~ /^l/ && $1 ~ /w....$|w.$/' | grep . && fail "the package holds files others can write"

# ---- installed: the first user's alarm rings from the program on PATH ------------------------------
"${apt[@]}" install "$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "apt-get install $deb failed"; }
grep -q "gave /usr/lib/belvane/belvane-wake the capability cap_wake_alarm" "$work/install.log" ||
    { cat "$work/install.log"; fail "the installation did not say it gave the wake helper its capability"; }
getcap /usr/lib/belvane/belvane-wake | grep -q 'cap_wake_alarm[=+]ep' ||
    fail "the wake helper lacks cap_wake_alarm: $(getcap /usr/lib/belvane/belvane-wake)"
[ "$(command -v belvane)" = /usr/bin/belvane ] || fail "belvane on PATH is $(command -v belvane), not the package's"
[ "$(belvane --version)" = "belvane $version" ] || fail "belvane --version says $(belvane --version), the package $version"
desktop-file-validate /usr/share/applications/belvane.desktop || fail "desktop-file-validate rejects the installed entry"
metainfo=/usr/share/metainfo/belvane.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the installed metainfo"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo's newest release is not $version"

start_users_display
make_user 4201
add_alarm 4201 first "2026-12-07 06:59:30"
add_alarm 4201 second "2026-12-07 08:15:00"
ring_for 4201 06:59:30
list_before=$(md5sum <"$work/home-4201/.config/belvane/al.ini")

# ---- one version higher, installed over it while the user's clock runs -----------------------------
bumped=$work/bumped
mkdir "$bumped"
git -C "$repo" ls-files -z --cached --others --exclude-standard |
    tar -C "$repo" --null -T - --ignore-failed-read -cf - 2>/dev/null | tar -C "$bumped" -xf -
last=${version##*.}
higher=${version%.*}.$(printf "%0${#last}d" $((10#$last + 1)))
DEBFULLNAME="The Belvane developers" DEBEMAIL=maintainers@belvane.example.org \
    dch --changelog "$bumped/debian/changelog" --newversion "$higher" --distribution unstable \
    --force-distribution "A release one version higher." 2>>"$work/package.log"
BELVANE_PACKAGE_DIST=$work/dist "$repo/scripts/package.sh" "$bumped" >>"$work/package.log" 2>&1 ||
    { tail -n 60 "$work/package.log"; fail "scripts/package.sh failed on the copy one version higher"; }
deb_higher=$(compgen -G "$work/dist/belvane_${higher}_*.deb") || fail "no belvane_${higher}_ARCH.deb"

# The clock runs between the two alarms: the first rang, the second is to come.
as_user 4201
"${as[@]}" faketime --exclude-monotonic -f "@2026-12-07 07:30:00" belvane >>"$work/user-4201.log" 2>&1 &
wrapper=$!
user_pids+=("$wrapper")
listening() { compgen -G "$work/home-4201/run/belvane-*.socket" >/dev/null; }
await "the user's clock to listen for a second start" listening || fail "the user's clock did not come up"
running=$(pgrep -P "$wrapper" | head -n1) || fail "the user's clock is not running"
user_pids+=("$running")
"${apt[@]}" install "$deb_higher" >"$work/upgrade.log" 2>&1 || { cat "$work/upgrade.log"; fail "apt-get install $deb_higher failed"; }
[ "$(belvane --version)" = "belvane $higher" ] || fail "after the upgrade belvane --version says $(belvane --version)"
kill -0 "$running" 2>/dev/null || { cat "$work/user-4201.log"; fail "the upgrade ended the user's running clock"; }
# dpkg puts each new file in place by renaming it: the running clock keeps the old file, now unlinked.
# A file overwritten in place would be the same file, and the clock would run changed code.
[[ $(readlink "/proc/$running/exe") == *" (deleted)" ]] ||
    fail "the running clock's program was changed in place: $(readlink "/proc/$running/exe")"
"${as[@]}" belvane >>"$work/user-4201.log" 2>&1 || fail "after the upgrade the running clock did not answer a second start"
kill -0 "$running" 2>/dev/null || fail "the user's clock ended when started again"
kill "$running" "$wrapper"
wait "$wrapper" 2>/dev/null || true
rm -f "$work/home-4201/run"/belvane-*
[ "$(md5sum <"$work/home-4201/.config/belvane/al.ini")" = "$list_before" ] || fail "the upgrade changed the user's list"
ring_for 4201 08:15:00
getcap /usr/lib/belvane/belvane-wake | grep -q 'cap_wake_alarm[=+]ep' || fail "the upgraded wake helper lacks cap_wake_alarm"

# ---- purged: nothing of the package stays, the user's folder is as the user left it ----------------
dpkg -L belvane >"$work/files"
grep -Ev '^/usr/(bin|lib|share)(/|$)' "$work/files" | grep -vx -e /. -e /usr && fail "the package installed outside /usr"
home_files() { (cd "$work/home-4201" && find . ! -path './run*' -printf '%p %s %m %u %T@\n' | sort | md5sum); }
home_before=$(home_files)
"${apt[@]}" purge belvane >"$work/purge.log" 2>&1 || { cat "$work/purge.log"; fail "apt-get purge belvane failed"; }
while IFS= read -r path; do
    if [ "$path" = /. ]; then
        continue
    elif [ -d "$path" ] && [ ! -L "$path" ]; then
        dpkg -S "$path" >/dev/null 2>&1 || fail "purging left the folder $path, which no other package holds"
    elif [ -e "$path" ] || [ -L "$path" ]; then
        fail "purging left $path"
    fi
done <"$work/files"
[ "$(home_files)" = "$home_before" ] || fail "purging changed the user's home folder"
echo "the package installs, upgrades under a running clock, and purges without a trace ($version, then $higher)"
