# shellcheck shell=bash
# lib.sh -- shared by the window tests (source it, do not run it): a private
# Xvfb picked with -displayfd, a keymap that types the game's mode keys
# without Shift, the game started in it, its window, real key events,
# screenshots and pixel counts, and a cleanup trap that ends only the
# processes this script started, by their process ids.
#
# A test sets E2E_OUT (a folder for its screenshots and logs) and then calls
# e2e_start_xvfb, e2e_start_game BINARY and e2e_find_window; the helpers
# below use the globals they set: DISPLAY, E2E_XVFB_PID, E2E_GAME_PID, E2E_WIN.
#
# Whether a frame has run is never guessed from the clock: the game is
# started with the frame counter of bench/framecount.cpp preloaded (the path
# of the library in CLANKWISE_FRAMECOUNT), and the helpers wait for frames.

set -euo pipefail

E2E_PIDS=()        # everything we started, in start order
E2E_XVFB_PID=""
E2E_GAME_PID=""
E2E_WIN=""
: "${E2E_OUT:?E2E_OUT must name the output folder of the test}"
mkdir -p "$E2E_OUT"

# Says what went wrong, shows the game's output, and fails the test (the
# EXIT trap then cleans up).
e2e_fail() {
    echo "FAIL: $*" >&2
    if [ -n "$E2E_GAME_PID" ] && [ -s "$E2E_OUT/game.stderr" ]; then
        echo "--- game stderr:" >&2
        head -n 20 "$E2E_OUT/game.stderr" >&2
    fi
    echo "screenshots and logs: $E2E_OUT" >&2
    exit 1
}

e2e_note() {
    echo "$*"
}

# Ends one process we started: TERM, a short grace, then KILL; reaps it.
e2e_stop_pid() {
    local pid=$1 i
    kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
    kill -TERM "$pid" 2>/dev/null || true
    for i in $(seq 1 50); do
        kill -0 "$pid" 2>/dev/null || break
        # A child that has exited but is not reaped yet still answers kill -0.
        [ "$(ps -o stat= -p "$pid" 2>/dev/null | cut -c1)" = "Z" ] && break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid" 2>/dev/null || true; fi
    wait "$pid" 2>/dev/null || true
}

# The EXIT trap: the game (and anything else) first, the X server last.
e2e_cleanup() {
    local i
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        e2e_stop_pid "${E2E_PIDS[$i]}"
    done
    E2E_PIDS=()
}
trap e2e_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Starts Xvfb on the first free display (-displayfd), with a 24-bit screen
# big enough for the window at (100, 100), and waits until it answers.
# -noreset keeps the keymap when the last client disconnects.
e2e_start_xvfb() {
    local fdfile="$E2E_OUT/xvfb.display" i num=""
    : >"$fdfile"
    Xvfb -displayfd 9 -screen 0 1024x768x24 -noreset -nolisten tcp \
        9>"$fdfile" >"$E2E_OUT/xvfb.log" 2>&1 </dev/null &
    E2E_XVFB_PID=$!
    E2E_PIDS+=("$E2E_XVFB_PID")
    for i in $(seq 1 200); do
        num=$(head -n 1 "$fdfile" | tr -dc '0-9')
        [ -n "$num" ] && break
        kill -0 "$E2E_XVFB_PID" 2>/dev/null || e2e_fail "Xvfb died: $(cat "$E2E_OUT/xvfb.log")"
        sleep 0.1
    done
    [ -n "$num" ] || e2e_fail "Xvfb gave no display number in 20 s"
    export DISPLAY=":$num"
    unset XAUTHORITY
    xdotool getdisplaygeometry >/dev/null 2>&1 || e2e_fail "display $DISPLAY does not answer"
    e2e_note "Xvfb pid $E2E_XVFB_PID on $DISPLAY"
}

