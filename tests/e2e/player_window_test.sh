#!/usr/bin/env bash
# player_window_test.sh GAME OUTDIR -- the window as the desktop sees it:
# with no display, one line that says what to do and status 1; -geometry
# sets the size and place, and without it the window is 500x500 at
# (100, 100); the class and the icon are named (xprop); under a window
# manager F11 fills the screen and gives the window back; Escape and the
# close button end the game with status 0 and nothing on standard error.

GAME=${1:?usage: player_window_test.sh GAME OUTDIR}
E2E_OUT=${2:?usage: player_window_test.sh GAME OUTDIR}
HERE=$(cd "$(dirname "$0")" && pwd)
rm -rf "$E2E_OUT"
# shellcheck source=SCRIPTDIR/lib.sh
source "$HERE/lib.sh"

# --- no display ---------------------------------------------------------------
# Unset, and named but not there: one line each, naming the way out.
for display in "" ":97"; do
    status=0
    (if [ -z "$display" ]; then unset DISPLAY; else export DISPLAY=$display; fi
        exec "$GAME" --no-hint) >"$E2E_OUT/nodisplay.out" 2>"$E2E_OUT/nodisplay.err" </dev/null ||
        status=$?
    e2e_note "no display '$display': status $status, $(cat "$E2E_OUT/nodisplay.err")"
    [ "$status" = 1 ] || e2e_fail "no display '$display': status $status, not 1"
    [ "$(wc -l <"$E2E_OUT/nodisplay.err")" = 1 ] && grep -q 'xvfb-run' "$E2E_OUT/nodisplay.err" ||
        e2e_fail "no display '$display': not the one line: $(cat "$E2E_OUT/nodisplay.err")"
    [ -z "$display" ] || grep -qF "\"$display\"" "$E2E_OUT/nodisplay.err" ||
        e2e_fail "the line does not name the display $display"
    [ ! -s "$E2E_OUT/nodisplay.out" ] || e2e_fail "no display: something on stdout"
done

# --- size, place, class and icon, with no window manager to move it ------------
e2e_start_xvfb
for geometry in "" "800x600+10+10"; do
    e2e_start_game "$GAME" --no-hint ${geometry:+-geometry "$geometry"}
    e2e_find_window 60
    want=${geometry:-500x500+100+100}
    got=$(xwininfo -id "$E2E_WIN" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /Width:/ { w = $NF } /Height:/ { h = $NF } END { printf "%dx%d+%d+%d", w, h, x, y }')
    e2e_note "-geometry '$geometry': window $got"
    [ "$got" = "$want" ] || e2e_fail "-geometry '$geometry' gave $got, not $want"
    [ -n "$geometry" ] && continue
    # Escape ends it as cleanly as the close button will below.
    e2e_wait_frames 0 5 "before Escape"
    xdotool key Escape
    e2e_wait_exit "Escape"
    [ "$E2E_STATUS" = 0 ] && [ ! -s "$E2E_OUT/game.stderr" ] ||
        e2e_fail "Escape: status $E2E_STATUS, stderr: $(cat "$E2E_OUT/game.stderr")"
done
xprop -id "$E2E_WIN" WM_CLASS _NET_WM_ICON >"$E2E_OUT/xprop.txt"
grep -qx 'WM_CLASS(STRING) = "clankwise", "Clankwise"' "$E2E_OUT/xprop.txt" ||
    e2e_fail "WM_CLASS: $(grep WM_CLASS "$E2E_OUT/xprop.txt")"
for size in 16 32; do
    grep -q "Icon ($size x $size)" "$E2E_OUT/xprop.txt" || e2e_fail "no ${size}x$size window icon"
done

# --- fullscreen and the close button, under a window manager --------------------
e2e_start_wm
e2e_wait_frames "$(e2e_frames)" 5 "after openbox started"
screen=$(xdotool getdisplaygeometry | tr ' ' 'x')
e2e_activate "$E2E_WIN"
xdotool key F11
e2e_wait_size "$screen" "F11"
e2e_wait_frames "$(e2e_frames)" 5 "in fullscreen"
e2e_shot "$E2E_OUT/fullscreen.png"
[ "$(identify -format '%wx%h' "$E2E_OUT/fullscreen.png")" = "$screen" ] ||
    e2e_fail "the picture does not fill the screen"
xdotool key F11
e2e_wait_size 800x600 "F11 again"

wmctrl -c Clankwise || e2e_fail "wmctrl could not ask openbox to close the window"
e2e_wait_exit "the close button"
e2e_note "close button: status $E2E_STATUS, stderr: $(cat "$E2E_OUT/game.stderr")"
[ "$E2E_STATUS" = 0 ] || e2e_fail "the close button ended the game with status $E2E_STATUS"
[ ! -s "$E2E_OUT/game.stderr" ] || e2e_fail "the close button left: $(cat "$E2E_OUT/game.stderr")"
echo "PASS player_window_test"
