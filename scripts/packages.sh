#!/usr/bin/env bash
# The lists of Debian 12 packages that building, running and testing Belvane need, and the step that
# installs whichever of them are missing. Sourced by ./run (building and running only) and ./test
# (everything).

# What building and running the clock needs.
BELVANE_RUN_PACKAGES=(
    # build
    cmake ninja-build g++ pkg-config qt6-base-dev
    qt6-tools-dev qt6-l10n-tools
    libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev libpulse-dev libxext-dev libx11-dev
    # run: media, Chinese fonts and Qt's own Chinese texts, Wayland sessions
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav fonts-noto-cjk
    qt6-translations-l10n qt6-wayland
    # the icon theme the program's icon is looked up in (hicolor's index of sizes)
    hicolor-icon-theme
    # install: the wake helper's capability (setcap)
    libcap2-bin
)

# What building the Debian package takes besides its Build-Depends (which mk-build-deps installs
# from debian/control), and judging it.
BELVANE_PACKAGE_PACKAGES=(
    dpkg-dev debhelper fakeroot devscripts equivs lintian
)

# What the tests and quality gates add.
BELVANE_TEST_PACKAGES=(
    libgtest-dev libgmock-dev libbenchmark-dev
    # headless tests: X server, window manager, tray hosts, sound server, D-Bus mocks, shifted clock
    xvfb xauth openbox trayer x11-utils xdotool pulseaudio pulseaudio-utils dbus python3-dbusmock
    python3-dbus haskell-status-notifier-item-utils weston xwayland
    # what a screen reader reads: the accessibility bus and its registry, and a client of it
    at-spi2-core python3-pyatspi
    faketime gstreamer1.0-tools sox imagemagick e2fsprogs libxss-dev xclip desktop-file-utils appstream
    appstream-util
    # every shell script checked
    shellcheck
    # the package stage's two builds of the package share their compiled objects
    ccache
    # fuzzing and sanitizer builds
    clang libclang-rt-14-dev
)

# The packages of a list that are not installed yet.
belvane_missing_of() {
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || echo "$pkg"
    done
}

# Installs what building and running need, without recommended packages; with `test`, also the test
# tools (with their recommended packages, as the machines the tests ran on had them) and the packaging
# tools; with `package`, only the packaging tools. The packaging tools come without their recommended
# packages, which are many and large (keyrings, upload tools).
belvane_install_missing() {
    local run="" test="" package=""
    [ "${1:-}" = package ] || run=$(belvane_missing_of "${BELVANE_RUN_PACKAGES[@]}")
    [ "${1:-}" = test ] && test=$(belvane_missing_of "${BELVANE_TEST_PACKAGES[@]}")
    [ "${1:-}" = test ] || [ "${1:-}" = package ] && package=$(belvane_missing_of "${BELVANE_PACKAGE_PACKAGES[@]}")
    [ -z "$run$test$package" ] && return 0
    echo "Installing:" $run $package $test
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    # Another install may hold the package database: wait for it rather than fail.
    local apt=(env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)
    "${sudo[@]}" "${apt[@]}" update -qq
    # shellcheck disable=SC2086 # one package name a word
    [ -z "$run$package" ] || "${sudo[@]}" "${apt[@]}" install -y -qq --no-install-recommends $run $package
    # shellcheck disable=SC2086
    [ -z "$test" ] || "${sudo[@]}" "${apt[@]}" install -y -qq $test
}

# Configures and builds build/; the tests are built unless BELVANE_TESTS=OFF is given. ./run and
# ./test share the folder: switching the tests on or off adds or leaves out the tests' targets and
# rebuilds nothing of the program.
belvane_build() {
    local type=${1:-RelWithDebInfo} tests=${2:-ON}
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="$type" -DBELVANE_TESTS="$tests" >/dev/null
    cmake --build build
}
