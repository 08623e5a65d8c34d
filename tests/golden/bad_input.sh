#!/usr/bin/env bash
# bad_input.sh -- the replay tool refuses bad input before it opens a window:
# each kind of mistake gets a message naming the line and the word (or the
# file or folder) and exit status 2. Also checks how good scripts are
# counted in frames. Runs without a display: DISPLAY is unset, so a tool that
# wrongly went on to open its window would fail differently (GLUT's exit 1).
#
#   bad_input.sh REPLAY WORKDIR RECORD

set -uo pipefail

REPLAY=$1
WORK=$2
RECORD=$3
rm -rf "$WORK"
mkdir -p "$WORK"
unset DISPLAY
FAILED=0
CASES=0

fail() {
    echo "FAIL [$1]: $2"
    FAILED=$((FAILED + 1))
}

# expect_error NAME SCRIPT_TEXT PHRASE... : writes the script, runs replay on
# it, and wants exit 2 and every phrase in its error output.
expect_error() {
    local name=$1 text=$2
    shift 2
    printf '%b' "$text" >"$WORK/$name.keys"
    run_and_expect "$name" "$@" -- --script "$WORK/$name.keys" --out "$WORK/$name.out"
}

# run_and_expect NAME PHRASE... -- REPLAY_ARGS...
run_and_expect() {
    local name=$1 phrases=() rc
    shift
    while [ "$1" != "--" ]; do phrases+=("$1"); shift; done
    shift
    CASES=$((CASES + 1))
    "$REPLAY" "$@" >"$WORK/$name.stdout" 2>"$WORK/$name.stderr"
    rc=$?
    [ "$rc" = 2 ] || fail "$name" "exit status $rc, want 2 ($(head -c 300 "$WORK/$name.stderr"))"
    for phrase in "${phrases[@]}"; do
        grep -qF -- "$phrase" "$WORK/$name.stderr" ||
            fail "$name" "error output lacks '$phrase': $(head -c 300 "$WORK/$name.stderr")"
    done
    # Nothing may be drawn or written for a refused script.
    if compgen -G "$WORK/$name.out/*.png" >/dev/null; then
        fail "$name" "pictures were written"
    fi
}

# --- unknown key names
expect_error unknown_key 'z x3\nzz\n' 'line 2:' 'unknown key name' '"zz"'
expect_error unknown_after_comment '# a comment\n- \nz banana x3 # more\n' 'line 3:' '"banana"'
expect_error key_names_case 'Up\n' 'line 1:' 'unknown key name' '"Up"'
expect_error not_a_repeat 'z x2a\n' 'line 1:' 'unknown key name' '"x2a"'
expect_error control_bytes 'z \001\033[2J\n' 'line 1:' '"\x01\x1b[2J"'

# --- malformed lines
expect_error repeat_zero 'z x0\n' 'line 1:' 'malformed line' '"x0"'
expect_error repeat_too_big 'z\nz x100001\n' 'line 2:' 'malformed line' '"x100001"'
expect_error repeat_twice 'z x2 x3\n' 'line 1:' 'malformed line' '"x3"'
expect_error shot_without_name '-\n-\nz shot\n' 'line 3:' 'malformed line' '"shot"'
expect_error shot_bad_name 'z shot ../../escape\n' 'line 1:' 'malformed line' '"../../escape"'
expect_error two_shots 'z shot a shot b\n' 'line 1:' 'malformed line' '"shot"'
expect_error shot_twice 'z shot a\nq\nd shot a\n' 'line 3:' 'shot name used twice' '"a"'
expect_error too_many_frames "$(for _ in $(seq 11); do printf 'z x100000\\n'; done)" \
    'line 11:' 'malformed line' 'passes 1000000 frames'
expect_error no_frames '# only a comment\n\n   \n' 'has no frame'

# --- files and folders
run_and_expect missing_script 'cannot read script' "$WORK/absent.keys" -- \
    --script "$WORK/absent.keys"
printf 'z shot a\n' >"$WORK/good.keys"
: >"$WORK/a-file"
run_and_expect out_under_a_file 'cannot create output folder' "$WORK/a-file/pictures" -- \
    --script "$WORK/good.keys" --out "$WORK/a-file/pictures"
