#!/usr/bin/env bash
# pace_table.sh -- the game's pace as a player sees it, measured on the
# clock: the record tool (the game at the keyboard, one state line a frame)
# in Xvfb with a 1920x1080 screen at three window sizes, as it starts and in
# the overhead map, with the pace (the default) and with the designed one
# (CLANKWISE_DESIGNED_PACING=1). Pictures are counted by the preloaded
# glutSwapBuffers counter (bench/framecount), frames by the state lines.
# Prints a Markdown table. Figures only: nothing here fails on a time.
#
#   bash bench/pace_table.sh [BUILD]   (BUILD: a build with record and framecount)
#   PACE_SECONDS  seconds measured per cell (default 5)

set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build}
SECS=${PACE_SECONDS:-5}
RECORD=$BUILD/tools/record
COUNTER=$BUILD/bench/libframecount.so
WORK=$(mktemp -d)
XVFB_PID="" RECORD_PID=""
cleanup() {
    [ -z "$RECORD_PID" ] || kill "$RECORD_PID" 2>/dev/null || true
    [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

Xvfb -displayfd 9 -screen 0 1920x1080x24 -nolisten tcp 9>"$WORK/display" >/dev/null 2>&1 &
XVFB_PID=$!
for _ in $(seq 1 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
export DISPLAY=":$(tr -dc '0-9' <"$WORK/display")" LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe

now_ms() { echo $(($(date +%s%N) / 1000000)); }
pictures() { od -An -tu8 -N8 "$WORK/count" | tr -dc '0-9'; }

# One cell: SIZE (WxH), KEY (F5 for the map, "" as it starts), then
# environment words. Prints "pictures/s frames/s".
measure() {
    local size=$1 key=$2 win="" t0 f0 p0 t1
    shift 2
    rm -f "$WORK/trace" "$WORK/count"
    env "$@" LD_PRELOAD="$COUNTER" FRAMECOUNT_LIVE="$WORK/count" \
        "$RECORD" --out "$WORK/keys" --trace "$WORK/trace" >/dev/null 2>&1 &
    RECORD_PID=$!
    # The window found may still be on its way up: try again until it holds.
    until win=$(xdotool search --onlyvisible --name '^Clankwise$' 2>/dev/null | head -n 1) &&
        [ -n "$win" ] && xdotool windowmove "$win" 0 0 windowsize "$win" "${size%x*}" \
            "${size#*x}" mousemove --window "$win" 10 10 2>/dev/null; do sleep 0.2; done
    if [ -n "$key" ]; then
        xdotool keydown "$key"
        until grep -q 'typeCam=3' "$WORK/trace"; do sleep 0.1; done
        xdotool keyup "$key"
    fi
    sleep 2  # settle into the new size
    t0=$(now_ms) f0=$(wc -l <"$WORK/trace") p0=$(pictures)
    sleep "$SECS"
    t1=$(now_ms)
    echo "$(( ($(pictures) - p0) * 1000 / (t1 - t0) )) $(( ($(wc -l <"$WORK/trace") - f0) * 1000 / (t1 - t0) ))"
    xdotool key Escape
    wait "$RECORD_PID" || true
    until [ -z "$(xdotool search --name '^Clankwise$' 2>/dev/null)" ]; do sleep 0.1; done
    RECORD_PID=""
}

echo "| Window | Camera | Paced: pictures/s | Paced: game frames/s | Designed: pictures/s = game frames/s |"
echo "|---|---|---|---|---|"
for size in 500x500 1024x768 1920x1080; do
    for key in "" F5; do
        read -r pp pf <<<"$(measure "$size" "$key")"
        read -r dp _ <<<"$(measure "$size" "$key" CLANKWISE_DESIGNED_PACING=1)"
        camera="as it starts"
        [ -z "$key" ] || camera="overhead map"
        echo "| $size | $camera | $pp | $pf | $dp |"
    done
done
