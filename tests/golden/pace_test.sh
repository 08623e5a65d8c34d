#!/usr/bin/env bash
# pace_test.sh -- the game keeps its pace when drawing falls behind. The
# record tool (the game at the keyboard, one state line a frame) runs in a
# 1920 by 1080 window in the overhead map, where a picture takes well over a
# frame's 10 ms on Mesa's software renderer: it runs more frames than it
# shows pictures, never more than 25 to a picture and never ahead of the
# clock. With CLANKWISE_DESIGNED_PACING=1, one frame to a picture, as
# designed. Pictures are counted by the preloaded glutSwapBuffers counter.
# Nothing here hangs on how fast the machine is: a slower machine only
# shows fewer pictures.
#
#   pace_test.sh RECORD FRAMECOUNT_LIBRARY WORKDIR

set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=SCRIPTDIR/golden_lib.sh
source "$HERE/golden_lib.sh"
RECORD=$1 COUNTER=$2 WORK=$3
rm -rf "$WORK"
mkdir -p "$WORK"
GOLDEN_SCREEN=1920x1080x24 golden_start_xvfb "$WORK"

RECORD_PID=""
stop_all() {
    if [ -n "$RECORD_PID" ]; then kill "$RECORD_PID" 2>/dev/null || true; fi
    golden_stop_xvfb
}
trap stop_all EXIT

now_ms() { echo $(($(date +%s%N) / 1000000)); }
frames() { wc -l <"$WORK/$1.trace"; }
pictures() { od -An -tu8 -N8 "$WORK/$1.count" 2>/dev/null | tr -dc '0-9' || true; }

# Plays NAME in the large window and the map until FRAMES frames have run
# there, then ends it with Escape; prints "frames pictures milliseconds"
# counted from the first frame in the map, then the frames and pictures of
# the whole run. The recorder runs until told: however slowly the machine
# finds its window, it cannot end first.
play() {
    local name=$1 count=$2 win="" t0 f0 p0
    shift 2
    env "$@" LD_PRELOAD="$COUNTER" FRAMECOUNT_LIVE="$WORK/$name.count" \
        "$RECORD" --out "$WORK/$name.keys" --trace "$WORK/$name.trace" \
        >"$WORK/$name.stdout" 2>"$WORK/$name.stderr" &
    RECORD_PID=$!
    for _ in $(seq 1 900); do
        win=$(xdotool search --onlyvisible --name '^Clankwise$' 2>/dev/null | head -n 1 || true)
        [ -n "$win" ] && break
        kill -0 "$RECORD_PID" 2>/dev/null || golden_fail "$name: the recorder ended early"
        sleep 0.1
    done
    [ -n "$win" ] || golden_fail "$name: the recorder's window did not appear in 90 s"
    xdotool windowmove "$win" 0 0 windowsize "$win" 1920 1080 mousemove --window "$win" 960 540
    # Held until a frame has seen it: the game reads held keys, once a frame.
    xdotool keydown F5
    for _ in $(seq 1 600); do
        grep -q 'typeCam=3' "$WORK/$name.trace" && break
        kill -0 "$RECORD_PID" 2>/dev/null || golden_fail "$name: the recorder ended before the map"
        sleep 0.1
    done
    xdotool keyup F5
    grep -q 'typeCam=3' "$WORK/$name.trace" || golden_fail "$name: F5 did not reach the game"
    t0=$(now_ms) f0=$(frames "$name") p0=$(pictures "$name")
    for _ in $(seq 1 900); do
        [ "$(frames "$name")" -ge $((f0 + count)) ] && break
        kill -0 "$RECORD_PID" 2>/dev/null || golden_fail "$name: the recorder ended in the map"
        sleep 0.1
    done
    xdotool key Escape
    for _ in $(seq 1 300); do kill -0 "$RECORD_PID" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$RECORD_PID" 2>/dev/null && golden_fail "$name: Escape did not end the recorder"
    wait "$RECORD_PID" || golden_fail "$name: record failed: $(cat "$WORK/$name.stderr")"
    RECORD_PID=""
    echo "$(($(frames "$name") - f0)) $(($(pictures "$name") - p0)) $(($(now_ms) - t0))" \
        "$(frames "$name") $(pictures "$name")"
}

read -r frames_run shown ms _ _ < <(play paced 500)
echo "paced: $frames_run frames, $shown pictures in $ms ms"
[ "$shown" -gt 0 ] || golden_fail "paced: no picture shown"
[ "$frames_run" -le $((ms / 10 + 26)) ] || golden_fail "paced: the game ran ahead of the clock"
[ "$frames_run" -le $((25 * shown + 25)) ] || golden_fail "paced: more than 25 frames to a picture"
[ $((2 * frames_run)) -ge $((3 * shown)) ] ||
    golden_fail "paced: pictures of over 10 ms, yet not half again as many frames as pictures"

# The two counts are read one after the other while frames run, so only
# the whole run's, read once the recorder has ended, can be compared exactly.
read -r frames_run shown ms all_frames all_shown < <(play designed 150 CLANKWISE_DESIGNED_PACING=1)
echo "designed: $frames_run frames, $shown pictures in $ms ms; $all_frames and $all_shown in all"
[ "$all_frames" -gt 0 ] && [ "$all_frames" = "$all_shown" ] ||
    golden_fail "designed: $all_frames frames for $all_shown pictures, not one each"
