#!/usr/bin/env bash
# twins_test.sh GAME OUTDIR -- the keys that work on any keyboard, with real
# key events: é selects the chase camera, F5 the overhead map with its blue
# marker, the Up arrow drives the robot forward, F1 brings the surveillance
# camera back; and z released under Shift does not stay held.

GAME=${1:?usage: twins_test.sh GAME OUTDIR}
E2E_OUT=${2:?usage: twins_test.sh GAME OUTDIR}
HERE=$(cd "$(dirname "$0")" && pwd)
rm -rf "$E2E_OUT"
# shellcheck source=SCRIPTDIR/lib.sh
source "$HERE/lib.sh"

shot() { echo "$E2E_OUT/$1.png"; }

# Presses a mode key until the view changes, lets it go, and waits until the
# picture is at rest in the new mode, which must outlast the key.
select_mode() {
    local key=$1 from=$2 to=$3
    e2e_press_until_change "$key" "$(shot "$from")" "$(shot "$to-held")" 30
    e2e_wait_still "$(shot "$to")" 30
    [ "$(e2e_diff "$(shot "$from")" "$(shot "$to")")" -gt 1000 ] ||
        e2e_fail "$key: the view went back when the key was let go"
}

# --- first game: the camera twins and the Up arrow ---------------------------
e2e_start_xvfb
e2e_load_keymap
e2e_start_game "$GAME" --no-hint
e2e_find_window 60
e2e_wait_still "$(shot surveillance)" 60
read -r robot0 _ <<<"$(e2e_pixels "$(shot surveillance)" robot)"
read -r blue0 _ <<<"$(e2e_pixels "$(shot surveillance)" blue)"
e2e_note "surveillance: $robot0 robot pixels, $blue0 blue"
[ "$robot0" -ge 100 ] || e2e_fail "the robot is not in sight at start"

# é: the chase camera, close behind the robot, which fills much of the view.
select_mode eacute surveillance chase
read -r robot1 _ <<<"$(e2e_pixels "$(shot chase)" robot)"
e2e_note "chase: $robot1 robot pixels"
[ "$robot1" -ge 3000 ] && [ "$robot1" -ge $((robot0 * 5)) ] ||
    e2e_fail "eacute did not bring the robot close ($robot0 -> $robot1 pixels)"

# F5: the overhead map, with the robot's blue marker.
select_mode F5 chase map
marker0=$(e2e_pixels "$(shot map)" blue)
read -r blue1 _ <<<"$marker0"
read -r blueChase _ <<<"$(e2e_pixels "$(shot chase)" blue)"
e2e_note "map: marker $marker0 (blue pixels before: $blue0 surveillance, $blueChase chase)"
[ "$blue1" -ge 500 ] || e2e_fail "F5 shows no blue marker ($blue1 pixels)"
[ "$blue0" -lt 50 ] && [ "$blueChase" -lt 50 ] || e2e_fail "blue marker outside the map view"

# Up: the robot drives forward. At heading 0 its front faces -X, which the
# map, looking down with +Z up the screen, shows to the right.
xdotool keydown Up
t0=$SECONDS
while :; do
    e2e_shot "$(shot map-driving)"
    moved=$(e2e_moved "$marker0" "$(e2e_pixels "$(shot map-driving)" blue)")
    awk -v m="$moved" 'BEGIN { exit !(m >= 10) }' && break
    [ $((SECONDS - t0)) -ge 30 ] && break
done
xdotool keyup Up
e2e_wait_still "$(shot map-after)" 30
marker1=$(e2e_pixels "$(shot map-after)" blue)
e2e_note "map after Up: marker $marker1"
read -r n1 x1 y1 <<<"$marker1"
read -r _ x0 y0 <<<"$marker0"
[ "$n1" -ge 500 ] || e2e_fail "the marker left the map"
awk -v a="$x0" -v b="$x1" -v c="$y0" -v d="$y1" \
    'BEGIN { dx = b - a; dy = d - c; exit !(dx >= 10 && dy * dy < dx * dx / 4) }' ||
    e2e_fail "Up did not drive the robot forward: marker from ($x0, $y0) to ($x1, $y1)"

# F1: back to the surveillance camera, now looking at the robot's new place.
select_mode F1 map surveillance-again
read -r robot2 _ <<<"$(e2e_pixels "$(shot surveillance-again)" robot)"
read -r blue2 _ <<<"$(e2e_pixels "$(shot surveillance-again)" blue)"
e2e_note "surveillance again: $robot2 robot pixels, $blue2 blue"
[ "$robot2" -ge 100 ] && [ "$robot2" -lt 3000 ] && [ "$blue2" -lt 50 ] ||
    e2e_fail "F1 did not bring the surveillance view back"
[ "$(e2e_diff "$(shot surveillance)" "$(shot surveillance-again)")" -gt 1000 ] ||
    e2e_fail "the surveillance view is the one of the start: the robot did not move"
e2e_game_alive || e2e_fail "the game is no longer running"
e2e_stop_game

# --- second game: z released under Shift -------------------------------------
# Press z, press Shift, release z (X now reports Z), release Shift. Were z
# still held, the robot would drive until the trees ahead stop it, a few
# units from the start; so the robot must stand still and still be able to
# drive.
e2e_start_game "$GAME" --no-hint
e2e_find_window 60
e2e_wait_still "$(shot start)" 60
xdotool keydown z sleep 0.05 keydown Shift_L sleep 0.05 keyup z sleep 0.05 keyup Shift_L
e2e_wait_frames "$(e2e_frames)" 50 "after z was released under Shift"
e2e_shot "$(shot after-shift-1)"
e2e_wait_frames "$(e2e_frames)" 100 "after the first shot of z released under Shift"
e2e_shot "$(shot after-shift-2)"
n=$(e2e_diff "$(shot after-shift-1)" "$(shot after-shift-2)")
e2e_note "after z under Shift: $n pixels changed in 100 frames"
[ "$n" = 0 ] || e2e_fail "z stayed held after its release under Shift: the robot drives on"
xdotool keydown z
e2e_wait_change "$(shot after-shift-2)" "$(shot drives-again)" 30 200
xdotool keyup z
e2e_game_alive || e2e_fail "the game is no longer running"
echo "PASS twins_test"
