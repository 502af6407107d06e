#!/usr/bin/env bash
# Installs Debian's 150 MB fluid-soundfont-gm (FluidR3_GM.sf2) for the benchmarks, which
# alone use it. The package would make itself the system's default-GM.sf2, which the
# program and its tests use: the default stays what it was.
set -euo pipefail

sf2=/usr/share/sounds/sf2
if dpkg-query -W -f='${Status}' fluid-soundfont-gm 2>/dev/null | grep -q 'install ok installed'; then
    exit 0
fi
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
previous=$(readlink -f "$sf2/default-GM.sf2" || true)
"${sudo_cmd[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y fluid-soundfont-gm
if [ -n "$previous" ] && [ -f "$previous" ]; then
    "${sudo_cmd[@]}" update-alternatives --set default-GM.sf2 "$previous"
fi
