#!/usr/bin/env bash
# Times the server card's loads against the FluidSynth server's own: Debian's 150 MB
# fluid-soundfont-gm (which only the benchmarks install) on an empty server, and a 5 kB
# font on a server that holds it. The benchmark starts its own server, without audio.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${KORVANE_BUILD_DIR:-$top/build}

"$top/scripts/install-fluid-soundfont-gm.sh"
"$top/scripts/setup.sh"
cmake --build "$build_dir" --target fluidcard_bench
"$build_dir/bin/fluidcard_bench" /usr/share/sounds/sf2/FluidR3_GM.sf2
