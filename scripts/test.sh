#!/usr/bin/env bash
# Sets everything up and runs every test; ends with ctest's summary.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${KORVANE_BUILD_DIR:-$top/build}

"$top/scripts/setup.sh"
cd "$build_dir"
ctest --output-on-failure -j2
