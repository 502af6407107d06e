#!/usr/bin/env bash
# The bash completion as a shell user meets it: sourced into bash, it answers for the
# commands (every one the program's help lists), each command's options, the IDs of the
# banks in a card of the test's own, and the files a command takes, by their extension.
# Usage: CompletionTest.sh COMPLETION KORVANE KORVANE-MKBANK
set -uo pipefail
completion=$1 program=$2 mkbank=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KORVANE_CARD_STATE=$work/card.state XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state
cd "$work" || exit 1
mkdir -p "my banks" songs
"$mkbank" --name PIANO --instrument 0:0 --size 4096 "my banks/piano.94b" &&
    "$mkbank" --name DRUMS --drumkit 0:127 --size 4096 "my banks/drums.94b" &&
    touch "my banks/notes.txt" live.pre songs/a.mid songs/b.MID out.htm &&
    "$program" load "my banks/piano.94b" "my banks/drums.94b" >/dev/null || exit 1

# shellcheck source=/dev/null
source "$completion"
failures=0

# What completing the last word of the line offers, sorted, one line.
complete_line()
{
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="$*"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _korvane "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' ' -
}

expect()
{
    local wanted=$1 got
    shift
    got=$(complete_line "$@")
    if [[ $got != "$wanted" ]]; then
        echo "completing '$*': expected '$wanted', got '$got'"
        failures=$((failures + 1))
    fi
}

if [[ $(complete -p korvane) != "complete -F _korvane korvane" ]]; then
    echo "not registered for korvane: $(complete -p korvane 2>&1)"
    failures=$((failures + 1))
fi

# Without a command: the commands, and the presets and banks the window would open.
commands=$("$program" --help | sed -n 's/^  \([a-z]\+\) .*/\1/p' | sort -u)
expect "$(printf '%s\n' $commands live.pre "my banks" songs | sort | paste -sd ' ' -)" \
    "$program" ''
expect "preset priority programs" "$program" pr
expect "load" "$program" --synth simulated lo
expect "simulated songs" "$program" --synth s
expect "--help --json --synth" "$program" status --
expect "--all" "$program" unload --a
expect "--template" "$program" report --t
expect "--bank" "$program" programs --b
expect "0 1" "$program" programs --bank ''
expect "0 1" "$program" unload ''
expect "0 1" "$program" --synth simulated priority ''
expect "" "$program" priority 1 ''
expect "load save" "$program" preset ''
expect "live.pre" "$program" preset load l
expect "my banks/drums.94b my banks/piano.94b" "$program" load 'my banks/'
expect "songs/a.mid songs/b.MID" "$program" play songs/
expect "out.htm" "$program" report o
expect "priority" "$program" help pri

exit $((failures > 0))