# The top row of a French keyboard, unshifted: & é " ' ( on the keys 1 to 5.
# Their other places in the US layout (shifted 7, 9 and ', and a lone
# parenleft key) are taken away, so xdotool can only pick the unshifted key.
e2e_load_keymap() {
    xmodmap -e 'keycode 10 = ampersand 1' \
            -e 'keycode 11 = eacute 2' \
            -e 'keycode 12 = quotedbl 3' \
            -e 'keycode 13 = apostrophe 4' \
            -e 'keycode 14 = parenleft 5' \
            -e 'keycode 16 = 7' \
            -e 'keycode 18 = 9' \
            -e 'keycode 48 = ugrave percent' \
            -e 'keycode 187 = NoSymbol' \
        || e2e_fail "xmodmap could not load the keymap"
    local sym where
    for sym in ampersand eacute quotedbl apostrophe parenleft; do
        # Every line that has the symbol, and its first (unshifted) symbol.
        where=$(xmodmap -pke | awk -v s="$sym" '{ for (i = 4; i <= NF; i++) if ($i == s) { print $2, $4; break } }')
        [ "$(echo "$where" | awk '{ print $2 }')" = "$sym" ] ||
            e2e_fail "keymap: $sym is not on exactly one key, unshifted: $where"
    done
}

# Starts the game (BINARY [ARGUMENTS...]) with stdout and stderr in files
# of E2E_OUT, and its frame counter in E2E_OUT/frames.count.
e2e_start_game() {
    local bin counter=${CLANKWISE_FRAMECOUNT:-}
    bin=$(readlink -f "$1")
    shift
    [ -x "$bin" ] || e2e_fail "no game executable at $bin"
    [ -f "$counter" ] || e2e_fail "CLANKWISE_FRAMECOUNT does not name the frame counter library: '$counter'"
    rm -f "$E2E_OUT/frames.count"
    (cd "$E2E_OUT" && LD_PRELOAD=$counter FRAMECOUNT_LIVE="$E2E_OUT/frames.count" \
        FRAMECOUNT_OUT="$E2E_OUT/fps.txt" exec "$bin" "$@") \
        >"$E2E_OUT/game.stdout" 2>"$E2E_OUT/game.stderr" </dev/null &
    E2E_GAME_PID=$!
    E2E_PIDS+=("$E2E_GAME_PID")
    e2e_note "game pid $E2E_GAME_PID"
}

# Starts openbox, a small window manager, for the tests of what only a
# window manager does (focus, the close button, fullscreen), and waits until
# it has taken the screen (_NET_SUPPORTING_WM_CHECK on the root window).
e2e_start_wm() {
    local t0=$SECONDS
    openbox --sm-disable >"$E2E_OUT/openbox.log" 2>&1 </dev/null &
    E2E_PIDS+=("$!")
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
        [ $((SECONDS - t0)) -ge 30 ] && e2e_fail "openbox did not take the screen in 30 s"
        sleep 0.1
    done
    e2e_note "openbox is managing $DISPLAY"
}

# Has the window manager give WINDOW the focus (as Alt+Tab or a click
# would), asking again until it reports WINDOW active: a manager that has
# just started may not have taken the window in yet.
e2e_activate() {
    local win=$1 t0=$SECONDS
    until [ "$(xdotool getactivewindow 2>/dev/null)" = "$win" ]; do
        [ $((SECONDS - t0)) -ge 30 ] && e2e_fail "the window manager did not activate window $win in 30 s"
        xdotool windowactivate "$win" 2>/dev/null || true
        sleep 0.1
    done
}

# Waits until the game has ended (TIMEOUT seconds, naming WHAT ended it) and
# sets E2E_STATUS to its exit status; it is then no longer ours to stop.
E2E_STATUS=""
e2e_wait_exit() {
    local what=$1 timeout=${2:-30} t0=$SECONDS kept=() p
    while e2e_game_alive; do
        [ $((SECONDS - t0)) -ge "$timeout" ] && e2e_fail "the game still runs ${timeout} s after $what"
        sleep 0.1
    done
    E2E_STATUS=0
    wait "$E2E_GAME_PID" || E2E_STATUS=$?
    for p in "${E2E_PIDS[@]}"; do [ "$p" = "$E2E_GAME_PID" ] || kept+=("$p"); done
    E2E_PIDS=("${kept[@]}")
    E2E_GAME_PID=""
}

