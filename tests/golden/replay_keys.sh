#!/usr/bin/env bash
# replay_keys.sh -- the replay tool presses what the script names: each key
# name reaches the game as the right key (checked on the state lines against
# the controls: mode keys and their function-key twins, the arrows as twins
# of z, s, q, d), keys are let go when a line no longer names them, the seed
# reaches the crown colours, and --every writes the numbered pictures.
#
#   replay_keys.sh REPLAY PNGDIFF WORKDIR

set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=SCRIPTDIR/golden_lib.sh
source "$HERE/golden_lib.sh"
REPLAY=$1 PNGDIFF=$2 WORK=$3
rm -rf "$WORK"
mkdir -p "$WORK"
golden_start_xvfb "$WORK"
FAILED=0

# The value of NAME= on the state line of frame N.
field() {
    sed -n "${1}p" "$WORK/keys.trace" | grep -o " $2=[^ ]*" | cut -d= -f2
}

want() {  # want FRAME NAME VALUE WHY
    local got
    got=$(field "$1" "$2")
    [ "$got" = "$3" ] || { echo "FAIL frame $1 ($4): $2=$got, want $3"; FAILED=$((FAILED + 1)); }
}

cat >"$WORK/keys.keys" <<'KEYS'
eacute
quotedbl
parenleft
apostrophe
ampersand
f2
f3
f5
f4
f1
up x4
down x4
left
right
q
d
z x2
-
Z
z s
space
v
KEYS
golden_replay "$REPLAY" "$WORK/keys.keys" "$WORK/keys" "$WORK/keys.trace"

# The mode keys: & é " ' ( give modes 0 1 2 4 3, and F1..F5 the same.
i=1
for mode in 1 2 3 4 0 1 2 3 4 0; do
    want $i typeCam $mode "mode key $i"
    i=$((i + 1))
done
want 14 X0 0 "up drives forward 0.25 a frame toward -X"
want 18 X0 1 "down drives back"
want 19 angle -0.100000001 "left turns by -0.1"
want 21 angle -0.100000001 "q turns like left"
want 23 X0 0.75 "z drives"
want 24 X0 0.5 "z still held"
want 25 X0 0.5 "z let go when the line no longer names it"
want 26 X0 0.5 "upper-case Z does nothing"
want 27 X0 0.5 "z and s together step there and back"
want 27 roue1 "$(field 24 roue1)" "z and s turn the wheels there and back"
# Fired one unit ahead of the robot at X 0.5, then moved one unit in the
# same frame: -1.5.
[ "$(field 28 bullets)" = "[0:-1.5,1]" ] || {
    echo "FAIL frame 28: space fired no bullet into slot 0: $(field 28 bullets)"
    FAILED=$((FAILED + 1))
}
want 29 hit 2 "v starts arm 0's punch"
[ "$(awk '{ print $1 }' "$WORK/keys.trace" | tr '\n' ' ')" = "$(seq -s ' ' 1 29) " ] ||
    { echo "FAIL: the trace is not one line per frame"; FAILED=$((FAILED + 1)); }

# Seeds: the same frame with another seed has other crown colours.
printf -- '- x2 shot seeded\n' >"$WORK/seed.keys"
golden_replay "$REPLAY" "$WORK/seed.keys" "$WORK/seed1" "$WORK/seed1.trace" 1
golden_replay "$REPLAY" "$WORK/seed.keys" "$WORK/seed2" "$WORK/seed2.trace" 2
if "$PNGDIFF" "$WORK/seed1/seeded.png" "$WORK/seed2/seeded.png"; then
    echo "FAIL: seeds 1 and 2 drew the same forest"
    FAILED=$((FAILED + 1))
fi
cmp -s "$WORK/seed1.trace" "$WORK/seed2.trace" ||
    { echo "FAIL: the seed changed the game state"; FAILED=$((FAILED + 1)); }

# --every 10 over 25 frames: frames 10 and 20, nothing else.
printf -- 'q x25\n' >"$WORK/every.keys"
"$REPLAY" --script "$WORK/every.keys" --out "$WORK/every" --every 10
got=$(cd "$WORK/every" && ls)
[ "$got" = "$(printf 'frame-000010.png\nframe-000020.png')" ] ||
    { echo "FAIL: --every 10 wrote: $got"; FAILED=$((FAILED + 1)); }
"$PNGDIFF" --threshold 0 --max-share 0 "$WORK/every/frame-000010.png" \
    "$WORK/every/frame-000020.png" >/dev/null &&
    { echo "FAIL: frames 10 and 20 of a turning robot are the same picture"; FAILED=$((FAILED + 1)); }

[ "$FAILED" = 0 ] || golden_fail "$FAILED checks failed"
echo "replay keys: every check as expected"
