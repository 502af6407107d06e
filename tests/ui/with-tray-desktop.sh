#!/usr/bin/env bash
# Runs a test program on a virtual X display that has a small notification area, so that
# the program can put a real icon there. Exits with 77 (skipped) when a tool is missing.
#   --window-manager  runs openbox on the display too
#   --no-tray         starts no notification area: the test starts and stops its own
set -u

window_manager=0
tray=1
while [ $# -gt 0 ]; do
    case "$1" in
    --window-manager) window_manager=1 ;;
    --no-tray) tray=0 ;;
    *) break ;;
    esac
    shift
done

tools=(Xvfb trayer xwininfo xdotool)
[ "$window_manager" = 1 ] && tools+=(openbox)
for tool in "${tools[@]}"; do
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

if [ "$window_manager" = 1 ]; then
    # A configuration of its own, so that the user's does not change what is tested.
    mkdir -p "$work/config"
    XDG_CONFIG_HOME="$work/config" openbox >"$work/openbox.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
fi

if [ "$tray" = 1 ]; then
    trayer --edge top --align right --widthtype pixel --width 120 --height 24 \
        >"$work/trayer.log" 2>&1 &
    pids+=($!)
fi

# The icon goes to the X notification area, not to a desktop bus the caller may have.
unset DBUS_SESSION_BUS_ADDRESS
export QT_QPA_PLATFORM=xcb
"$@"
