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

win=""
for _ in $(seq 1 100); do
    win=$(xdotool search --onlyvisible --name '^Clankwise$' 2>/dev/null | head -n 1 || true)
    [ -n "$win" ] && break
    sleep 0.1
done
[ -n "$win" ] || golden_fail "the recorder's window did not appear"
# No window manager: the keyboard goes to the window under the pointer.
xdotool mousemove --window "$win" 250 250

# Frames counted so far (the recorder flushes its state line every frame).
frames() { wc -l <"$WORK/rec.trace"; }
# Holds a key until the game has run at least 5 more frames.
hold() {
    local until=$(($(frames) + 5))
    xdotool keydown "$@"
    for _ in $(seq 1 100); do [ "$(frames)" -ge "$until" ] && break; sleep 0.05; done
    xdotool keyup "$@"
    sleep 0.1
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
