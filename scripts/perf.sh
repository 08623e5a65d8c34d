#!/bin/bash
# perf.sh -- measures what a frame of Clankwise costs and prints the table:
#   1. the game's own logic, timed against a GL that does nothing
#      (bench/logicbench: the movement step of each kind, the dearest frame);
#   2. real frames under Mesa's software renderer in Xvfb, display() back to
#      back with glFinish after each (bench/framebench), in the default
#      drawing and, alternated with it, in the designed one
#      (CLANKWISE_IMMEDIATE=1);
#   3. the floor: the same frames' GL calls recorded by apitrace and timed
#      in replay by glretrace, against our own frame time;
#   4. the real game's achieved frame rate over 10 seconds, counted from
#      outside by a preloaded wrapper of glutSwapBuffers (bench/framecount).
#
# Usage: scripts/perf.sh [build-dir]
#   PERF_DISPLAY  X display number for Xvfb (default 80)
#   PERF_FRAMES   timed frames per scene in framebench (default 200)
# Figures only: nothing here fails on a time. Run it on a quiet machine.
# The split of a frame by library needs perf (Debian: linux-perf) and is
# left out without it.

set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$ROOT/build-perf}
DISPLAY_NUM=${PERF_DISPLAY:-80}
FRAMES=${PERF_FRAMES:-200}
FEW=5        # frames per scene in the short trace
MANY=25      # frames per scene in the long trace
FPS_SECONDS=10

WORK=$(mktemp -d)
XVFB_PID=
GAME_PID=

# Stops what this script started, by process id, and removes the traces.
cleanup() {
    if [ -n "$GAME_PID" ]; then kill "$GAME_PID" 2>/dev/null || true; fi
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
    rm -rf "$WORK"
}
trap cleanup EXIT

log() { echo "perf.sh: $*" >&2; }

# --- build -------------------------------------------------------------------
bash "$ROOT/scripts/deps.sh" >&2
log "building (Release) in $BUILD"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j2 --target clankwise logicbench framebench framecount >/dev/null

# --- X server ----------------------------------------------------------------
export DISPLAY=:$DISPLAY_NUM
if xset q >/dev/null 2>&1; then
    log "display $DISPLAY is already taken; set PERF_DISPLAY"
    exit 1
fi
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
XVFB_PID=$!
for _ in $(seq 1 50); do
    xset q >/dev/null 2>&1 && break
    sleep 0.1
done

LOAD_BEFORE=$(cut -d' ' -f1-3 /proc/loadavg)

# --- 1. the game's own logic ---------------------------------------------------
log "logic benchmarks"
"$BUILD/bench/logicbench" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_color=false \
    >"$WORK/logic.txt" 2>/dev/null
# Median CPU time in ns of one benchmark (single-threaded work: CPU time is
# what the logic costs, whatever else the machine runs). The console lines
# read: name, real time, unit, CPU time, unit, iterations, counters.
logic_ns() {
    awk -v n="$1_median" '
        $1 == n { f = ($5 == "us") ? 1e3 : ($5 == "ms") ? 1e6 : 1; print $4 * f }' \
        "$WORK/logic.txt"
}
if grep -q 'ERROR OCCURRED' "$WORK/logic.txt"; then
    grep 'ERROR OCCURRED' "$WORK/logic.txt" >&2
fi
ALLOCS=$(awk '$1 == "BM_WorstCaseFrameNoGL_median" {
    for (i = 1; i <= NF; i++) if ($i ~ /^allocs_per_frame=/) { sub(/.*=/, "", $i); print $i } }' \
    "$WORK/logic.txt")
BULLET_NS=$(logic_ns BM_MoveBullet)
CHASE_NS=$(logic_ns BM_MoveChaseProbe)
STEP_NS=$(logic_ns BM_MoveStepProbe)
ROBOT_NS=$(logic_ns BM_MoveRobot)
WORST_NS=$(logic_ns BM_WorstCaseFrameLogic)
NOGL_NS=$(logic_ns BM_WorstCaseFrameNoGL)
RESTORE_NS=$(logic_ns BM_RestoreWorld)

