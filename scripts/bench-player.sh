#!/usr/bin/env bash
# Runs the MIDI player's benchmarks: start-up to first paint against a minimal Qt dialog
# program (on Xvfb), and Play to first sound with the General MIDI SoundFont and with
# Debian's 150 MB fluid-soundfont-gm, which only this script installs.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${KORVANE_BUILD_DIR:-$top/build}

sf2=/usr/share/sounds/sf2
if ! dpkg-query -W -f='${Status}' fluid-soundfont-gm 2>/dev/null | grep -q 'install ok installed'; then
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo_cmd=(sudo)
    fi
    # The package would make itself the system's default-GM.sf2, which the program and its
    # tests use: the default stays what it was.
    previous=$(readlink -f "$sf2/default-GM.sf2" || true)
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y fluid-soundfont-gm
    if [ -n "$previous" ] && [ -f "$previous" ]; then
        "${sudo_cmd[@]}" update-alternatives --set default-GM.sf2 "$previous"
    fi
fi

"$top/scripts/setup.sh"
cmake --build "$build_dir" --target player_bench startup_bench
xvfb-run -a "$build_dir/bin/startup_bench"
"$build_dir/bin/player_bench" "$(readlink -f "$sf2/default-GM.sf2")" "$sf2/FluidR3_GM.sf2"
