#!/usr/bin/env bash
# The Debian package as an administrator meets it: built by scripts/package.sh, judged by lintian,
# installed with apt-get; a second user rings an alarm with `belvane` found on PATH; a package one
# version higher goes over it while the user's clock runs; purging leaves no file of the package and
# the user's folder as it was. Needs root, or sudo without a password (else it is skipped), and leaves
# alone a machine where belvane is installed. The package is removed however the test ends.
#
#   tests/install/package_test.sh BUILD_DIR
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
    sudo -n true 2>/dev/null || { echo "skipped: installing a package needs root or sudo without a password"; exit 0; }
    exec sudo -n env PATH="$PATH" bash "$0" "$@"
fi
installed() { dpkg-query -W -f='${db:Status-Status}' belvane 2>/dev/null | grep -qv '^not-installed$'; }
if installed; then echo "skipped: belvane is installed here already, and the test would remove it"; exit 0; fi
repo=$(cd "$(dirname "$0")/../.." && pwd)
source "$repo/tests/helpers/wait.sh"
source "$repo/tests/install/users.sh"
build=$(realpath "$1")
work=$(mktemp -d /tmp/belvane-package.XXXXXX)
user_pids=()
apt=(env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -y -q)
cleanup() {
    local p
    for p in "${user_pids[@]}"; do kill "$p" 2>/dev/null || true; done
    if installed; then "${apt[@]}" purge belvane >"$work/cleanup.log" 2>&1 || cat "$work/cleanup.log"; fi
    [ -z "${SUDO_UID:-}" ] || chown -R "$SUDO_UID:$SUDO_GID" "$build/package" || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "PACKAGE TEST FAILED: $*" >&2; exit 1; }
# Both versions are built in one folder, so that ccache leaves the second little to compile.
export PATH=/usr/sbin:/usr/bin:/sbin:/bin BELVANE_PACKAGE_WORK=$build/package BELVANE_PACKAGE_DIST=$work/dist
belvane=belvane

# install_version VERSION: builds the package as VERSION and installs it.
install_version() {
    BELVANE_PACKAGE_VERSION=$1 "$repo/scripts/package.sh" >>"$work/package.log" 2>&1 ||
        { tail -n 60 "$work/package.log"; fail "scripts/package.sh failed for $1"; }
    deb=$(compgen -G "$work/dist/belvane_$1_*.deb") || fail "no belvane_$1_ARCH.deb in dist/"
    "${apt[@]}" install "$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "apt-get install $deb failed"; }
    grep -q "gave /usr/lib/belvane/belvane-wake the capability cap_wake_alarm" "$work/install.log" ||
        { cat "$work/install.log"; fail "installing $1 did not say it gave the wake helper its capability"; }
    getcap /usr/lib/belvane/belvane-wake | grep -q 'cap_wake_alarm[=+]ep' || fail "$1: the wake helper lacks cap_wake_alarm"
    [ "$(belvane --version)" = "belvane $1" ] || fail "belvane on PATH says $(belvane --version), the package $1"
}
version=$(dpkg-parsechangelog -l "$repo/debian/changelog" -S Version)
install_version "$version"
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian judges $deb"; }
grep -q "<release version=\"$version\"" /usr/share/metainfo/belvane.metainfo.xml || fail "the metainfo's release is not $version"
find /usr/lib/belvane ! -user root -o -perm /022 | grep . && fail "the program folder is not read-only to users"

start_users_display
make_user 4201
add_alarm 4201 first "2026-12-07 06:59:30"
add_alarm 4201 second "2026-12-07 08:15:00"
ring_for 4201 06:59:30
list_before=$(md5sum <"$work/home-4201/.config/belvane/al.ini")

# One version higher over it, while the user's clock runs between the two alarms.
start_clock 4201 07:30:00
listening() { compgen -G "$work/home-4201/run/belvane-*.socket" >/dev/null; }
await "the user's clock to listen" listening && ! program_ended "$program" || { cat "$work/user-4201.log"; fail "the user's clock did not come up"; }
last=${version##*.}
install_version "${version%.*}.$(printf "%0${#last}d" $((10#$last + 1)))"
# dpkg puts each new file in place by a rename: the running clock keeps its old program, now unlinked.
[[ $(readlink "/proc/$program/exe") == *" (deleted)" ]] || fail "the upgrade ended the running clock or changed its program in place"
"${as[@]}" belvane >>"$work/user-4201.log" 2>&1 && kill -0 "$program" || fail "the running clock did not answer a start of the new version"
stop_clock 4201
rm -f "$work/home-4201/run"/belvane-* # a lock stamped by a clock later than the next start's
[ "$(md5sum <"$work/home-4201/.config/belvane/al.ini")" = "$list_before" ] || fail "the upgrade changed the user's list"
ring_for 4201 08:15:00

dpkg -L belvane >"$work/files"
grep -Ev '^/usr/(bin|lib|share)(/|$)' "$work/files" | grep -vx -e /. -e /usr && fail "the package installed outside /usr"
home_files() { (cd "$work/home-4201" && find . ! -path './run*' -printf '%p %s %m %u %T@\n' | sort | md5sum); }
home_before=$(home_files)
"${apt[@]}" purge belvane >"$work/purge.log" 2>&1 || { cat "$work/purge.log"; fail "apt-get purge belvane failed"; }
while IFS= read -r path; do
    [ "$path" != /. ] && { [ -e "$path" ] || [ -L "$path" ]; } || continue
    { [ -d "$path" ] && [ ! -L "$path" ] && dpkg -S "$path" >/dev/null 2>&1; } || fail "purging left $path (no other package's)"
done <"$work/files"
[ "$(home_files)" = "$home_before" ] || fail "purging changed the user's home folder"
echo "the package installs, upgrades under a running clock and purges without a trace"
