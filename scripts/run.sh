#!/usr/bin/env bash
# run.sh -- the one run command: installs what is missing, builds the game in
# build/ and starts it. With a reachable display the game opens its window
# there and runs until the window is closed (arguments go to GLUT). Without
# one, the game runs for a few seconds in a private Xvfb, and a screenshot of
# its window is left in out/clankwise.png; then the replay tool plays the
# tour of the five cameras (tools/scripts/tour.keys) in the same Xvfb and
# leaves one picture per camera mode (out/camera-*.png) and an animated GIF
# of the tour (out/tour.gif). Every path is printed.

set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
OUT="$ROOT/out"
SHOT="$OUT/clankwise.png"
SECONDS_TO_RUN=4

build_game() {
    bash scripts/deps.sh
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build -j"$(nproc 2>/dev/null || echo 2)" --target clankwise replay framecount
}

display_reachable() {
    [ -n "${DISPLAY:-}" ] && xset q >/dev/null 2>&1
}

# What the game does without a display, once its window is up: it runs on its
# own for a few seconds, then its window is saved as a picture.
headless_show() {
    sleep "$SECONDS_TO_RUN"
    e2e_wait_still "$E2E_OUT/still.png" 30
    cp "$E2E_OUT/still.png" "$SHOT"
}

# The game in a private Xvfb (the window tests' helpers start it, give it
# the keymap of the mode keys, and stop all of it on exit by process id).
headless_run() {
    E2E_OUT="$OUT/run"
    rm -rf "$E2E_OUT"
    # The window tests' helpers tell a still picture by frames shown, which
    # a preloaded counter reports.
    export CLANKWISE_FRAMECOUNT="$ROOT/build/bench/libframecount.so"
    # shellcheck source=SCRIPTDIR/../tests/e2e/lib.sh
    source "$ROOT/tests/e2e/lib.sh"
    e2e_start_xvfb
    e2e_load_keymap
    e2e_start_game "$ROOT/build/clankwise"
    e2e_find_window 60
    headless_show
    e2e_game_alive || e2e_fail "the game stopped by itself"
    e2e_stop_game
    cat "$E2E_OUT/game.stdout"
    echo "no display: ran the game under Xvfb; screenshot of its window:"
    echo "$SHOT"
    headless_tour
}

# The tour, played frame by frame by the replay tool in the same Xvfb with
# Mesa's software renderer: its camera shots, and every 4th frame (read at
# half size) for the GIF, shown at half the game's speed.
headless_tour() {
    local tour="$OUT/tour"
    rm -rf "$tour" "$OUT"/camera-*.png "$OUT/tour.gif"
    LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe "$ROOT/build/tools/replay" \
        --script "$ROOT/tools/scripts/tour.keys" --out "$tour" --every 4
    cp "$tour"/camera-*.png "$OUT/"
    convert -delay 8 -loop 0 "$tour/frame-*.png[250x250]" -layers Optimize "$OUT/tour.gif"
    echo "the tour of the five cameras: one picture per camera mode and an animated GIF:"
    ls -1 "$OUT"/camera-*.png "$OUT/tour.gif"
}

build_game
mkdir -p "$OUT"
if display_reachable; then
    exec "$ROOT/build/clankwise" "$@"
fi
headless_run
