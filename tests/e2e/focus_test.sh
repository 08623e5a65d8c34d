#!/usr/bin/env bash
# focus_test.sh GAME OUTDIR -- no key stays held when the keyboard focus
# leaves the game, under a window manager (openbox) with a second window
# (xev) to take the focus: an arrow held while another window is activated
# (as Alt+Tab does) and let go there, and a letter held while the player
# clicks into the other window and lets go there. Either would otherwise
# turn or drive the robot on until pressed again.

GAME=${1:?usage: focus_test.sh GAME OUTDIR}
E2E_OUT=${2:?usage: focus_test.sh GAME OUTDIR}
HERE=$(cd "$(dirname "$0")" && pwd)
rm -rf "$E2E_OUT"
# shellcheck source=SCRIPTDIR/lib.sh
source "$HERE/lib.sh"

shot() { echo "$E2E_OUT/$1.png"; }

e2e_start_xvfb
e2e_start_wm
xev -geometry 300x200+650+500 -name other >"$E2E_OUT/xev.log" 2>&1 </dev/null &
E2E_PIDS+=("$!")
e2e_start_game "$GAME" --no-hint
e2e_find_window 60
OTHER=""
for _ in $(seq 1 100); do
    OTHER=$(xdotool search --onlyvisible --name '^other$' 2>/dev/null | head -n 1) && [ -n "$OTHER" ] && break
    sleep 0.1
done
[ -n "$OTHER" ] || e2e_fail "the other window (xev) did not appear"

# Holds KEY in the game until the picture moves, moves the focus away with
# the command given, lets KEY go there, brings the focus back with the last
# command, and checks that the robot then stands still.
check_focus_loss() {
    local name=$1 key=$2 away=$3 back=$4 n
    e2e_activate "$E2E_WIN"
    e2e_wait_still "$(shot "$name-rest")" 60
    xdotool keydown "$key"
    e2e_wait_change "$(shot "$name-rest")" "$(shot "$name-held")" 30 200
    eval "$away"
    # The game lets the key go when the focus leaves: the picture stops.
    e2e_wait_still "$(shot "$name-away")" 60
    xdotool keyup "$key"
    eval "$back"
    e2e_wait_frames "$(e2e_frames)" 20 "after the focus came back"
    e2e_shot "$(shot "$name-back-1")"
    e2e_wait_frames "$(e2e_frames)" 100 "with the focus back"
    e2e_shot "$(shot "$name-back-2")"
    n=$(e2e_diff "$(shot "$name-back-1")" "$(shot "$name-back-2")")
    e2e_note "$name: $n pixels changed in 100 frames after the focus came back"
    [ "$n" = 0 ] || e2e_fail "$name: $key stayed held after it was let go in another window"
}

# Alt+Tab: the window manager activates the other window.
check_focus_loss activate Left \
    'e2e_activate "$OTHER"' \
    'e2e_activate "$E2E_WIN"'
# A click into the other window, and back into the game.
check_focus_loss click z \
    'xdotool mousemove --window "$OTHER" 150 100 click 1' \
    'xdotool mousemove --window "$E2E_WIN" 250 250 click 1'

# And the game still answers its keys (a turn: the robot may stand against
# a tree by now).
e2e_activate "$E2E_WIN"
xdotool keydown d
e2e_wait_change "$(shot click-back-2)" "$(shot turns-again)" 30 200
xdotool keyup d
echo "PASS focus_test"
