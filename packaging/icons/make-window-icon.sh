#!/usr/bin/env bash
# make-window-icon.sh -- remakes src/world/window_icon.inc, the icon the game
# puts on its own window (_NET_WM_ICON), from the game's icon beside this
# script: 16 and 32 pixels, each as width, height and one 0xAARRGGBB value per
# pixel, rows from the top. The game reads no file at run time, so the icon
# is compiled in; run this after make-icons.sh and commit both.

set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
OUT=$HERE/../../src/world/window_icon.inc
SOURCE=$HERE/clankwise-256.png

{
    echo "// window_icon.inc -- made by packaging/icons/make-window-icon.sh from"
    echo "// packaging/icons/clankwise-256.png; do not edit."
    for size in 16 32; do
        echo "$size, $size,"
        convert "$SOURCE" -resize "${size}x${size}" -depth 8 rgba:- |
            od -An -v -tu1 -w4 |
            awk '{ printf "0x%02x%02x%02x%02x,%s", $4, $1, $2, $3, (NR % 8 == 0) ? "\n" : " " }'
    done
} >"$OUT"
echo "$OUT"
