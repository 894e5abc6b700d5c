#!/usr/bin/env bash
# The one list of Debian 12 packages that building, running and testing Belvane need, and the step
# that installs whichever of them are missing. Sourced by ./run and ./test.

BELVANE_PACKAGES=(
    # build
    cmake ninja-build g++ pkg-config
    qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev
    libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev libpulse-dev libxext-dev libx11-dev
    # run
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav fonts-noto-cjk
    # headless tests: X server, window manager, tray host, sound server, logind mock, shifted clock
    xvfb xauth openbox trayer x11-utils xdotool pulseaudio pulseaudio-utils dbus python3-dbusmock
    faketime gstreamer1.0-tools sox imagemagick e2fsprogs libxss-dev xclip desktop-file-utils
    # fuzzing and sanitizer builds
    clang libclang-rt-14-dev
)

belvane_install_missing() {
    local missing=() pkg
    for pkg in "${BELVANE_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
    # With their recommended packages, as the machines the tests ran on had them.
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq "${missing[@]}"
}

belvane_build() {
    local type=${1:-RelWithDebInfo}
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="$type" >/dev/null
    cmake --build build
}
