#!/usr/bin/env bash
# audio_test.sh REPLAY WORKDIR -- the game's sound as the replay tool writes
# it (--audio, OpenAL Soft's loopback device, 10 ms a frame), judged frame by
# frame by the loudest sample (wav_levels.py): heard means above -50 dBFS,
# silent below -90.
#
#   a shot at frame N is heard from frame N, and nothing before it;
#   a punch, and the robot running into a tree, are heard at their frames;
#   the tree's fifth hit starts a sound that lasts while it sinks, where
#   four hits leave silence once the knocks are over;
#   a script that does nothing, and any script with --mute, are silent;
#   the same shot heard from the overhead map is quieter than from the
#   first-person camera, by 10 dB at least;
#   the trace with sound equals the kept trace, and two runs give the same
#   samples.

set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=SCRIPTDIR/golden_lib.sh
source "$HERE/golden_lib.sh"

[ $# = 2 ] || golden_fail "usage: audio_test.sh REPLAY WORKDIR"
REPLAY=$1 WORK=$2
rm -rf "$WORK"
mkdir -p "$WORK"
golden_start_xvfb "$WORK"
FAILED=0

# hear NAME SCRIPT-TEXT [OPTION...]: plays the script with sound into
# NAME.wav and its levels into NAME.levels.
hear() {
    local name=$1 text=$2
    shift 2
    printf '%s\n' "$text" >"$WORK/$name.keys"
    "$REPLAY" --script "$WORK/$name.keys" --trace "$WORK/$name.trace" \
        --audio "$WORK/$name.wav" "$@" || golden_fail "$name: replay failed"
    python3 "$HERE/wav_levels.py" "$WORK/$name.wav" >"$WORK/$name.levels" ||
        golden_fail "$name: no levels"
}

# level NAME FRAME: that frame's loudest sample, whole dBFS.
level() {
    awk -v f="$2" '$1 == f { printf "%d", $2 }' "$WORK/$1.levels"
}

# expect NAME FIRST LAST heard|silent: every frame of the range so.
expect() {
    local name=$1 first=$2 last=$3 want=$4 bad
    bad=$(awk -v a="$first" -v b="$last" -v w="$want" \
        '$1 >= a && $1 <= b && ((w == "heard" && $2 <= -50) || (w == "silent" && $2 >= -90)) \
         { printf "%s %s dBFS; ", $1, $2 }' "$WORK/$name.levels")
    if [ -n "$bad" ] || [ "$(level "$name" "$last")" = "" ]; then
        echo "FAIL [$name]: frames $first to $last should be $want: ${bad:-frame $last missing}"
        FAILED=1
    else
        echo "ok [$name]: frames $first to $last $want"
    fi
}

# The shot at frame 21, its bullet in the tree at X -4.5 at frame 24.
hear shot "- x20
space
- x30"
expect shot 1 20 silent
expect shot 21 21 heard

hear punch "- x10
v
- x40"
expect punch 1 10 silent
expect punch 11 11 heard

# Driving at 0.25 a frame from X 1 toward that tree, the robot touches it on
# louder CHECK A B MARGIN WHAT_A WHAT_B: level A (dBFS) is at least MARGIN
# dB over level B.
louder() {
    if [ "$2" -ge $(($3 + $4)) ]; then
        echo "ok [$1]: $5 at $2 dBFS, $6 at $3"
    else
        echo "FAIL [$1]: $5 at $2 dBFS, not $4 dB over $6 at $3"
        FAILED=1
    fi
}

# frame 13: the motor runs from frame 1, the bump rises 6 dB over it.
hear bump "z x20"
expect bump 1 12 heard
louder bump "$(level bump 13)" "$(level bump 12)" 6 "the bump at frame 13" "the motor before it"

# Five shots and four (tools/scripts/fell.keys, then without the last
# shot): the fifth bullet hits at frame 68, and the tree sinks, heard,
# past the end of the script; four leave silence once the knocks are over.
FELL="z x12
s x12
f3 space x3
space x38
- x100"
hear fell "$FELL"
hear four "$(printf '%s\n' "$FELL" | sed 's/space x38/space x28\n- x10/')"
expect fell 68 68 heard
expect fell 70 165 heard
expect four 90 165 silent

hear idle "- x100"
expect idle 1 100 silent
hear muted "$FELL" --mute
expect muted 1 165 silent

hear near "f3
space
- x20"
hear far "f5
space
- x20"
louder distance "$(level near 2)" "$(level far 2)" 10 "the shot near" "the shot from the map"

# The sound changes nothing of the game, and comes the same every run.
"$REPLAY" --script "$HERE/../../tools/scripts/fell.keys" --out "$WORK/kept" \
    --trace "$WORK/kept.trace" --audio "$WORK/kept1.wav" || golden_fail "fell.keys: replay failed"
"$REPLAY" --script "$HERE/../../tools/scripts/fell.keys" --out "$WORK/kept" \
    --audio "$WORK/kept2.wav" || golden_fail "fell.keys: replay failed"
if cmp -s "$WORK/kept.trace" "$HERE/traces/fell.trace" && cmp -s "$WORK/kept1.wav" "$WORK/kept2.wav"; then
    echo "ok [fell.keys]: the kept trace with sound, the same samples twice"
else
    echo "FAIL [fell.keys]: the trace with sound differs from the kept one, or two runs' sound"
    FAILED=1
fi

[ "$FAILED" = 0 ] || golden_fail "the sound is not as it should be (see $WORK)"
echo "PASS audio_test"
