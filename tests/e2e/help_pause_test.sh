#!/usr/bin/env bash
# help_pause_test.sh GAME OUTDIR -- what the game shows the player, with
# real keys: the start hint in the bottom left corner until a key is
# pressed; h shows the controls over the scene and h again gives back the
# very same pixels; p pauses (with z held nothing moves, and only the pause
# note is drawn), p again goes on from where it stopped; with Caps Lock on,
# z drives nothing and a note says why.

GAME=${1:?usage: help_pause_test.sh GAME OUTDIR}
E2E_OUT=${2:?usage: help_pause_test.sh GAME OUTDIR}
HERE=$(cd "$(dirname "$0")" && pwd)
rm -rf "$E2E_OUT"
# shellcheck source=SCRIPTDIR/lib.sh
source "$HERE/lib.sh"

shot() { echo "$E2E_OUT/$1.png"; }
HINT_BOX="0,420 200,499"  # the bottom left corner, where the hint is
NOTE_BOX="0,0 420,90"     # the top left corner, where the notes are

# Pixels in which two shots differ outside a box (X0,Y0 X1,Y1).
diff_outside() {
    local a=$1 b=$2 box=$3
    convert "$a" -fill black -draw "rectangle $box" "$a.masked.png"
    convert "$b" -fill black -draw "rectangle $box" "$b.masked.png"
    e2e_diff "$a.masked.png" "$b.masked.png"
}

# Bright, nearly white pixels: text.
white_pixels() {
    convert "$1" -colorspace Gray -threshold 80% -format '%[fx:int(mean*w*h)]' info:
}

e2e_start_xvfb
e2e_start_game "$GAME"
e2e_find_window 60

# --- the start hint, until the first key ----------------------------------------
e2e_wait_still "$(shot hint)" 60
xdotool key x  # a key that is no command
e2e_wait_change "$(shot hint)" "$(shot hint-gone)" 30
e2e_wait_still "$(shot rest)" 30
n=$(e2e_diff "$(shot hint)" "$(shot rest)")
e2e_note "start hint: $n pixels, $(diff_outside "$(shot hint)" "$(shot rest)" "$HINT_BOX") outside its corner"
[ "$n" -ge 100 ] || e2e_fail "no start hint to be seen ($n pixels)"
[ "$(diff_outside "$(shot hint)" "$(shot rest)" "$HINT_BOX")" = 0 ] ||
    e2e_fail "the start hint changed more than its corner"

# --- h: the controls, and back to the same pixels -------------------------------
xdotool key h
e2e_wait_change "$(shot rest)" "$(shot help)" 30 20000
white=$(white_pixels "$(shot help)")
e2e_note "help: $(e2e_diff "$(shot rest)" "$(shot help)") pixels changed, $white of them white text"
[ "$white" -ge 3000 ] || e2e_fail "the help shows too little text ($white white pixels)"
xdotool key h
e2e_wait_still "$(shot help-closed)" 30
n=$(e2e_diff "$(shot rest)" "$(shot help-closed)")
[ "$n" = 0 ] || e2e_fail "closing the help left $n pixels changed"

# --- p: nothing moves with z held, and the game goes on where it stopped --------
xdotool key p
e2e_wait_change "$(shot rest)" "$(shot paused)" 30
xdotool keydown z
e2e_wait_frames "$(e2e_frames)" 100 "paused, with z held"
e2e_shot "$(shot paused-z-1)"
e2e_wait_frames "$(e2e_frames)" 100 "paused, with z held"
e2e_shot "$(shot paused-z-2)"
xdotool keyup z
n=$(e2e_diff "$(shot paused)" "$(shot paused-z-2)")
m=$(diff_outside "$(shot rest)" "$(shot paused-z-1)" "$NOTE_BOX")
e2e_note "paused with z held: $n pixels changed in 200 frames; $m outside the note"
[ "$n" = 0 ] && [ "$m" = 0 ] || e2e_fail "something moved while paused"
xdotool key p
e2e_wait_still "$(shot resumed)" 30
[ "$(e2e_diff "$(shot rest)" "$(shot resumed)")" = 0 ] || e2e_fail "the game did not go on from where it stopped"
xdotool keydown z
e2e_wait_change "$(shot resumed)" "$(shot drives)" 30 200
xdotool keyup z
e2e_wait_still "$(shot driven)" 30

# --- Caps Lock: Z is no command, and the note says why --------------------------
xdotool key Caps_Lock
xdotool keydown z
e2e_wait_change "$(shot driven)" "$(shot caps)" 30 100
e2e_wait_frames "$(e2e_frames)" 100 "with Caps Lock on and z held"
e2e_shot "$(shot caps-2)"
xdotool keyup z
xdotool key Caps_Lock
m=$(diff_outside "$(shot driven)" "$(shot caps-2)" "$NOTE_BOX")
e2e_note "Caps Lock: $(e2e_diff "$(shot driven)" "$(shot caps-2)") pixels of note, $m outside it"
[ "$m" = 0 ] || e2e_fail "z drove the robot with Caps Lock on"
e2e_game_alive || e2e_fail "the game is no longer running"
echo "PASS help_pause_test"
