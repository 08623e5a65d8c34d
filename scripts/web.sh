#!/usr/bin/env bash
# web.sh -- builds the game for web browsers into build-web/site/ (index.html,
# clankwise.js, clankwise.wasm: static files any web server can serve), with
# Debian's emscripten, which it installs with apt-get when missing (sudo only
# when not root).
#
#   bash scripts/web.sh            build
#   bash scripts/web.sh --serve    build, then serve the site on 127.0.0.1 and
#                                  print the address to open (Ctrl-C stops)
#   bash scripts/web.sh --test     build, then play every key script in
#                                  headless Chromium and compare (installs
#                                  chromium too); see docs/web.md
#
# PORT chooses the port of --serve (default 8019).

set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
MODE=${1:-build}
case $MODE in build | --serve | --test) ;; *)
    echo "usage: bash scripts/web.sh [--serve | --test]" >&2
    exit 2
    ;;
esac

# Installs the packages that are missing, as deps.sh does.
install_missing() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
    done
    [ "${#missing[@]}" = 0 ] && return 0
    local sudo=""
    [ "$(id -u)" = 0 ] || sudo="sudo"
    echo "web.sh: installing ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

PACKAGES=(emscripten cmake make python3)
[ "$MODE" = --test ] && PACKAGES+=(chromium)
install_missing "${PACKAGES[@]}"

# emscripten's tools load Debian's node modules (acorn); a Node.js from
# elsewhere does not look in Debian's folder by itself.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
# emscripten builds its C library into its cache on first use; when the
# system's cache is not writable (not root), it goes into build-web/.
if [ ! -w "$(dirname "$(readlink -f "$(command -v emcc)")")/cache" ] &&
    [ ! -w /usr/share/emscripten/cache ]; then
    export EM_CACHE="$ROOT/build-web/emscripten-cache"
fi

emcmake cmake -S platform/web -B build-web -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-web -j2
echo "web.sh: built $ROOT/build-web/site/"

case $MODE in
--serve)
    PORT=${PORT:-8019}
    echo "web.sh: open http://127.0.0.1:$PORT/ (Ctrl-C stops the server)"
    exec python3 -m http.server --bind 127.0.0.1 --directory build-web/site "$PORT"
    ;;
--test)
    exec python3 tests/web/web_test.py "${@:2}"
    ;;
esac