run_and_expect out_is_a_file 'is not a folder' "$WORK/a-file" -- \
    --script "$WORK/good.keys" --out "$WORK/a-file"
run_and_expect out_parent_missing 'cannot create output folder' -- \
    --script "$WORK/good.keys" --out "$WORK/no/such/folder"
mkdir -p "$WORK/trace-dir"
run_and_expect trace_unwritable 'cannot write trace' -- \
    --script "$WORK/good.keys" --out "$WORK/tr.out" --trace "$WORK/trace-dir"

# --- the command line
run_and_expect no_script 'no --script given' --
run_and_expect bad_seed 'bad option or value: --seed abc' -- --script "$WORK/good.keys" --seed abc
# Seeds span 0 to 2^32 - 1 on every platform (a 32-bit long once refused them all).
run_and_expect seed_too_big 'bad option or value: --seed 4294967296' -- \
    --script "$WORK/good.keys" --seed 4294967296
run_and_expect seed_negative 'bad option or value: --seed -1' -- --script "$WORK/good.keys" --seed -1
run_and_expect bad_every 'bad option or value: --every 0' -- --script "$WORK/good.keys" --every 0
run_and_expect unknown_option 'bad option or value: --frames 3' -- --script "$WORK/good.keys" --frames 3
run_and_expect missing_value 'missing value: --out' -- --script "$WORK/good.keys" --out

# --- the recorder's command line: nowhere to write, or a bad option
record_refuses() {
    local name=$1 phrase=$2 rc
    shift 2
    CASES=$((CASES + 1))
    "$RECORD" "$@" >"$WORK/$name.stdout" 2>"$WORK/$name.stderr"
    rc=$?
    [ "$rc" = 2 ] || fail "$name" "exit status $rc, want 2"
    grep -qF -- "$phrase" "$WORK/$name.stderr" || fail "$name" "error output lacks '$phrase'"
}
record_refuses record_no_out 'usage: clankwise-record' --seed 3
record_refuses record_unwritable "cannot write $WORK/no/such/rec.keys" --out "$WORK/no/such/rec.keys"
record_refuses record_bad_frames 'usage: clankwise-record' --out "$WORK/rec.keys" --frames 0
record_refuses record_seed_too_big 'usage: clankwise-record' --out "$WORK/rec.keys" --seed 4294967296

# --- good scripts: how lines become frames (--check opens no window)
# 1 ("-") + 20 + 1 (a lone shot mark) + 3 + 1 (a lone "x") = 26; comments,
# blank lines and a CRLF ending make no frame.
printf '# comment only\n\n-\nz x20   # twenty\nshot a\nq d x3 shot b\r\nx\n' >"$WORK/count.keys"
CASES=$((CASES + 1))
# (Carriage returns dropped: a Windows build ends its lines with them.)
out=$("$REPLAY" --check --script "$WORK/count.keys" 2>&1 | tr -d '\r')
[ "$out" = "26 frames" ] || fail count "want '26 frames', got '$out'"
# Every key name of the format, all in one frame.
names="a z A Z 0 9 space ampersand eacute quotedbl apostrophe parenleft minus egrave"
names="$names underscore ccedilla agrave parenright equal up down left right f1 f5 f12"
printf '%s\n' "$names" >"$WORK/names.keys"
CASES=$((CASES + 1))
out=$("$REPLAY" --check --script "$WORK/names.keys" 2>&1 | tr -d '\r')
[ "$out" = "1 frames" ] || fail names "want '1 frames', got '$out'"
# The whole range of seeds is taken, its ends included.
for seed in 0 4294967295; do
    CASES=$((CASES + 1))
    out=$("$REPLAY" --check --seed "$seed" --script "$WORK/names.keys" 2>&1 | tr -d '\r')
    [ "$out" = "1 frames" ] || fail "seed_$seed" "want '1 frames', got '$out'"
done

echo "replay input cases: $((CASES - FAILED)) of $CASES as expected"
[ "$FAILED" = 0 ]
