#!/usr/bin/env bash
# golden.sh -- the golden tests of one key script, run under a private Xvfb
# with Mesa's software renderer:
#
#   golden.sh images      REPLAY PNGDIFF SCRIPT WORKDIR
#       every picture the script marks matches its kept picture in
#       images/<script>/ within the tolerance of pngdiff, and no picture is
#       missing on either side;
#   golden.sh trace       REPLAY PNGDIFF SCRIPT WORKDIR
#       the state lines equal the kept traces/<script>.trace byte for byte;
#   golden.sh determinism REPLAY PNGDIFF SCRIPT WORKDIR
#       two runs give the same trace and pixel-identical pictures;
#   golden.sh kept        REPLAY PNGDIFF SCRIPT WORKDIR
#       images and trace from one run (for slow runs, such as under wine);
#   golden.sh immediate   REPLAY PNGDIFF SCRIPT WORKDIR
#       the designed drawing (--immediate: every call, no display list, no
#       culling) gives the kept pictures and the kept trace too, so both
#       drawings agree.
#
# A failing comparison leaves the pictures, the trace and a picture of the
# differing pixels (*.diff.png, in red) in WORKDIR.

set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=SCRIPTDIR/golden_lib.sh
source "$HERE/golden_lib.sh"

[ $# = 5 ] || golden_fail "usage: golden.sh images|trace|determinism REPLAY PNGDIFF SCRIPT WORKDIR"
MODE=$1 REPLAY=$2 PNGDIFF=$3 SCRIPT=$4 WORK=$5
NAME=$(basename "$SCRIPT" .keys)
KEPT_IMAGES="$HERE/images/$NAME"
KEPT_TRACE="$HERE/traces/$NAME.trace"

rm -rf "$WORK"
mkdir -p "$WORK"
golden_start_xvfb "$WORK"

# Each kept picture against the new one, and no shot without a kept picture.
# Extra arguments go to the replay tool.
check_images() {
    local out="$WORK/run" failed=0 kept shot name
    golden_replay "$REPLAY" "$SCRIPT" "$out" "$WORK/run.trace" 1 "$@" || golden_fail "replay failed"
    [ -d "$KEPT_IMAGES" ] || golden_fail "no kept pictures in $KEPT_IMAGES"
    for kept in "$KEPT_IMAGES"/*.png; do
        name=$(basename "$kept" .png)
        if [ ! -f "$out/$name.png" ]; then
            echo "missing: the script no longer writes $name.png"
            failed=1
        elif ! "$PNGDIFF" --diff "$out/$name.diff.png" "$kept" "$out/$name.png"; then
            failed=1
        fi
    done
    for shot in "$out"/*.png; do
        case $shot in *.diff.png) continue ;; esac
        name=$(basename "$shot")
        [ -f "$KEPT_IMAGES/$name" ] || { echo "no kept picture for $name"; failed=1; }
    done
    [ "$failed" = 0 ] || golden_fail "pictures differ from $KEPT_IMAGES (see $out)"
}

# The trace of the last run (check_images's, when given "kept") or of a new one.
check_trace() {
    [ "${1:-}" = kept ] ||
        golden_replay "$REPLAY" "$SCRIPT" "$WORK/run" "$WORK/run.trace" || golden_fail "replay failed"
    [ -f "$KEPT_TRACE" ] || golden_fail "no kept trace $KEPT_TRACE"
    if ! diff -u "$KEPT_TRACE" "$WORK/run.trace" >"$WORK/trace.diff"; then
        head -n 40 "$WORK/trace.diff"
        golden_fail "trace differs from $KEPT_TRACE (diff in $WORK/trace.diff)"
    fi
    echo "trace: $(wc -l <"$WORK/run.trace") lines equal to $KEPT_TRACE"
}

check_determinism() {
    local a="$WORK/first" b="$WORK/second" shot count=0
    golden_replay "$REPLAY" "$SCRIPT" "$a" "$WORK/first.trace" || golden_fail "first run failed"
    golden_replay "$REPLAY" "$SCRIPT" "$b" "$WORK/second.trace" || golden_fail "second run failed"
    cmp "$WORK/first.trace" "$WORK/second.trace" || golden_fail "the two traces differ"
    for shot in "$a"/*.png; do
        [ -f "$b/$(basename "$shot")" ] || golden_fail "second run lacks $(basename "$shot")"
        "$PNGDIFF" --threshold 0 --max-share 0 "$shot" "$b/$(basename "$shot")" ||
            golden_fail "pictures of the two runs differ"
        count=$((count + 1))
    done
    [ "$count" -gt 0 ] || golden_fail "the script wrote no picture"
    echo "determinism: equal traces ($(wc -l <"$WORK/first.trace") lines), $count identical pictures"
}

case $MODE in
    images) check_images ;;
    trace) check_trace ;;
    determinism) check_determinism ;;
    kept) check_images && check_trace kept ;;
    immediate) check_images --immediate && check_trace kept ;;
    *) golden_fail "unknown mode $MODE" ;;
esac
