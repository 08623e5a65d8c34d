#!/usr/bin/env bash
# run.sh [SECONDS] -- builds the fuzz target with clang in build-fuzz/ (or
# $FUZZ_BUILD_DIR) and fuzzes for SECONDS (45 by default), starting from the
# kept corpus in fuzz/corpus/. New inputs go to a scratch folder that is
# removed at the end, so the kept corpus only changes by hand
# (fuzz/make_corpus.py writes its scripted seeds). Exits non-zero if the
# build fails or the fuzzer finds an input that breaks a rule; that input is
# then kept as crash-* in build-fuzz/ and can be replayed with
#   build-fuzz/fuzz/clankwise_fuzz build-fuzz/crash-...

set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
SECONDS_TO_RUN=${1:-45}
BUILD=${FUZZ_BUILD_DIR:-$ROOT/build-fuzz}
CXX_CLANG=${FUZZ_CXX:-$(command -v clang++ || true)}
[ -n "$CXX_CLANG" ] || { echo "run.sh: no clang++ found" >&2; exit 1; }

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER="$CXX_CLANG" -DCLANKWISE_FUZZ=ON -DBUILD_TESTING=ON >/dev/null
cmake --build "$BUILD" --target clankwise_fuzz -j"$(nproc 2>/dev/null || echo 2)"

SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
mkdir "$SCRATCH/new"

# The kept corpus is read first, so an input of it that breaks a rule fails
# the run before any mutation.
set +e
"$BUILD/fuzz/clankwise_fuzz" -max_total_time="$SECONDS_TO_RUN" -timeout=30 \
    -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$BUILD/" \
    "$SCRATCH/new" "$ROOT/fuzz/corpus" >"$SCRATCH/fuzz.log" 2>&1
status=$?
set -e
# The progress lines are many; the rest tells what happened.
grep -vE '^#[0-9]+[[:space:]]+(NEW|REDUCE|pulse)[[:space:]]' "$SCRATCH/fuzz.log" | tail -n 60
if [ "$status" != 0 ]; then
    echo "run.sh: the fuzzer found a failing input (status $status); see crash-* in $BUILD" >&2
    exit 1
fi
echo "run.sh: no failure in $SECONDS_TO_RUN s"
