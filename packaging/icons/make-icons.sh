#!/usr/bin/env bash
# make-icons.sh [BUILD] -- remakes the game's icons from the game itself:
# the icon tool of BUILD (default build/) draws the robot with the game's
# own code in a private Xvfb with Mesa's software renderer, once on black
# and once on white. A pixel the same in both is the robot's, any other is
# made transparent; the robot is cut out square, filling it, and scaled to
# clankwise-16.png ... clankwise-256.png beside this script. Run it when the
# robot's look changes, look at every size, and commit them.

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
    "$BUILD/tools/icon" --out "$WORK" --size 768

# Opaque where black and white agree (the GL draws no partial pixels).
convert "$WORK/icon-black.png" "$WORK/icon-white.png" -compose difference -composite \
    -colorspace Gray -threshold 0 -negate "$WORK/mask.png"
convert "$WORK/icon-black.png" "$WORK/mask.png" -alpha off -compose CopyOpacity -composite \
    -trim +repage "$WORK/robot.png"
# Square, the robot centred and touching two opposite sides.
side=$(identify -format '%[fx:max(w,h)]' "$WORK/robot.png")
convert "$WORK/robot.png" -background none -gravity center -extent "${side}x$side" "$WORK/square.png"
for size in 16 24 32 48 64 128 256; do
    # Small sizes get a touch of sharpening, so the edges survive the
    # scaling; the faint halo that the filter's ringing leaves around the
    # robot (alpha under 3%) is made clear again.
    sharpen=()
    [ "$size" -gt 32 ] || sharpen=(-unsharp 0x0.6+0.8+0)
    convert "$WORK/square.png" -filter Lanczos -resize "${size}x$size" "${sharpen[@]}" \
        -channel A -level 3%,100% +channel \
        -define png:exclude-chunks=date,time -strip "PNG32:$HERE/clankwise-$size.png"
    echo "$HERE/clankwise-$size.png"
done