# --- 2. real frames under Mesa ------------------------------------------------
log "frame benchmark, $FRAMES frames per scene"
"$BUILD/bench/framebench" --frames "$FRAMES" --warmup 10 >"$WORK/frames.txt"
RENDERER=$(sed -n 's/^GL_RENDERER //p' "$WORK/frames.txt")
GLVERSION=$(sed -n 's/^GL_VERSION *//p' "$WORK/frames.txt")
frame_ms() { awk -v c="$1" '$1 == c { print $(NF - 4) }' "$WORK/frames.txt"; }

# --- 2b. the default drawing against the designed one -------------------------
# The same frames drawn from display lists with unseen trees skipped (the
# default) and call by call (CLANKWISE_IMMEDIATE=1), alternated three times
# so both meet the same machine; per scene the median of the three medians.
declare -A DRAW_MS DRAW_HEAP
for round in 1 2 3; do
    for mode in default immediate; do
        log "frame benchmark, $mode drawing, round $round"
        if [ "$mode" = immediate ]; then
            CLANKWISE_IMMEDIATE=1 "$BUILD/bench/framebench" --frames "$FRAMES" --warmup 10 >"$WORK/draw.txt"
        else
            "$BUILD/bench/framebench" --frames "$FRAMES" --warmup 10 >"$WORK/draw.txt"
        fi
        for scene in a b c; do
            DRAW_MS[$mode$scene]+="$(awk -v c="$scene" '$1 == c { print $(NF - 4) }' "$WORK/draw.txt") "
        done
        DRAW_HEAP[$mode]=$(awk '$1 == "heap_grown_kib" { print $2 }' "$WORK/draw.txt")
    done
done
draw_ms() { echo "${DRAW_MS[$1$2]}" | tr ' ' '\n' | grep . | sort -g | sed -n 2p; }

# --- 3. the replay of the same frames -----------------------------------------
# Two traces per scene, of FEW and MANY timed frames; the replay's cost of one
# frame is the difference of their replay times over the difference of their
# frames, which takes start-up, window and warm-up out. Each replay runs three
# times; the median counts.
replay_seconds() {
    for _ in 1 2 3; do
        glretrace --benchmark --sb "$1" 2>&1 |
            sed -n 's/^Rendered .* frames in \([0-9.]*\) secs.*/\1/p'
    done | sort -g | sed -n 2p
}
for scene in a b c; do
    for n in $FEW $MANY; do
        log "tracing scene $scene, $n frames"
        apitrace trace -o "$WORK/$scene$n.trace" "$BUILD/bench/framebench" \
            --frames "$n" --warmup 2 --case "$scene" >/dev/null 2>&1
    done
