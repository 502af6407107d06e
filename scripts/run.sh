#!/usr/bin/env bash
# Sets everything up, makes a few demo banks and starts Korvane on its simulated card.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${KORVANE_BUILD_DIR:-$top/build}

"$top/scripts/setup.sh"
"$top/scripts/make-demo-banks.sh" "$build_dir/demo-banks"
echo "Demo banks to load (Bank > Load a bank): $build_dir/demo-banks"
cd "$build_dir/demo-banks"
exec "$build_dir/bin/korvane"
