#!/usr/bin/env bash
# End-to-end test of the demo program: under a virtual X server, drag the
# chart 40 pixels to the right with the left mouse button, driven from
# outside the program, and compare the screen before and after: the curve
# (and the red text anchored to the data) must have moved 40 pixels right,
# the blue text and the green frame must have stayed put.
#
# Usage: pan_drag.sh KURVO_DEMO PAN_CHECK OUTPUT_DIR
# Needs xvfb-run, xdotool and xwd. The pictures are left in OUTPUT_DIR.
set -euo pipefail

readonly title="Kurvo - User Defined Extensions"
readonly shift_px=40

inside() {
    local demo=$1 check=$2 out=$3
    mkdir -p "$out"
    rm -f "$out"/*.xwd "$out"/*.png

    # The demo needs a real window; the tests' offscreen platform does not do.
    export QT_QPA_PLATFORM=xcb
    "$demo" &
    local pid=$!
    trap "kill $pid 2>/dev/null || true; wait $pid 2>/dev/null || true" EXIT

    local wid
    wid=$(timeout 30 xdotool search --sync --onlyvisible --name "^${title}\$" | head -n 1 || true)
    if [ -z "$wid" ]; then
        echo "no window titled '$title'" >&2
        return 1
    fi
    local X Y WIDTH HEIGHT WINDOW SCREEN
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    echo "window $wid at $X,$Y size ${WIDTH}x$HEIGHT"

    # The chart sits below the 41-pixel button strip; its data area spans
    # x 80 ... 457 and y 20 ... 381 of the chart (margins 80/16/20/40).
    local left=$((X + 80)) top=$((Y + 41 + 20)) right=$((X + 457)) bottom=$((Y + 41 + 381))

    # The first paint follows the showing.
    local tries=0
    until xwd -root -silent >"$out/before.xwd" &&
        "$check" --ready "$out/before.xwd" "$left" "$top" "$right" "$bottom"; do
        if [ $((tries += 1)) -ge 40 ]; then
            echo "the chart was not painted" >&2
            return 1
        fi
        sleep 0.25
    done

    local x0=$((left + 100)) y0=$((top + 180))
    xdotool mousemove "$x0" "$y0"
    sleep 0.2
    xdotool mousedown 1
    sleep 0.2
    # The first move with the button held, not the press, fixes the pan's
    # anchor: it goes one pixel down, so the horizontal travel from the
    # anchor is the full 40 pixels and the vertical one is 0.
    xdotool mousemove "$x0" $((y0 + 1))
    sleep 0.2
    local step
    for step in 10 20 30 40; do
        xdotool mousemove $((x0 + step)) $((y0 + 1))
        sleep 0.2
    done
    xdotool mouseup 1
    # Wait until the screen no longer changes.
    xwd -root -silent >"$out/after.xwd"
    tries=0
    while [ $((tries += 1)) -le 20 ]; do
        sleep 0.25
        xwd -root -silent >"$out/settled.xwd"
        if cmp -s "$out/after.xwd" "$out/settled.xwd"; then break; fi
        mv "$out/settled.xwd" "$out/after.xwd"
    done

    "$check" "$out/before.xwd" "$out/after.xwd" "$left" "$top" "$right" "$bottom" "$shift_px" "$out/data-area"
}

if [ "${1:-}" = "--inside" ]; then
    shift
    inside "$@"
    exit
fi

if [ $# -ne 3 ]; then
    echo "usage: $0 KURVO_DEMO PAN_CHECK OUTPUT_DIR" >&2
    exit 2
fi
exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --inside "$@"