done
declare -A REPLAY_MS REPLAY_SHARE
for scene in a b c; do
    log "replaying scene $scene"
    few=$(replay_seconds "$WORK/$scene$FEW.trace")
    many=$(replay_seconds "$WORK/$scene$MANY.trace")
    REPLAY_MS[$scene]=$(awk -v a="$few" -v b="$many" -v n=$((MANY - FEW)) \
        'BEGIN { printf "%.3f", (b - a) * 1000 / n }')
    if command -v perf >/dev/null 2>&1; then
        perf record -q -o "$WORK/perf.data" glretrace --benchmark --sb \
            "$WORK/$scene$MANY.trace" >/dev/null 2>&1 || true
        REPLAY_SHARE[$scene]=$(perf report -i "$WORK/perf.data" --no-children \
            --sort dso -g none 2>/dev/null | awk '
            /^ *[0-9.]+%/ { p = $1 + 0; $1 = ""; d = $0
                if (d ~ /glretrace|libstdc|libsnappy|libz/) own += p
                else if (d ~ /libc\./) libc += p
                else mesa += p }
            END { printf "Mesa+kernel %.1f%%, glretrace decoding %.1f%%, libc %.1f%%", mesa, own, libc }')
        rm -f "$WORK/perf.data"
    fi
    rm -f "$WORK/$scene$FEW.trace" "$WORK/$scene$MANY.trace"
done

# --- 3b. where our frames go ------------------------------------------------
# Samples of framebench by library, grouped: Mesa (with its JIT code, the GL
# dispatch and the kernel work it causes), GLUT and GLU building their solids
# (with libm), the C library (malloc and free of freeglut's per-solid buffers,
# Mesa's copies), and the game's own code. Then the same samples by thread:
# the game's own (GL calls, vertex shading, triangle set-up and binning) and
# llvmpipe's rasteriser threads (pixels).
declare -A SHARE THREADS
if command -v perf >/dev/null 2>&1; then
    for scene in a b c; do
        log "sampling scene $scene with perf"
        perf record -q -o "$WORK/perf.data" "$BUILD/bench/framebench" \
            --frames 60 --warmup 5 --case "$scene" >/dev/null 2>&1 || true
        SHARE[$scene]=$(perf report -i "$WORK/perf.data" --no-children --sort dso \
            -g none 2>/dev/null | awk '
            /^ *[0-9.]+%/ { p = $1 + 0; $1 = ""; d = $0
                if (d ~ /framebench/) game += p
                else if (d ~ /libglut|libGLU|libm\./) solids += p
                else if (d ~ /libc\./) libc += p
                else mesa += p }
            END { printf "Mesa+kernel %.1f%%, GLUT/GLU solids %.1f%%, libc %.1f%%, game %.2f%%",
                  mesa, solids, libc, game }')
        THREADS[$scene]=$(perf report -i "$WORK/perf.data" --no-children --sort comm \
            -g none 2>/dev/null | awk '
            /^ *[0-9.]+%/ { p = $1 + 0; if ($2 ~ /^llvmpipe/) raster += p; else main += p }
            END { printf "game thread %.0f%% (GL calls, vertices, triangle set-up), rasteriser threads %.0f%%",
                  main, raster }')
        rm -f "$WORK/perf.data"
    done
fi

# --- 4. the real game's frame rate -------------------------------------------
# key: a key to hold for a moment once the window is up ("" for none); the
# game reads held keys once per frame, so a bare press and release could
# fall between two frames.
game_fps() {
    local key=$1 out="$WORK/fps.txt"
    rm -f "$out"
    LD_PRELOAD="$BUILD/bench/libframecount.so" FRAMECOUNT_SKIP=2 \
        FRAMECOUNT_SECONDS=$FPS_SECONDS FRAMECOUNT_OUT="$out" \
        "$BUILD/clankwise" --no-hint >/dev/null 2>&1 &
    GAME_PID=$!
    if [ -n "$key" ]; then
        local win
        win=$(xdotool search --sync --name '^Clankwise$' | head -1)
        xdotool windowfocus --sync "$win" keydown "$key" sleep 0.3 keyup "$key"
    fi
    for _ in $(seq 1 $((FPS_SECONDS * 4 + 40))); do
        [ -s "$out" ] && break
        sleep 0.5
    done
    kill "$GAME_PID" 2>/dev/null || true
    wait "$GAME_PID" 2>/dev/null || true
    GAME_PID=
    awk '{ print $6 }' "$out" 2>/dev/null || echo "?"
}
log "real game, ${FPS_SECONDS} s as it starts (surveillance camera)"
FPS_START=$(game_fps "")
log "real game, ${FPS_SECONDS} s in the overhead map (F5)"
FPS_MAP=$(game_fps F5)
log "real game, designed drawing, as it starts and in the map"
FPS_START_IMM=$(CLANKWISE_IMMEDIATE=1 game_fps "")
FPS_MAP_IMM=$(CLANKWISE_IMMEDIATE=1 game_fps F5)

LOAD_AFTER=$(cut -d' ' -f1-3 /proc/loadavg)

# --- the table ---------------------------------------------------------------
CPU=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)
MESA=$(echo "$GLVERSION" | sed -n 's/.*\(Mesa [0-9.]*\).*/\1/p')
f() { awk "BEGIN { printf \"$1\", $2 }"; }

echo
echo "Machine: $(nproc) cores, $CPU; $MESA, $RENDERER"
echo "Load average (1, 5, 15 min): before $LOAD_BEFORE, after $LOAD_AFTER"
echo
echo "| Measure | Figure | Against |"
echo "|---|---|---|"
echo "| moveEn kind 1 (bullet), 211 trees | $(f %.0f "$BULLET_NS") ns | |"
echo "| moveEn kind 2 (chase probe), 211 trees | $(f %.0f "$CHASE_NS") ns | |"
echo "| moveEn kind 3 (step probe), 211 trees | $(f %.0f "$STEP_NS") ns | |"
echo "| moveEn kind 0 (robot, draws 211 trees into a no-op GL) | $(f %.0f "$ROBOT_NS") ns | |"
echo "| Worst-case frame logic (shot, 20 chase probes, 66 bullets) | $(f %.1f "$WORST_NS / 1000") us = $(f %.3f "$WORST_NS / 1e5")% of 10 ms | target 30 us: $(f %.0f "(30000 - $WORST_NS) / 300")% under |"
echo "| Whole display() of that frame into a no-op GL | $(f %.1f "$NOGL_NS / 1000") us = $(f %.2f "$NOGL_NS / 1e5")% of 10 ms | |"
echo "| (state restore included in both, per frame) | $(f %.2f "$RESTORE_NS / 1000") us | |"
echo "| Heap allocations by the game's own code per frame | ${ALLOCS:-?} | none allowed |"
for scene in a b c; do
    case $scene in
        a) name="surveillance camera, still" ;;
        b) name="chase camera, 66 bullets" ;;
        c) name="overhead map" ;;
    esac
    ours=$(frame_ms $scene)
    replay=${REPLAY_MS[$scene]}
    echo "| Frame ($scene) $name, Mesa | $ours ms median = $(f %.0f "$ours * 10")% of 10 ms | replay $replay ms: ours/replay $(f %.3f "$ours / $replay") |"
