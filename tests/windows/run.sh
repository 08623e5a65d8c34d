#!/usr/bin/env bash
# run.sh -- the Windows build's tests under wine, after scripts/windows.sh:
# the maths library over the game's angles, bit for bit the Linux build's
# (math_walks); the unit tests; the pads through SDL2 with a virtual pad;
# the replay tool's refusals of bad input; the
# golden key scripts through clankwise-replay.exe (traces byte for byte,
# pictures within pngdiff's tolerance); the game itself in Xvfb
# (wine_game.sh). NATIVE_BUILD is the Linux build (pngdiff, math_walks).
# Each part runs even when an earlier one failed; exits non-zero if any did.
#
#   run.sh WINDOWS_BUILD NATIVE_BUILD WORKDIR

set -uo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
[ $# = 3 ] || { echo "usage: run.sh WINDOWS_BUILD NATIVE_BUILD WORKDIR" >&2; exit 2; }
WIN=$(cd "$1" && pwd)
NATIVE=$(cd "$2" && pwd)
PNGDIFF=$NATIVE/tests/golden/pngdiff
WORK=$3
rm -rf "$WORK"
mkdir -p "$WORK"

# A prefix of the build's own, made on first use; no Mono or Gecko prompt,
# and wine's own messages left out of the tests' output.
# wine's own sound drivers are left out: on a machine with no sound card,
# wine's ALSA driver says so on stderr, which the game's test would read as
# the game's own words; the game then finds no sound device, as on a
# Windows machine without one.
export WINEPREFIX=$WIN/wine WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winealsa.drv,winepulse.drv,wineoss.drv="
FAILED=()

# The tools as commands the shell test scripts can run.
for tool in replay record; do
    printf '#!/bin/sh\nexec wine "%s" "$@"\n' "$WIN/tools/$tool.exe" >"$WORK/$tool"
    chmod +x "$WORK/$tool"
done

# Runs one part. Wine's server keeps the display its first program had, and
# each part has an X server of its own (or none): the server is let go
# before the next part.
part() {
    local name=$1
    shift
    echo "--- $name"
    "$@" || FAILED+=("$name")
    wineserver -w
}

# The two builds' maths over the same values, line by line.
same_maths() {
    "$NATIVE/tests/math_walks" >"$WORK/maths.linux" || return 1
    wine "$WIN/tests/math_walks.exe" | tr -d '\r' >"$WORK/maths.windows" || return 1
    local lines differing
    lines=$(wc -l <"$WORK/maths.linux")
    differing=$(paste -d '\n' "$WORK/maths.linux" "$WORK/maths.windows" | paste - - -d ' ' |
        awk '{ h = NF / 2; for (k = 1; k <= h; k++) if ($k != $(k + h)) { n++; break } } END { print n + 0 }')
    echo "maths: $differing of $lines lines differ between the Linux and the Windows build"
    [ "$lines" -gt 0 ] && [ "$differing" = 0 ] && cmp -s "$WORK/maths.linux" "$WORK/maths.windows"
}

part "maths" same_maths
part "unit tests" wine "$WIN/tests/unit_tests.exe"
part "pad tests" wine "$WIN/tests/pad/pad_sdl_tests.exe"
part "replay bad input" bash "$ROOT/tests/golden/bad_input.sh" "$WORK/replay" "$WORK/bad_input" "$WORK/record"
for script in tour ring fell punch freecam; do
    part "golden $script" bash "$ROOT/tests/golden/golden.sh" kept "$WORK/replay" "$PNGDIFF" \
        "$ROOT/tools/scripts/$script.keys" "$WORK/golden_$script"
done
# The game with OpenAL32.dll beside it, as the zip has it, and with no
# audio library at all: the same game, silent.
game_with() {
    local dir=$WORK/$1
    mkdir -p "$dir/exe"
    cp "$WIN/tests/clankwise_counted.exe" "$dir/exe/" || return 1
    if [ "${2:-}" = dll ]; then
        cp "$WIN/deps/prefix/bin/OpenAL32.dll" "$dir/exe/" || return 1
    fi
    bash "$HERE/wine_game.sh" "$dir/exe/clankwise_counted.exe" "$PNGDIFF" "$dir/run"
}
GAMES="without its audio library"
if [ -f "$WIN/deps/prefix/bin/OpenAL32.dll" ]; then
    part "the game with OpenAL32.dll" game_with game dll
    GAMES="with and without its audio library"
else
    echo "--- the game with OpenAL32.dll: not run, the build has no OpenAL32.dll"
fi
part "the game with no audio library" game_with game_silent

if [ "${#FAILED[@]}" != 0 ]; then
    printf 'windows: FAILED: %s\n' "${FAILED[@]}"
    exit 1
fi
echo "windows: maths, unit tests, pad tests, bad input, 5 golden scripts and the game ($GAMES) passed under wine"
