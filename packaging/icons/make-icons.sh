#!/usr/bin/env bash
# make-icons.sh [BUILD] -- remakes the game's icons from the game itself:
# the replay tool of BUILD (default build/) plays icon.keys in a private
# Xvfb with Mesa's software renderer, and the shot of the robot among the
# trees is cropped to a square, brightened for small sizes and written as
# clankwise-48.png, clankwise-128.png and clankwise-256.png beside this
# script. Run it when the game's look changes, look at the three pictures,
# and commit them.

set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD=${1:-$ROOT/build}
WORK=$(mktemp -d)
XVFB_PID=""
cleanup() {
    [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

: >"$WORK/display"
Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$WORK/display" >/dev/null 2>&1 </dev/null &
XVFB_PID=$!
for _ in $(seq 1 200); do
    [ -s "$WORK/display" ] && break
    sleep 0.1
done
[ -s "$WORK/display" ] || { echo "make-icons.sh: Xvfb gave no display" >&2; exit 1; }

DISPLAY=":$(tr -dc '0-9' <"$WORK/display")" LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe \
    "$BUILD/tools/replay" --script "$HERE/icon.keys" --out "$WORK"

# The robot and the trees behind it, square; the game's night is lifted so
# the robot still reads at 48 pixels.
convert "$WORK/icon.png" -crop 300x300+0+190 +repage -modulate 170,130 "$WORK/square.png"
for size in 48 128 256; do
    convert "$WORK/square.png" -resize "${size}x${size}" -strip "$HERE/clankwise-$size.png"
    echo "$HERE/clankwise-$size.png"
done
