#!/usr/bin/env bash
# install_test.sh BUILD OUTDIR -- the game as a player gets it, two ways.
# (1) `cmake --install` into a fresh prefix: every file where the desktop
# looks for it and valid (desktop-file-validate, appstreamcli, mandoc), the
# icons square and transparent, --help, --version and a bad option answered
# without a display, the controls of the README, the manual page and the
# Windows README the same as --help's, and
# the installed game started under Xvfb: its window shows a frame that is
# not black and Escape ends it with status 0 and no X error.
# (2) The Debian packages, built by dpkg-buildpackage from a copy of the
# repository's files: lintian --pedantic finds no error and no warning, the
# file lists are those of a game package and a tools package, and both,
# unpacked into a fresh root, answer --version and --help.

BUILD=${1:?usage: install_test.sh BUILD OUTDIR}
E2E_OUT=${2:?usage: install_test.sh BUILD OUTDIR}
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
rm -rf "$E2E_OUT"
# shellcheck source=SCRIPTDIR/../e2e/lib.sh
source "$HERE/../e2e/lib.sh"
PREFIX="$E2E_OUT/prefix"
GAME="$PREFIX/bin/clankwise"
VERSION=$(sed -n 's/^project(clankwise VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")

cmake --install "$BUILD" --prefix "$PREFIX" >"$E2E_OUT/install.log" ||
    e2e_fail "cmake --install failed: $(tail -n 5 "$E2E_OUT/install.log")"

# --- the installed files -------------------------------------------------------
ICON_SIZES="16 24 32 48 64 128 256"
for f in bin/clankwise bin/clankwise-replay bin/clankwise-record \
    share/applications/org.clankwise.Clankwise.desktop \
    share/metainfo/org.clankwise.Clankwise.metainfo.xml \
    share/man/man6/clankwise.6 share/man/man1/clankwise-replay.1 share/man/man1/clankwise-record.1 \
    share/doc/clankwise/README.md share/doc/clankwise/CHANGELOG.md share/doc/clankwise/LICENSE \
    $(for s in $ICON_SIZES; do echo "share/icons/hicolor/${s}x$s/apps/clankwise.png"; done); do
    [ -s "$PREFIX/$f" ] || e2e_fail "not installed: $f"
done
# Each icon: its size, and a transparent corner (the robot fills the square
# but not its corners).
for size in $ICON_SIZES; do
    got=$(identify -format '%wx%h %[fx:p{0,0}.a]' "$PREFIX/share/icons/hicolor/${size}x$size/apps/clankwise.png")
    [ "$got" = "${size}x$size 0" ] || e2e_fail "the ${size} pixel icon: size and corner alpha $got"
done
desktop=$PREFIX/share/applications/org.clankwise.Clankwise.desktop
desktop-file-validate "$desktop" || e2e_fail "desktop-file-validate refuses $desktop"
for line in 'Categories=Game;ArcadeGame;' 'Icon=clankwise' 'Terminal=false' "Exec=$GAME"; do
    grep -qx "$line" "$desktop" || e2e_fail "the desktop entry lacks $line"
done
metainfo=$PREFIX/share/metainfo/org.clankwise.Clankwise.metainfo.xml
# AppStream 1.0 (Debian 13) warns when there is no home page, and the game
# has none yet (docs/packaging.md). Validates a metainfo file into OUT and
# passes when appstreamcli finds nothing, or nothing but that.
only_homepage_missing() {
    appstreamcli validate --no-net "$1" >"$2" 2>&1 && return 0
    grep -q ': url-homepage-missing$' "$2" &&
        ! grep -E '^[EW]: ' "$2" | grep -vq ': url-homepage-missing$'
}
only_homepage_missing "$metainfo" "$E2E_OUT/appstream.txt" ||
    e2e_fail "appstreamcli refuses the metainfo: $(cat "$E2E_OUT/appstream.txt")"
grep -q '<project_license>MIT</project_license>' "$metainfo" || e2e_fail "the metainfo names no licence"
for page in man6/clankwise.6 man1/clankwise-replay.1 man1/clankwise-record.1; do
    mandoc -T lint -W warning "$PREFIX/share/man/$page" || e2e_fail "mandoc finds faults in $page"
done

# --- the command line, without a display ---------------------------------------
(unset DISPLAY; "$GAME" --help >"$E2E_OUT/help.txt" 2>&1) || e2e_fail "--help did not exit 0"
(unset DISPLAY; "$GAME" --version >"$E2E_OUT/version.txt" 2>&1) || e2e_fail "--version did not exit 0"
grep -qx "clankwise $VERSION" "$E2E_OUT/version.txt" || e2e_fail "--version says: $(cat "$E2E_OUT/version.txt")"
# The tools, by the names they are installed under.
check_tools() {
    local dir=$1 tool
    for tool in clankwise-replay clankwise-record; do
        "$dir/$tool" --version | grep -qx "$tool $VERSION" || e2e_fail "$dir/$tool --version"
        "$dir/$tool" --help >"$E2E_OUT/$tool.help" || e2e_fail "$dir/$tool --help did not exit 0"
        grep -q "^usage: $tool --out\|^usage: $tool --script" "$E2E_OUT/$tool.help" ||
            e2e_fail "$tool --help does not name $tool: $(head -n 1 "$E2E_OUT/$tool.help")"
    done
}
check_tools "$PREFIX/bin"
status=0
(unset DISPLAY; "$GAME" --fly >"$E2E_OUT/bad.out" 2>"$E2E_OUT/bad.err") || status=$?
[ "$status" = 2 ] || e2e_fail "a bad option gave status $status, not 2"
[ "$(wc -l <"$E2E_OUT/bad.err")" = 1 ] && grep -q -- "--fly" "$E2E_OUT/bad.err" ||
    e2e_fail "a bad option should get one line naming it: $(cat "$E2E_OUT/bad.err")"
[ ! -s "$E2E_OUT/bad.out" ] || e2e_fail "a bad option started the game: $(head -n 3 "$E2E_OUT/bad.out")"

# The README's controls table, row by row, is what --help prints: cells
# joined by one space, backticks dropped, against --help's rows with runs of
# spaces folded (a row with no key, the pad's own, starts with its pad cell).
sed -n '/^## Controls/,/^## /p' "$ROOT/README.md" | grep '^| ' | tail -n +2 |
    sed -e 's/`//g' -e 's/^| *//' -e 's/ *|$//' -e 's/ *| */|/g' |
    awk -F'|' '{ row = ""; for (i = 1; i <= NF; i++) if ($i != "") row = row (row == "" ? "" : " ") $i; print row }' \
    >"$E2E_OUT/controls.readme"
sed -n '/^Controls/,/^$/p' "$E2E_OUT/help.txt" | sed -n 's/^  //p' | tr -s ' ' | sed 's/^ //' \
    >"$E2E_OUT/controls.help"
[ -s "$E2E_OUT/controls.help" ] || e2e_fail "--help shows no controls"
diff -u "$E2E_OUT/controls.readme" "$E2E_OUT/controls.help" ||
    e2e_fail "the README's controls table and --help's differ"
# So are the installed manual page's table, as it reads, and the Windows
# players' README.
# The bold keys come as "c backspace c": one character, so sed counts in
# UTF-8 (a new machine's environment may name no locale at all).
mandoc -T utf8 "$PREFIX/share/man/man6/clankwise.6" | LC_ALL=C.UTF-8 sed -e 's/.\x08//g' |
    sed -n '/^CONTROLS/,/While paused/p' | sed -n '/^$/,/While paused/p' |
    grep -v -e '^$' -e 'While paused' | sed 's/^ *//' | tr -s ' ' >"$E2E_OUT/controls.man"
diff -u "$E2E_OUT/controls.man" "$E2E_OUT/controls.help" ||
    e2e_fail "the manual page's controls table and --help's differ"
sed -n '/^Controls$/,/^Letter keys/p' "$ROOT/packaging/windows/README.txt" | sed -n 's/^  //p' |
    tr -s ' ' | sed 's/^ //' >"$E2E_OUT/controls.windows"
diff -u "$E2E_OUT/controls.windows" "$E2E_OUT/controls.help" ||
    e2e_fail "the Windows README's controls and --help's differ"

# --- the Debian packages -----------------------------------------------------------
# Built from the repository's files alone (what a clean checkout has), in a
# folder of their own, as a packager would.
SRC=$E2E_OUT/deb/clankwise
mkdir -p "$SRC"
if git -C "$ROOT" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$ROOT" ls-files -z --cached --others --exclude-standard |
        (cd "$ROOT" && tar --null -cf - -T -) | tar -xf - -C "$SRC"
else
    tar -C "$ROOT" --exclude='./build*' --exclude=./out -cf - . | tar -xf - -C "$SRC"
fi
(cd "$SRC" && dpkg-buildpackage -us -uc -b -j2) >"$E2E_OUT/dpkg-buildpackage.log" 2>&1 ||
    e2e_fail "dpkg-buildpackage failed: $(tail -n 20 "$E2E_OUT/dpkg-buildpackage.log")"
DEB_VERSION=$(dpkg-parsechangelog -l "$ROOT/debian/changelog" -S Version)
[ "${DEB_VERSION%-*}" = "$VERSION" ] || e2e_fail "debian/changelog is at $DEB_VERSION, the project at $VERSION"
CHANGES=$(ls "$E2E_OUT"/deb/clankwise_*_*.changes)
# Debian 13's lintian reports any appstreamcli warning as one tag of its
# own; the packaged metainfo may have no other finding than the missing
# home page, and then that tag alone is let through.
suppress=()
dpkg-deb -x "$(ls "$E2E_OUT"/deb/clankwise_*_amd64.deb)" "$E2E_OUT/deb-metainfo"
only_homepage_missing "$E2E_OUT"/deb-metainfo/usr/share/metainfo/org.clankwise.Clankwise.metainfo.xml \
    "$E2E_OUT/appstream-deb.txt" || e2e_fail "appstreamcli refuses the packaged metainfo"
grep -q ': url-homepage-missing$' "$E2E_OUT/appstream-deb.txt" &&
    suppress=(--suppress-tags appstream-metadata-validation-failed)
# Info and pedantic tags are shown, not failed on.
lintian --pedantic --info --fail-on error,warning "${suppress[@]}" "$CHANGES" >"$E2E_OUT/lintian.txt" 2>&1 ||
    e2e_fail "lintian finds errors or warnings (or failed): $(grep -v '^N:' "$E2E_OUT/lintian.txt")"
grep -v '^N:' "$E2E_OUT/lintian.txt"

# The file lists: the game in /usr/games, the tools only in the tools
# package, manual pages compressed, copyright and changelogs in both.
for pkg in clankwise clankwise-tools; do
    dpkg-deb -c "$E2E_OUT/deb/${pkg}_${DEB_VERSION}_"*.deb | awk '{ print substr($6, 2) }' | grep -v '/$' \
        >"$E2E_OUT/$pkg.files"
    for f in copyright changelog.gz changelog.Debian.gz; do
        grep -qx "/usr/share/doc/$pkg/$f" "$E2E_OUT/$pkg.files" || e2e_fail "$pkg has no $f"
    done
    ! grep '/usr/share/man/.*[^z]$' "$E2E_OUT/$pkg.files" || e2e_fail "$pkg has uncompressed manual pages"
done
expect_files() {
    local pkg=$1 pattern=$2 want=$3
    [ "$(grep -cx "$pattern" "$E2E_OUT/$pkg.files")" = "$want" ] ||
        e2e_fail "$pkg: $want files should match $pattern: $(grep -x "$pattern" "$E2E_OUT/$pkg.files")"
}
expect_files clankwise '/usr/games/clankwise' 1
expect_files clankwise '/usr/bin/.*' 0
expect_files clankwise '.*clankwise-re\(play\|cord\).*' 0
expect_files clankwise '/usr/share/icons/hicolor/.*/apps/clankwise.png' 7
expect_files clankwise '/usr/share/man/man6/clankwise.6.gz' 1
expect_files clankwise '/usr/share/applications/org.clankwise.Clankwise.desktop' 1
expect_files clankwise '/usr/share/metainfo/org.clankwise.Clankwise.metainfo.xml' 1
expect_files clankwise-tools '/usr/bin/clankwise-re\(play\|cord\)' 2
expect_files clankwise-tools '/usr/share/man/man1/clankwise-re\(play\|cord\).1.gz' 2
expect_files clankwise-tools '/usr/games/.*' 0
# The game needs no image or test library.
depends=$(dpkg-deb -f "$E2E_OUT/deb/clankwise_${DEB_VERSION}_"*.deb Depends)
e2e_note "clankwise depends on: $depends"
! grep -qi 'png\|gtest\|benchmark' <<<"$depends" || e2e_fail "the game's package depends on $depends"

# Both unpacked into a fresh root: the programs answer where they landed,
# and the menu entry names the game's place.
DEBROOT=$E2E_OUT/debroot
for pkg in clankwise clankwise-tools; do
    dpkg-deb -x "$E2E_OUT/deb/${pkg}_${DEB_VERSION}_"*.deb "$DEBROOT"
done
(unset DISPLAY; "$DEBROOT/usr/games/clankwise" --version) | grep -qx "clankwise $VERSION" ||
    e2e_fail "the packaged game's --version"
check_tools "$DEBROOT/usr/bin"
grep -qx 'Exec=/usr/games/clankwise' "$DEBROOT/usr/share/applications/org.clankwise.Clankwise.desktop" ||
    e2e_fail "the packaged menu entry does not start /usr/games/clankwise"

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
