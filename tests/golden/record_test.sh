#!/usr/bin/env bash
# record_test.sh -- the recorder writes what is played at the keyboard as a
# key script that replays into the very same game: real key events (xdotool)
# go to the recorder's window, Escape ends it, and replaying its script with
# the same seed gives its state lines byte for byte.
#
#   record_test.sh RECORD REPLAY WORKDIR

set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=SCRIPTDIR/golden_lib.sh
source "$HERE/golden_lib.sh"
RECORD=$1 REPLAY=$2 WORK=$3
rm -rf "$WORK"
mkdir -p "$WORK"
golden_start_xvfb "$WORK"

RECORD_PID=""
stop_all() {
    if [ -n "$RECORD_PID" ]; then kill "$RECORD_PID" 2>/dev/null || true; fi
    golden_stop_xvfb
}
trap stop_all EXIT

"$RECORD" --out "$WORK/rec.keys" --trace "$WORK/rec.trace" --seed 7 --frames 20000 \
    >"$WORK/record.stdout" 2>"$WORK/record.stderr" &
RECORD_PID=$!

# Waits for the window while the recorder runs: a busy machine may take many
# seconds to show it, so the limit (90 s, inside the test's 120) only ends a hung run.
win=""
for _ in $(seq 1 900); do
    win=$(xdotool search --onlyvisible --name '^Clankwise$' 2>/dev/null | head -n 1 || true)
    [ -n "$win" ] && break
    kill -0 "$RECORD_PID" 2>/dev/null ||
        golden_fail "the recorder ended before its window appeared: $(cat "$WORK/record.stderr")"
    sleep 0.1
done
[ -n "$win" ] || golden_fail "the recorder's window did not appear in 90 s"
# No window manager: the keyboard goes to the window under the pointer.
xdotool mousemove --window "$win" 250 250

# Frames counted so far (the recorder flushes its state line every frame).
frames() { wc -l <"$WORK/rec.trace"; }
# Waits until the recorder has run COUNT more frames; fails after 60 s
# naming WHAT it waited for.
wait_frames() {
    local until=$(($(frames) + $1)) t0=$SECONDS
    while [ "$(frames)" -lt "$until" ]; do
        [ $((SECONDS - t0)) -ge 60 ] && golden_fail "waited 60 s for $1 frames $2"
        kill -0 "$RECORD_PID" 2>/dev/null || golden_fail "the recorder died while waiting for frames $2"
        sleep 0.05
    done
}
# Holds keys for at least 5 frames, then lets them go for at least 2, so
# each hold is a line of its own.
hold() {
    xdotool keydown "$@"
    wait_frames 5 "with $* held"
    xdotool keyup "$@"
    wait_frames 2 "after $* was let go"
}
hold z
hold q z
hold space
hold Up
hold F3
xdotool key Escape
for _ in $(seq 1 100); do kill -0 "$RECORD_PID" 2>/dev/null || break; sleep 0.1; done
wait "$RECORD_PID" || golden_fail "record failed: $(cat "$WORK/record.stderr")"
RECORD_PID=""

cat "$WORK/rec.keys"
for line in '^z( x[0-9]+)?$' '^q z( x[0-9]+)?$' '^space( x[0-9]+)?$' '^up( x[0-9]+)?$' '^f3( x[0-9]+)?$'; do
    grep -Eq "$line" "$WORK/rec.keys" || golden_fail "no line matching $line in the recorded script"
done
grep -q 'typeCam=2' "$WORK/rec.trace" || golden_fail "F3 did not reach the game"

golden_replay "$REPLAY" "$WORK/rec.keys" "$WORK/replayed" "$WORK/replayed.trace" 7
cmp "$WORK/rec.trace" "$WORK/replayed.trace" ||
    golden_fail "the replayed script does not give the recorded game"
echo "record: $(frames) frames recorded and replayed to the same state"