done
for scene in a b c; do
    if [ -n "${SHARE[$scene]:-}" ]; then
        echo "| Frame ($scene) by library (perf samples) | ${SHARE[$scene]} | replay: ${REPLAY_SHARE[$scene]:-?} |"
        echo "| Frame ($scene) by thread (perf samples) | ${THREADS[$scene]} | |"
    fi
done
echo "| Real game, as started (surveillance), ${FPS_SECONDS} s | $FPS_START frames/s | designed 100; designed drawing $FPS_START_IMM |"
echo "| Real game, overhead map, ${FPS_SECONDS} s | $FPS_MAP frames/s | designed 100; designed drawing $FPS_MAP_IMM |"
echo
echo "Default drawing (display lists, unseen trees skipped, one-stack trees out of the light) against the designed"
echo "one (CLANKWISE_IMMEDIATE=1), framebench medians, alternated three times:"
echo
echo "| Scene | Default | Designed (immediate) | Default / designed |"
echo "|---|---|---|---|"
for scene in a b c; do
    d=$(draw_ms default $scene) i=$(draw_ms immediate $scene)
    echo "| ($scene) | $d ms | $i ms | $(f %.2f "$d / $i") |"
done
echo
echo "Heap in use grown over framebench's three scenes (last round): default"
echo "drawing ${DRAW_HEAP[default]:-?} KiB (the lists and Mesa's buffers), designed drawing"
echo "${DRAW_HEAP[immediate]:-?} KiB (Mesa's buffers alone)."
