#!/usr/bin/env bash
# Installs what the build and the tests need (when missing), then configures and builds
# Korvane in build/. Safe to run again: it only does what is not done yet.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${KORVANE_BUILD_DIR:-$top/build}

packages=(
    cmake ninja-build g++ pkg-config clang-format
    qt6-base-dev libgl-dev libxcb1-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    desktop-file-utils xvfb xauth fonts-dejavu-core
    trayer x11-utils xdotool openbox dbus-daemon
    tidy
    at-spi2-core python3-pyatspi
    libfluidsynth-dev timgm6mb-soundfont
    pulseaudio pulseaudio-utils
    locales
    librsvg2-bin appstream shared-mime-info man-db dpkg-dev file gzip lintian bash-completion
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y "${missing[@]}"
fi

# The FluidSynth server the server card's tests start. Without its recommended 120 MB
# General MIDI font, which would also become the system's default-GM.sf2.
if ! dpkg-query -W -f='${Status}' fluidsynth 2>/dev/null | grep -q 'install ok installed'; then
    echo "Installing: fluidsynth"
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends fluidsynth
fi

# A test runs the memory figures under a locale whose decimal separator is a comma.
comma_locale=de_DE.UTF-8
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    echo "Generating the $comma_locale locale"
    "${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 "$comma_locale"
fi

if [ ! -f "$build_dir/build.ninja" ]; then
    cmake -S "$top" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build_dir"
