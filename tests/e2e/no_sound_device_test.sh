#!/usr/bin/env bash
# no_sound_device_test.sh GAME OUTDIR -- the game with no sound device to
# play on: OpenAL Soft's null output, a driver that does not exist (nothing
# opens) and whatever this machine has (often nothing, as on a server), and
# muted. Each time the game draws, drives, quits on Escape with status 0 and
# writes nothing to stderr.

GAME=${1:?usage: no_sound_device_test.sh GAME OUTDIR}
E2E_OUT=${2:?usage: no_sound_device_test.sh GAME OUTDIR}
HERE=$(cd "$(dirname "$0")" && pwd)
rm -rf "$E2E_OUT"
# shellcheck source=SCRIPTDIR/lib.sh
source "$HERE/lib.sh"

e2e_start_xvfb
e2e_load_keymap

# One run: ALSOFT_DRIVERS (unset when "machine"), then the game's arguments.
play_silently() {
    local drivers=$1 name=$1
    shift
    [ $# -gt 0 ] && name="$name$*"
    if [ "$drivers" = machine ]; then
        unset ALSOFT_DRIVERS
    else
        export ALSOFT_DRIVERS=$drivers
    fi
    e2e_start_game "$GAME" --no-hint "$@"
    e2e_find_window 60
    e2e_wait_still "$E2E_OUT/$name-rest.png" 60
    xdotool keydown z
    e2e_wait_change "$E2E_OUT/$name-rest.png" "$E2E_OUT/$name-driving.png" 30 200
    xdotool keyup z
    xdotool key --window "$E2E_WIN" Escape
    e2e_wait_exit "Escape with ALSOFT_DRIVERS=$drivers $*"
    [ "$E2E_STATUS" = 0 ] || e2e_fail "$name: exit status $E2E_STATUS"
    [ -s "$E2E_OUT/game.stderr" ] &&
        e2e_fail "$name: stderr is not empty: $(head -c 400 "$E2E_OUT/game.stderr")"
    e2e_note "$name: drew, drove, quit with status 0 and an empty stderr"
}

for drivers in null no-such-driver machine; do
    play_silently "$drivers"
done
play_silently null --mute
echo "PASS no_sound_device_test"
