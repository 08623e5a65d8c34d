#!/usr/bin/env bash
# window_test.sh GAME OUTDIR -- the real game in a real X server: its command
# list on stdout byte for byte, one 500x500 window titled "Clankwise", real
# key events that drive the robot, and a game that keeps running.

GAME=${1:?usage: window_test.sh GAME OUTDIR}
E2E_OUT=${2:?usage: window_test.sh GAME OUTDIR}
HERE=$(cd "$(dirname "$0")" && pwd)
rm -rf "$E2E_OUT"
# shellcheck source=SCRIPTDIR/lib.sh
source "$HERE/lib.sh"

EXPECTED="$HERE/commands.txt"

# The command list must be on stdout while the game runs (a pipe or a log
# file sees it at start, not at exit), exactly, and nothing else after it.
check_stdout() {
    local t0=$SECONDS want
    want=$(stat -c %s "$EXPECTED")
    while [ "$(stat -c %s "$E2E_OUT/game.stdout")" -lt "$want" ]; do
        [ $((SECONDS - t0)) -ge 20 ] && break
        sleep 0.1
    done
    cmp "$EXPECTED" "$E2E_OUT/game.stdout" ||
        e2e_fail "stdout is not the command list: $(od -c "$E2E_OUT/game.stdout" | head -n 20)"
}

check_window_size() {
    local geo
    geo=$(xdotool getwindowgeometry --shell "$E2E_WIN")
    echo "$geo" | grep -qx 'WIDTH=500' || e2e_fail "window is not 500 wide: $geo"
    echo "$geo" | grep -qx 'HEIGHT=500' || e2e_fail "window is not 500 high: $geo"
}

e2e_start_xvfb
e2e_load_keymap
e2e_start_game "$GAME" --no-hint
e2e_find_window 60
check_stdout
check_window_size

# A frame at rest draws the same picture every time.
e2e_wait_still "$E2E_OUT/rest.png" 60
[ "$(identify -format '%wx%h' "$E2E_OUT/rest.png")" = 500x500 ] ||
    e2e_fail "screenshot is not 500x500"
read -r n _ <<<"$(e2e_pixels "$E2E_OUT/rest.png" robot)"
[ "$n" -ge 100 ] || e2e_fail "the robot is not in sight at start ($n robot pixels)"

# Upper-case Z (Shift held) is not a command: nothing moves, although z
# alone drives from here, as the next step shows.
f=$(e2e_frames)
xdotool keydown Shift_L keydown z
e2e_wait_frames "$f" 100 "with Shift and z held"
e2e_shot "$E2E_OUT/shift_z.png"
xdotool keyup z keyup Shift_L
[ "$(e2e_diff "$E2E_OUT/rest.png" "$E2E_OUT/shift_z.png")" = 0 ] ||
    e2e_fail "Shift+z moved something"

# Hold z: the robot drives, so the surveillance camera turns to follow it.
xdotool keydown z
e2e_wait_change "$E2E_OUT/rest.png" "$E2E_OUT/driving.png" 30 200
e2e_wait_frames "$(e2e_frames)" 30 "with z held"
e2e_shot "$E2E_OUT/driving2.png"
xdotool keyup z
e2e_note "z held: $(e2e_diff "$E2E_OUT/rest.png" "$E2E_OUT/driving2.png") pixels changed"

# Let go: the robot stops, and the picture comes to rest again in a new place.
e2e_wait_still "$E2E_OUT/stopped.png" 30 100
[ "$(e2e_diff "$E2E_OUT/rest.png" "$E2E_OUT/stopped.png")" -gt 200 ] ||
    e2e_fail "the robot came back to rest where it started"

e2e_game_alive || e2e_fail "the game is no longer running"
check_stdout
pid=$E2E_GAME_PID
e2e_stop_game
kill -0 "$pid" 2>/dev/null && e2e_fail "the game $pid is still there after being stopped"
echo "PASS window_test"
