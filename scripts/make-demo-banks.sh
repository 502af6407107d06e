#!/usr/bin/env bash
# Makes a few demo bank files in DIR with korvane-mkbank (from the build directory).
# Banks that already exist are left alone, so running it again is quick.
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "Usage: $0 DIR" >&2
    exit 2
fi

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir=${KORVANE_BUILD_DIR:-$top/build}
mkbank="$build_dir/bin/korvane-mkbank"
dir=$1

# file, name, size in bytes, then the lists: -i PROGRAM:VARIATION for an instrument,
# -d PROGRAM:VARIATION for a drum kit. Together they fit in the card's default 8 MiB.
banks=(
    "piano.94b PIANO 1572864 -i 0:0 -i 1:0 -i 2:0 -i 3:0 -i 4:0 -i 5:0 -i 0:8 -d 0:127 -d 8:127"
    "strings.94b STRINGS 786432 -i 40:0 -i 41:0 -i 42:0 -i 43:0 -i 44:0 -i 45:0 -i 48:0 -i 49:0 -d 40:127 -d 48:127"
    "brass.94b BRASS 393216 -i 56:0 -i 57:0 -i 58:0 -i 59:0 -i 60:0 -i 61:0 -d 0:127 -d 16:127"
    "organ.94b ORGAN 102400 -i 16:0 -i 17:0 -i 18:0 -i 19:0 -i 16:8 -d 24:127 -d 25:127"
    "orchestr.94b ORCHESTR 3145728 -i 40:0 -i 42:0 -i 46:0 -i 47:0 -i 48:0 -i 56:0 -i 60:0 -i 68:0 -i 71:0 -i 73:0 -d 0:127 -d 48:127"
)

make_bank() {
    local file=$1 name=$2 size=$3
    shift 3
    local args=(--name "$name" --size "$size")
    while [ $# -ge 2 ]; do
        case $1 in
            -i) args+=(--instrument "$2") ;;
            -d) args+=(--drumkit "$2") ;;
        esac
        shift 2
    done
    "$mkbank" "${args[@]}" "$dir/$file"
}

mkdir -p "$dir"
for bank in "${banks[@]}"; do
    read -r -a fields <<<"$bank"
    if [ -f "$dir/${fields[0]}" ]; then
        continue
    fi
    if [ ! -x "$mkbank" ]; then
        echo "$mkbank is missing: build Korvane first (scripts/setup.sh)" >&2
        exit 1
    fi
    make_bank "${fields[@]}"
done
