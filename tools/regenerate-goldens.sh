#!/usr/bin/env bash
# regenerate-goldens.sh -- rewrites the golden tests' kept pictures
# (tests/golden/images/<script>/) and state traces (tests/golden/traces/)
# from the current game, and the README's camera pictures in docs/ (the
# tour's shots). Run it only after a change that is meant to alter the look
# or the behaviour of the game; then look at every new picture and read the
# trace diff (git diff --stat, git difftool) before committing them.
#
#   tools/regenerate-goldens.sh [--build DIR | --replay PATH]
#
# By default it builds the replay tool in build/ first. It starts its own
# Xvfb with the same software renderer as the tests.

set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD="$ROOT/build"
REPLAY=""
while [ $# -gt 0 ]; do
    case $1 in
        --build) BUILD=$(realpath -m "$2"); shift 2 ;;
        --replay) REPLAY=$(realpath "$2"); shift 2 ;;
        *) echo "usage: $0 [--build DIR | --replay PATH]" >&2; exit 2 ;;
    esac
done
if [ -z "$REPLAY" ]; then
    cmake -S "$ROOT" -B "$BUILD" >/dev/null
    cmake --build "$BUILD" --target replay
    REPLAY="$BUILD/tools/replay"
fi

# shellcheck source=SCRIPTDIR/../tests/golden/golden_lib.sh
source "$ROOT/tests/golden/golden_lib.sh"
SCRATCH=$(mktemp -d)
golden_start_xvfb "$SCRATCH"
trap 'golden_stop_xvfb; rm -rf "$SCRATCH"' EXIT

GOLDEN="$ROOT/tests/golden"
mkdir -p "$GOLDEN/traces" "$GOLDEN/images"
for keys in "$ROOT"/tools/scripts/*.keys; do
    name=$(basename "$keys" .keys)
    rm -rf "${GOLDEN:?}/images/$name"
    golden_replay "$REPLAY" "$keys" "$GOLDEN/images/$name" "$GOLDEN/traces/$name.trace"
    pictures=("$GOLDEN/images/$name"/*.png)
    echo "$name: ${#pictures[@]} pictures, $(wc -l <"$GOLDEN/traces/$name.trace") frames"
done

mkdir -p "$ROOT/docs"
cp "$GOLDEN"/images/tour/camera-*.png "$ROOT/docs/"
cp "$GOLDEN"/images/ring/ring-slide.png "$ROOT/docs/"
echo "docs:" "$ROOT"/docs/*.png
echo "now look at the pictures and the trace diff before committing"
