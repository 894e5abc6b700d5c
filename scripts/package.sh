#!/usr/bin/env bash
# Builds the Debian package from a clean copy of the tree and leaves dist/belvane_VERSION_ARCH.deb.
#
#   scripts/package.sh
#
# The copy holds the files git knows, committed or not, so nothing built before reaches the package.
# The build dependencies named in debian/control are installed first (mk-build-deps, with sudo when not
# root), then dpkg-buildpackage builds in build-package/, through ccache when it is installed.
# BELVANE_PACKAGE_WORK and BELVANE_PACKAGE_DIST name other folders for the build and the package;
# BELVANE_PACKAGE_VERSION builds another version, by an entry added to the copy's changelog.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
work=$(realpath -m "${BELVANE_PACKAGE_WORK:-build-package}")
dist=$(realpath -m "${BELVANE_PACKAGE_DIST:-dist}")

belvane_install_missing package

# The copy. Its folder keeps its name from build to build, so that ccache finds the objects of the
# last build (their debug information names the folder).
source_dir=$work/belvane
rm -rf "$work"
mkdir -p "$source_dir" "$dist"
# A file deleted but not yet committed is listed too, and skipped.
git ls-files -z --cached --others --exclude-standard |
    tar --null -T - --ignore-failed-read -cf - 2>/dev/null | tar -C "$source_dir" -xf -
cd "$source_dir"
if [ -n "${BELVANE_PACKAGE_VERSION:-}" ] && [ "$BELVANE_PACKAGE_VERSION" != "$(dpkg-parsechangelog -S Version)" ]; then
    DEBEMAIL=$(dpkg-parsechangelog -S Maintainer) dch --newversion "$BELVANE_PACKAGE_VERSION" \
        --distribution unstable --force-distribution "Built as version $BELVANE_PACKAGE_VERSION."
fi

if ! dpkg-checkbuilddeps 2>/dev/null; then
    root_cmd=()
    [ "$(id -u)" -ne 0 ] && root_cmd=(--root-cmd sudo)
    # mk-build-deps leaves its own small package's files in the folder it runs in.
    (cd "$work" && mk-build-deps --install --remove "${root_cmd[@]}" \
        --tool "env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -y -qq --no-install-recommends" \
        "$source_dir/debian/control")
fi

if command -v ccache >/dev/null && [ -d /usr/lib/ccache ]; then
    # debhelper gives the build a home folder of its own, so ccache is told where its cache is.
    CCACHE_DIR=$(ccache -k cache_dir)
    export CCACHE_DIR PATH=/usr/lib/ccache:$PATH
fi
# Every core compiles, unless DEB_BUILD_OPTIONS says otherwise.
if [[ " ${DEB_BUILD_OPTIONS:-} " != *" parallel="* ]]; then
    DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS:+$DEB_BUILD_OPTIONS }parallel=$(nproc)"
    export DEB_BUILD_OPTIONS
fi
dpkg-buildpackage -b -us -uc

version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg-architecture -q DEB_HOST_ARCH)
deb=belvane_${version}_${arch}.deb
cp "$work/$deb" "$dist/$deb"
echo "Built $dist/$deb"
