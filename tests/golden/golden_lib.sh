# shellcheck shell=bash
# golden_lib.sh -- shared by the golden-image tests and the script that
# regenerates their kept pictures (source it, do not run it): a private Xvfb
# on a display it picks itself (-displayfd), Mesa's software renderer pinned
# so pictures do not depend on the machine's GPU, and a cleanup that stops
# only the X server started here, by its process id.

GOLDEN_XVFB_PID=""

golden_fail() {
    echo "FAIL: $*" >&2
    exit 1
}

golden_stop_xvfb() {
    if [ -n "$GOLDEN_XVFB_PID" ]; then
        kill "$GOLDEN_XVFB_PID" 2>/dev/null || true
        wait "$GOLDEN_XVFB_PID" 2>/dev/null || true
        GOLDEN_XVFB_PID=""
    fi
}

# Starts Xvfb with a 24-bit screen large enough for the 500 by 500 window at
# (100, 100) (GOLDEN_SCREEN, WxHxD, for another), waits for its display
# number, and exports DISPLAY with the renderer settings. $1 is a scratch
# folder for its log.
golden_start_xvfb() {
    local dir=$1 fdfile="$1/xvfb.display" num=""
    mkdir -p "$dir"
    : >"$fdfile"
    trap golden_stop_xvfb EXIT
    Xvfb -displayfd 9 -screen 0 "${GOLDEN_SCREEN:-1024x768x24}" -nolisten tcp \
        9>"$fdfile" >"$dir/xvfb.log" 2>&1 </dev/null &
    GOLDEN_XVFB_PID=$!
    for _ in $(seq 1 200); do
        num=$(head -n 1 "$fdfile" | tr -dc '0-9')
        [ -n "$num" ] && break
        kill -0 "$GOLDEN_XVFB_PID" 2>/dev/null || golden_fail "Xvfb died: $(cat "$dir/xvfb.log")"
        sleep 0.1
    done
    [ -n "$num" ] || golden_fail "Xvfb gave no display number in 20 s"
    export DISPLAY=":$num"
    unset XAUTHORITY
    # The software rasteriser, always the same one: llvmpipe gives the same
    # pixels with any number of threads, so the pictures are reproducible.
    export LIBGL_ALWAYS_SOFTWARE=1
    export GALLIUM_DRIVER=llvmpipe
}

# Plays one key script: golden_replay REPLAY SCRIPT OUTDIR TRACE [SEED [OPTION...]]
golden_replay() {
    "$1" --script "$2" --out "$3" --trace "$4" --seed "${5:-1}" "${@:6}"
}
