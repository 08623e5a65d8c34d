#!/usr/bin/env bash
# install_test.sh BUILD OUTDIR -- the game as a player gets it: installed by
# `cmake --install` into a fresh prefix, every file where the desktop looks
# for it and valid (desktop-file-validate, appstreamcli, mandoc), --help,
# --version and a bad option answered without a display, the README's
# controls table the same as --help's, and the installed game started under
# Xvfb: its window shows a frame that is not black and Escape ends it with
# status 0 and no X error.

BUILD=${1:?usage: install_test.sh BUILD OUTDIR}
E2E_OUT=${2:?usage: install_test.sh BUILD OUTDIR}
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
rm -rf "$E2E_OUT"
# shellcheck source=SCRIPTDIR/../e2e/lib.sh
source "$HERE/../e2e/lib.sh"
PREFIX="$E2E_OUT/prefix"
GAME="$PREFIX/bin/clankwise"

cmake --install "$BUILD" --prefix "$PREFIX" >"$E2E_OUT/install.log" ||
    e2e_fail "cmake --install failed: $(tail -n 5 "$E2E_OUT/install.log")"

# --- the installed files -------------------------------------------------------
for f in bin/clankwise bin/clankwise-replay bin/clankwise-record \
    share/applications/org.clankwise.Clankwise.desktop \
    share/icons/hicolor/48x48/apps/clankwise.png \
    share/icons/hicolor/128x128/apps/clankwise.png \
    share/icons/hicolor/256x256/apps/clankwise.png \
    share/metainfo/org.clankwise.Clankwise.metainfo.xml \
    share/man/man6/clankwise.6 share/doc/clankwise/README.md; do
    [ -s "$PREFIX/$f" ] || e2e_fail "not installed: $f"
done
for size in 48 128 256; do
    got=$(identify -format '%wx%h' "$PREFIX/share/icons/hicolor/${size}x$size/apps/clankwise.png")
    [ "$got" = "${size}x$size" ] || e2e_fail "the ${size} pixel icon is $got"
done
desktop=$PREFIX/share/applications/org.clankwise.Clankwise.desktop
desktop-file-validate "$desktop" || e2e_fail "desktop-file-validate refuses $desktop"
for line in 'Categories=Game;ArcadeGame;' 'Icon=clankwise' 'Terminal=false' 'Exec=clankwise'; do
    grep -qx "$line" "$desktop" || e2e_fail "the desktop entry lacks $line"
done
appstreamcli validate --no-net "$PREFIX/share/metainfo/org.clankwise.Clankwise.metainfo.xml" ||
    e2e_fail "appstreamcli refuses the metainfo"
mandoc -T lint -W warning "$PREFIX/share/man/man6/clankwise.6" || e2e_fail "mandoc finds faults in the man page"

# --- the command line, without a display ---------------------------------------
(unset DISPLAY; "$GAME" --help >"$E2E_OUT/help.txt" 2>&1) || e2e_fail "--help did not exit 0"
(unset DISPLAY; "$GAME" --version >"$E2E_OUT/version.txt" 2>&1) || e2e_fail "--version did not exit 0"
grep -qx "clankwise $(sed -n 's/^project(clankwise VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")" \
    "$E2E_OUT/version.txt" || e2e_fail "--version says: $(cat "$E2E_OUT/version.txt")"
for tool in clankwise-replay clankwise-record; do
    "$PREFIX/bin/$tool" --version | grep -qx "$tool [0-9.]*" || e2e_fail "$tool --version"
done
status=0
(unset DISPLAY; "$GAME" --fly >"$E2E_OUT/bad.out" 2>"$E2E_OUT/bad.err") || status=$?
[ "$status" = 2 ] || e2e_fail "a bad option gave status $status, not 2"
[ "$(wc -l <"$E2E_OUT/bad.err")" = 1 ] && grep -q -- "--fly" "$E2E_OUT/bad.err" ||
    e2e_fail "a bad option should get one line naming it: $(cat "$E2E_OUT/bad.err")"
[ ! -s "$E2E_OUT/bad.out" ] || e2e_fail "a bad option started the game: $(head -n 3 "$E2E_OUT/bad.out")"

# The README's controls table, row by row, is what --help prints: cells
# joined by one space, backticks dropped, against --help's rows with runs of
# spaces folded.
sed -n '/^## Controls/,/^## /p' "$ROOT/README.md" | grep '^| ' | tail -n +2 |
    sed -e 's/`//g' -e 's/^| *//' -e 's/ *|$//' -e 's/ *| */|/g' |
    awk -F'|' '{ row = ""; for (i = 1; i <= NF; i++) if ($i != "") row = row (row == "" ? "" : " ") $i; print row }' \
    >"$E2E_OUT/controls.readme"
sed -n '/^Controls/,/^$/p' "$E2E_OUT/help.txt" | sed -n 's/^  //p' | tr -s ' ' >"$E2E_OUT/controls.help"
[ -s "$E2E_OUT/controls.help" ] || e2e_fail "--help shows no controls"
diff -u "$E2E_OUT/controls.readme" "$E2E_OUT/controls.help" ||
    e2e_fail "the README's controls table and --help's differ"

# --- the installed game in a window --------------------------------------------
e2e_start_xvfb
e2e_start_game "$GAME"
e2e_find_window 60
e2e_wait_frames 0 10 "after the window appeared"
e2e_shot "$E2E_OUT/first.png"
lit=$(convert "$E2E_OUT/first.png" -colorspace Gray -threshold 4% -format '%[fx:int(mean*w*h)]' info:)
e2e_note "the first frames: $lit of 250000 pixels not black"
[ "$lit" -ge 10000 ] || e2e_fail "the installed game's window is black ($lit lit pixels)"
xdotool key Escape
t0=$SECONDS
while e2e_game_alive; do
    [ $((SECONDS - t0)) -ge 30 ] && e2e_fail "the game still runs 30 s after Escape"
    sleep 0.1
done
status=0
wait "$E2E_GAME_PID" || status=$?
E2E_PIDS=("$E2E_XVFB_PID")
[ "$status" = 0 ] || e2e_fail "Escape ended the game with status $status: $(cat "$E2E_OUT/game.stderr")"
! grep -q 'X Error' "$E2E_OUT/game.stderr" || e2e_fail "an X error at exit: $(cat "$E2E_OUT/game.stderr")"
echo "PASS install_test"
