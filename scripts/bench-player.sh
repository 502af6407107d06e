#!/usr/bin/env bash
# Runs the MIDI player's benchmarks: start-up to first paint against a minimal Qt dialog
# program (on Xvfb), and Play to first sound with the General MIDI SoundFont and with
# Debian's 150 MB fluid-soundfont-gm, which only the benchmarks install; and the audition's
# request to first sound with the same SoundFonts.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${KORVANE_BUILD_DIR:-$top/build}

sf2=/usr/share/sounds/sf2
"$top/scripts/install-fluid-soundfont-gm.sh"

"$top/scripts/setup.sh"
cmake --build "$build_dir" --target player_bench audition_bench startup_bench
xvfb-run -a "$build_dir/bin/startup_bench"
"$build_dir/bin/player_bench" "$(readlink -f "$sf2/default-GM.sf2")" "$sf2/FluidR3_GM.sf2"
"$build_dir/bin/audition_bench" "$(readlink -f "$sf2/default-GM.sf2")" "$sf2/FluidR3_GM.sf2"
