#!/usr/bin/env bash
# Runs a test program on a virtual X display that has a small notification area, so that
# the program can put a real icon there. Exits with 77 (skipped) when a tool is missing.
set -u

for tool in Xvfb trayer xwininfo xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is not installed (scripts/setup.sh installs it)"
        exit 77
    fi
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$work"
}
trap cleanup EXIT

# The server writes its display number once it accepts clients.
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    echo "Xvfb did not start:"
    cat "$work/xvfb.log"
    exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"

trayer --edge top --align right --widthtype pixel --width 120 --height 24 \
    >"$work/trayer.log" 2>&1 &
pids+=($!)

# The icon goes to the X notification area, not to a desktop bus the caller may have.
unset DBUS_SESSION_BUS_ADDRESS
export QT_QPA_PLATFORM=xcb
"$@"