# Waits until the game's window is WxH (xdotool's geometry) and prints its
# geometry; fails after TIMEOUT seconds naming WHAT should have done it.
e2e_wait_size() {
    local size=$1 what=$2 timeout=${3:-30} t0=$SECONDS geo
    while :; do
        geo=$(xdotool getwindowgeometry "$E2E_WIN" 2>/dev/null | sed -n 's/.*Geometry: *//p')
        [ "$geo" = "$size" ] && return 0
        [ $((SECONDS - t0)) -ge "$timeout" ] && e2e_fail "$what: the window is $geo, not $size, after ${timeout} s"
        e2e_game_alive || e2e_fail "the game died waiting for $what"
        sleep 0.1
    done
}

# Ends the game we started and forgets its window.
e2e_stop_game() {
    local pid=$E2E_GAME_PID kept=() p
    e2e_stop_pid "$pid"
    for p in "${E2E_PIDS[@]}"; do [ "$p" = "$pid" ] || kept+=("$p"); done
    E2E_PIDS=("${kept[@]}")
    E2E_GAME_PID=""
    E2E_WIN=""
}

# True while the game runs (a zombie does not count).
e2e_game_alive() {
    kill -0 "$E2E_GAME_PID" 2>/dev/null || return 1
    [ "$(ps -o stat= -p "$E2E_GAME_PID" 2>/dev/null | cut -c1)" != "Z" ]
}

# Waits for exactly one mapped window titled "Clankwise", moves the pointer
# into it (there is no window manager: keys go to the window under the
# pointer) and sets E2E_WIN.
e2e_find_window() {
    local timeout=${1:-60} ids="" t0=$SECONDS
    while [ $((SECONDS - t0)) -lt "$timeout" ]; do
        e2e_game_alive || e2e_fail "the game exited before its window appeared"
        ids=$(xdotool search --onlyvisible --name '^Clankwise$' 2>/dev/null || true)
        [ -n "$ids" ] && break
        sleep 0.2
    done
    [ -n "$ids" ] || e2e_fail "no window titled Clankwise after ${timeout} s"
    [ "$(echo "$ids" | wc -l)" = 1 ] || e2e_fail "more than one Clankwise window: $ids"
    E2E_WIN=$ids
    xdotool mousemove --sync --window "$E2E_WIN" 250 250 >/dev/null 2>&1 ||
        xdotool mousemove --window "$E2E_WIN" 250 250
    e2e_note "window $E2E_WIN"
}

# The number of frames the game has shown so far (0 before the first).
e2e_frames() {
    local n=""
    [ -s "$E2E_OUT/frames.count" ] && n=$(od -An -tu8 -N8 "$E2E_OUT/frames.count" | tr -dc '0-9')
    echo "${n:-0}"
}

# The bytes of heap the game had in use at the end of its last frame.
e2e_heap() {
    local n=""
    [ -s "$E2E_OUT/frames.count" ] && n=$(od -An -tu8 -j8 -N8 "$E2E_OUT/frames.count" | tr -dc '0-9')
    echo "${n:-0}"
}

# Waits until the game has shown COUNT frames more than SINCE (a value of
# e2e_frames); fails after TIMEOUT seconds naming WHAT it waited for.
e2e_wait_frames() {
    local since=$1 count=$2 what=$3 timeout=${4:-60} t0=$SECONDS
    while [ "$(e2e_frames)" -lt $((since + count)) ]; do
        [ $((SECONDS - t0)) -ge "$timeout" ] &&
            e2e_fail "waited ${timeout} s for $count frames $what; the game showed $(($(e2e_frames) - since))"
        e2e_game_alive || e2e_fail "the game died while waiting for $count frames $what"
        sleep 0.02
    done
}

