#!/usr/bin/env bash
# wine_game.sh -- the Windows game under wine in a private Xvfb: it draws (a
# picture that is not black), stands still while no key is held, moves while
# z is held, and Escape ends it with status 0, whether or not OpenAL32.dll
# is beside it, with not a word from the audio libraries on stderr (no
# sound device is no error; freeglut's and wine's own notes about wine's
# display may be there). Waits on the frames it shows
# (the counting build, clankwise_counted.exe), never on time.
#
#   wine_game.sh COUNTED_EXE PNGDIFF WORKDIR

set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../golden/golden_lib.sh
source "$HERE/../golden/golden_lib.sh"

[ $# = 3 ] || golden_fail "usage: wine_game.sh COUNTED_EXE PNGDIFF WORKDIR"
EXE=$1 PNGDIFF=$2 WORK=$3
rm -rf "$WORK"
mkdir -p "$WORK"
golden_start_xvfb "$WORK"
GAME_PID=""
stop_game() {
    [ -z "$GAME_PID" ] || kill "$GAME_PID" 2>/dev/null || true
    golden_stop_xvfb
}
trap stop_game EXIT

FRAMES=$WORK/frames
# The frames shown so far (0 before the first).
frames() {
    local n
    n=$(head -c 12 "$FRAMES" 2>/dev/null || true)
    echo $((10#${n:-0}))
}

# Waits until the game has shown N frames in all; fails if it ended first.
# The bound is generous: it only stops a game that hangs.
wait_frames() {
    local want=$1 i
    for i in $(seq 1 3000); do
        [ "$(frames)" -ge "$want" ] && return 0
        kill -0 "$GAME_PID" 2>/dev/null || golden_fail "the game ended after $(frames) frames"
        sleep 0.1
    done
    golden_fail "the game showed $(frames) frames, not $want"
}

# The screen as a PNG.
shot() {
    import -window root "$WORK/$1.png"
}

FRAMECOUNT_LIVE=$FRAMES wine "$EXE" --no-hint >"$WORK/stdout" 2>"$WORK/stderr" &
GAME_PID=$!
wait_frames 30
grep -q 'Commande' "$WORK/stdout" || golden_fail "no command list on standard output"

# Drawn: the 500 by 500 window is most of a fifth of the 1024 by 768 screen;
# a window left black would leave the screen black all over.
shot start
lit=$(convert "$WORK/start.png" -fill white +opaque black -format '%[fx:mean]' info:)
awk -v m="$lit" 'BEGIN { exit !(m > 0.2) }' || golden_fail "the screen is black (share $lit drawn)"

# No key: the same picture 30 frames later.
xdotool mousemove 350 350
n=$(frames)
wait_frames $((n + 30))
shot still
"$PNGDIFF" --threshold 0 --max-share 0 "$WORK/start.png" "$WORK/still.png" ||
    golden_fail "the picture changed with no key held"

# z held for 50 frames: the robot drives, the picture changes.
xdotool keydown z
n=$(frames)
wait_frames $((n + 50))
xdotool keyup z
n=$(frames)
wait_frames $((n + 5))
shot moved
if "$PNGDIFF" "$WORK/still.png" "$WORK/moved.png"; then
    golden_fail "holding z moved nothing"
fi

xdotool key Escape
rc=0
wait "$GAME_PID" || rc=$?
GAME_PID=""
[ "$rc" = 0 ] || golden_fail "Escape ended the game with status $rc"
if grep -iE 'openal|alsoft|AL lib|alsa|sound|audio' "$WORK/stderr"; then
    golden_fail "the audio libraries wrote to stderr"
fi
echo "wine game: drew (share $lit of the screen not black), still without keys, moved with z held, Escape gave 0 after $(frames) frames"
