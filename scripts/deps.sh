#!/usr/bin/env bash
# deps.sh -- installs the Debian (or Ubuntu) packages that building, running
# and testing Clankwise need, with apt-get (through sudo only when not root).
# Package names follow the distribution: where two releases name a thing
# differently, the first name apt knows is taken, and the fuzzing runtime is
# the one of the clang that is installed. When every package is already
# there it touches nothing, so repeated runs are quick.
#
#   bash scripts/deps.sh          install what is missing
#   bash scripts/deps.sh --list   print the package list, one entry a line

set -euo pipefail

# One place for the list. "a|b" takes the first of the two that apt knows
# (Ubuntu before 23.04 ships GLUT as freeglut3-dev).
PACKAGES=(
    build-essential cmake
    "libglut-dev|freeglut3-dev" libglu1-mesa-dev libgl-dev libopenal-dev
    libgtest-dev libbenchmark-dev libpng-dev
    xvfb xauth libgl1-mesa-dri xdotool imagemagick x11-xkb-utils x11-xserver-utils
    x11-utils openbox wmctrl libx11-dev libsdl2-dev
    apitrace clang
    desktop-file-utils appstream mandoc file
    debhelper dpkg-dev lintian
)

# libFuzzer and the sanitizer runtimes of clang N. Debian 12 and later split
# them out of clang's common files; older releases kept them there.
runtime_entry() {
    echo "libclang-rt-$1-dev|libclang-common-$1-dev"
}

# The major version of the clang++ on the PATH, the one the fuzz build uses.
clang_major() {
    command -v clang++ >/dev/null || return 1
    clang++ -dumpversion | cut -d. -f1
}

# Does that clang++ have its libFuzzer? Looked for by file, not by package:
# where the runtimes have a package of their own, clang's common files are
# installed all the same, without them.
has_fuzz_runtime() {
    local dir
    dir=$(clang++ -print-resource-dir 2>/dev/null) || return 1
    compgen -G "$dir/lib/*/libclang_rt.fuzzer*.a" >/dev/null
}

is_installed() {
    dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -q '^install ok installed$'
}

# The entries given of which no alternative is installed.
missing_entries() {
    local entry alt found
    for entry in "$@"; do
        found=0
        for alt in ${entry//|/ }; do
            is_installed "$alt" && { found=1; break; }
        done
        [ "$found" = 1 ] || echo "$entry"
    done
}

# The first alternative of an entry that apt can install (after apt-get
# update); says in one line what it tried when there is none.
pick_alternative() {
    local alt policy
    for alt in ${1//|/ }; do
        # A package apt can install has a candidate version, not "(none)".
        # (Read whole first: grep -q would close the pipe on apt-cache.)
        policy=$(apt-cache policy "$alt" 2>/dev/null || true)
        if grep -q '^ *Candidate: *[^( ]' <<<"$policy"; then
            echo "$alt"
            return 0
        fi
    done
    echo "deps: apt has no package for '$1' (tried: ${1//|/, }); install its equivalent by hand" >&2
    return 1
}

SUDO=()
UPDATED=0

# Installs the entries given of which no alternative is installed.
install_entries() {
    local missing=()
    mapfile -t missing < <(missing_entries "$@")
    [ "${#missing[@]}" = 0 ] || install_missing "${missing[@]}"
}

# Installs the first installable alternative of each entry given, with one
# apt-get update per run.
install_missing() {
    local missing=("$@") entry pick to_install=()
    if [ "$(id -u)" != 0 ] && [ "${#SUDO[@]}" = 0 ]; then
        echo "deps: not root and no sudo; install: ${missing[*]}" >&2
        return 1
    fi
    echo "deps: installing ${missing[*]}"
    if [ "$UPDATED" = 0 ]; then
        "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
        UPDATED=1
    fi
    for entry in "${missing[@]}"; do
        pick=$(pick_alternative "$entry") || return 1
        to_install+=("$pick")
    done
    "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "${to_install[@]}" </dev/null
}

main() {
    if [ "${1:-}" = --list ]; then
        printf '%s\n' "${PACKAGES[@]}" "$(runtime_entry N)"
        return 0
    fi
    if [ "$(id -u)" != 0 ] && command -v sudo >/dev/null; then
        SUDO=(sudo)
    fi
    install_entries "${PACKAGES[@]}"
    local major
    major=$(clang_major) || { echo "deps: clang++ is not on the PATH after installing clang" >&2; return 1; }
    if ! has_fuzz_runtime; then
        install_missing "$(runtime_entry "$major")"
        has_fuzz_runtime || { echo "deps: clang $major still has no libFuzzer after installing $(runtime_entry "$major")" >&2; return 1; }
    fi
    echo "deps: every package is installed (clang $major for the fuzz build)"
}

main "$@"