# Holds a key (an X keysym name) for COUNT frames, then lets it go.
e2e_hold_frames() {
    local key=$1 count=$2 f
    f=$(e2e_frames)
    xdotool keydown "$key"
    e2e_wait_frames "$f" "$count" "with $key held"
    xdotool keyup "$key"
}

# Screenshot of the game's window alone.
e2e_shot() {
    import -window "$E2E_WIN" "$1" 2>>"$E2E_OUT/import.log" || e2e_fail "import failed for $1"
}

# Number of pixels in which two pictures differ.
e2e_diff() {
    local n
    n=$(compare -metric AE "$1" "$2" null: 2>&1) || true
    case $n in
    '' | *[!0-9]*) e2e_fail "compare $1 $2: $n" ;;
    esac
    echo "$n"
}

# Takes shots into OUT until one differs from REF by at least MIN pixels;
# fails after TIMEOUT seconds.
e2e_wait_change() {
    local ref=$1 out=$2 timeout=${3:-20} min=${4:-1} t0=$SECONDS n=0
    while :; do
        e2e_shot "$out"
        n=$(e2e_diff "$ref" "$out")
        [ "$n" -ge "$min" ] && return 0
        [ $((SECONDS - t0)) -ge "$timeout" ] && e2e_fail "no change of $min pixels from $(basename "$ref") in ${timeout} s"
        e2e_game_alive || e2e_fail "the game died"
        sleep 0.1
    done
}

# Waits until two shots FRAMES frames apart are identical (nothing moves any
# more) and keeps the last in OUT; fails after TIMEOUT seconds.
e2e_wait_still() {
    local out=$1 timeout=${2:-30} frames=${3:-50} t0=$SECONDS prev="$1.prev.png" f
    e2e_shot "$prev"
    f=$(e2e_frames)
    while :; do
        e2e_wait_frames "$f" "$frames" "between two shots of a still picture" "$timeout"
        e2e_shot "$out"
        f=$(e2e_frames)
        [ "$(e2e_diff "$prev" "$out")" = 0 ] && { rm -f "$prev"; return 0; }
        [ $((SECONDS - t0)) -ge "$timeout" ] && e2e_fail "the picture did not come to rest in ${timeout} s"
        e2e_game_alive || e2e_fail "the game died"
        cp "$out" "$prev"
    done
}

# Holds a key (an X keysym name) until the picture differs from REF, keeps
# that shot in OUT, and lets the key go.
e2e_press_until_change() {
    local key=$1 ref=$2 out=$3 timeout=${4:-20}
    xdotool keydown "$key"
    e2e_wait_change "$ref" "$out" "$timeout" || true
    xdotool keyup "$key"
}

# Counts the pixels of a colour class in a picture and prints
# "count meanX meanY" (means are -1 with no such pixel). Classes:
#   robot  the robot's yellow: red and green alike and well lit, little blue
#   blue   the overhead marker's blue: blue strong, red and green far below
e2e_pixels() {
    local file=$1 class=$2 width
    width=$(identify -format '%w' "$file") || e2e_fail "identify failed for $file"
    convert "$file" -depth 8 rgb:- | od -An -v -tu1 -w3 | awk -v class="$class" -v w="$width" '
        {
            r = $1; g = $2; b = $3
            if (class == "robot")
                hit = r >= 25 && g >= 25 && r * 10 >= g * 7 && g * 10 >= r * 7 && b * 2 < r
            else if (class == "blue")
                hit = b >= 24 && r * 4 <= b && g * 4 <= b
            else
                hit = 0
            if (hit) { n++; sx += (NR - 1) % w; sy += int((NR - 1) / w) }
        }
        END {
            if (n) printf "%d %.1f %.1f\n", n, sx / n, sy / n
            else print "0 -1 -1"
        }'
}

# Distance in pixels between two "count x y" results of e2e_pixels.
e2e_moved() {
    echo "$1 $2" | awk '{ dx = $5 - $2; dy = $6 - $3; printf "%.1f\n", sqrt(dx * dx + dy * dy) }'
}
