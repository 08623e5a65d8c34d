#!/usr/bin/env bash
# test.sh -- the one test command: installs what is missing, builds
# everything in build/ and runs every test there (unit, window, golden...),
# then builds the game for web browsers in build-web/ and tests it in
# headless Chromium (CLANKWISE_SKIP_WEB=1 skips that), then cross-builds for
# Windows in build-windows/ and runs its tests under wine
# (CLANKWISE_SKIP_WINDOWS=1 skips that), then builds the unit tests again
# with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/ and
# runs them. Every stage runs even when an earlier one failed, so one run
# shows all that is wrong; the exit status is non-zero if anything failed.
# Needs no display: the window tests start their own Xvfb.

set -uo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT" || exit 1
JOBS=$(nproc 2>/dev/null || echo 2)
START=$SECONDS
FAILED=()
SUMMARY=()
TOTAL_PASSED=0
TOTAL_FAILED=0

stage() {
    echo
    echo "==== $* ($((SECONDS - START)) s)"
}

# Runs ctest in a build folder with extra arguments, keeps its log beside
# it, and remembers its summary lines and whether it failed.
run_ctest() {
    local dir=$1 name=$2
    shift 2
    local log="$dir/ctest.log"
    ctest --test-dir "$dir" --output-on-failure "$@" 2>&1 | tee "$log"
    local rc=${PIPESTATUS[0]}
    local lines
    lines=$(grep -E 'tests passed|tests failed|Total Test time|No tests were found' "$log" || true)
    SUMMARY+=("$name: ${lines:-no summary from ctest}")
    [ "$rc" = 0 ] || FAILED+=("$name")
    # Totals over every ctest run, for the closing line.
    local counts
    counts=$(sed -nE 's/.*tests passed, ([0-9]+) tests? failed out of ([0-9]+).*/\1 \2/p' "$log" | tail -n 1)
    if [ -n "$counts" ]; then
        TOTAL_FAILED=$((TOTAL_FAILED + ${counts% *}))
        TOTAL_PASSED=$((TOTAL_PASSED + ${counts#* } - ${counts% *}))
    fi
    # ctest that found no test at all is a failure too.
    grep -q 'No tests were found' "$log" && FAILED+=("$name (no tests)")
    return 0
}

stage "dependencies"
bash scripts/deps.sh || { echo "test.sh: installing the dependencies failed" >&2; exit 1; }

stage "normal build in build/"
if cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCLANKWISE_SANITIZE=OFF &&
    cmake --build build -j"$JOBS"; then
    stage "every test of build/"
    run_ctest build "build/ all tests"
else
    FAILED+=("build/ configure or build")
fi

# ==== WEB BUILD IN HEADLESS CHROMIUM ==================================
# The game built for web browsers (build-web/, scripts/web.sh) and played in
# headless Chromium: every key script's trace and kept pictures, real keys,
# pacing (tests/web/web_test.py). It compares with the desktop build's
# pngdiff. CLANKWISE_SKIP_WEB=1 leaves it out (it installs emscripten and
# chromium, about 1.2 GB).
if [ "${CLANKWISE_SKIP_WEB:-0}" = 1 ]; then
    SUMMARY+=("build-web/ web page: skipped (CLANKWISE_SKIP_WEB=1)")
else
    stage "web build in build-web/ and its tests in headless Chromium"
    WEB_LOG=$(mktemp)
    bash scripts/web.sh --test --pngdiff build/tests/golden/pngdiff 2>&1 | tee "$WEB_LOG"
    if [ "${PIPESTATUS[0]}" = 0 ]; then
        SUMMARY+=("build-web/ web page: $(grep -c '^ok ' "$WEB_LOG") checks passed")
    else
        SUMMARY+=("build-web/ web page: $(grep -c '^FAIL ' "$WEB_LOG") checks failed, see above")
        FAILED+=("build-web/ web page")
    fi
    rm -f "$WEB_LOG"
fi
# ==== END OF WEB BUILD ========================================================

# ==== WINDOWS BUILD UNDER WINE ================================================
# The game cross-built for Windows in build-windows/ (scripts/windows.sh) and
# its tests run under wine (tests/windows/run.sh), against build/'s pictures
# tool and maths. CLANKWISE_SKIP_WINDOWS=1 leaves this stage out.
if [ "${CLANKWISE_SKIP_WINDOWS:-0}" = 1 ]; then
    SUMMARY+=("build-windows/: skipped (CLANKWISE_SKIP_WINDOWS=1)")
elif stage "Windows build in build-windows/ (mingw-w64)" && bash scripts/windows.sh; then
    stage "Windows tests under wine"
    if bash tests/windows/run.sh build-windows build build-windows/test-run; then
        SUMMARY+=("build-windows/ under wine: maths, unit tests, pad tests, bad input, 5 golden scripts and the game passed")
    else
        SUMMARY+=("build-windows/ under wine: failed, see its output above")
        FAILED+=("build-windows/ tests under wine")
    fi
else
    FAILED+=("build-windows/ build")
fi
# ==== END OF WINDOWS BUILD UNDER WINE =========================================

stage "sanitizer build in build-asan/ (AddressSanitizer + UndefinedBehaviorSanitizer)"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
if cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCLANKWISE_SANITIZE=ON &&
    cmake --build build-asan -j"$JOBS" --target unit_tests; then
    stage "unit tests of build-asan/"
    run_ctest build-asan "build-asan/ unit tests" -L unit
else
    FAILED+=("build-asan/ configure or build")
fi

# ==== BOUNDED FUZZ RUN ========================================================
# The key and frame fuzz target (fuzz/), built with clang in build-fuzz/ and
# run for 45 s from the kept corpus in fuzz/corpus/; fuzz/run.sh tells more.
stage "fuzz target in build-fuzz/ (libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer, 45 s)"
FUZZ_LOG=$(mktemp)
bash fuzz/run.sh 45 2>&1 | tee "$FUZZ_LOG"
if [ "${PIPESTATUS[0]}" = 0 ]; then
    SUMMARY+=("build-fuzz/ fuzz target: no failure in 45 s, $(awk '/number_of_executed_units/ { print $2 }' "$FUZZ_LOG") inputs run")
else
    SUMMARY+=("build-fuzz/ fuzz target: failed, see its output above")
    FAILED+=("build-fuzz/ fuzz target")
fi
rm -f "$FUZZ_LOG"
# ==== END OF BOUNDED FUZZ RUN =================================================

stage "summary"
for line in "${SUMMARY[@]}"; do
    echo "$line"
done
echo "duration: $((SECONDS - START)) s"
echo "ctest: $TOTAL_PASSED passed, $TOTAL_FAILED failed"
if [ "${#FAILED[@]}" != 0 ]; then
    printf 'FAILED: %s\n' "${FAILED[@]}"
    exit 1
fi
echo "ALL PASSED"
