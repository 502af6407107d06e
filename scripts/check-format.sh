#!/usr/bin/env bash
# Fails when a C or C++ source of ours differs from what clang-format makes of it.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
mapfile -t sources < <(find app card cardkit fluidcard grid platform player presets report res synth tests tools ui \
    -type f \( -name '*.cpp' -o -name '*.h' \) 2>/dev/null | sort)
clang-format --dry-run --Werror "${sources[@]}"
echo "${#sources[@]} files formatted as .clang-format says"
