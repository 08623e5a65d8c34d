#!/usr/bin/env bash
# deps.sh -- installs the Debian packages that building, running and testing
# Clankwise need, with apt-get (through sudo only when not root). When every
# package is already there it touches nothing, so repeated runs are quick.

set -euo pipefail

# One place for the list. "a|b" takes the first of the two that the
# distribution has (Ubuntu before 23.04 ships GLUT as freeglut3-dev).
PACKAGES=(
    build-essential cmake
    "libglut-dev|freeglut3-dev" libglu1-mesa-dev libgl-dev
    libgtest-dev libbenchmark-dev libpng-dev
    xvfb xauth libgl1-mesa-dri xdotool imagemagick x11-xkb-utils x11-xserver-utils
    apitrace clang libclang-rt-14-dev
)

is_installed() {
    dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -q '^install ok installed$'
}

# The entries of PACKAGES of which no alternative is installed.
missing_entries() {
    local entry alt found
    for entry in "${PACKAGES[@]}"; do
        found=0
        for alt in ${entry//|/ }; do
            is_installed "$alt" && { found=1; break; }
        done
        [ "$found" = 1 ] || echo "$entry"
    done
}

# The first alternative of an entry that apt knows (after apt-get update).
pick_alternative() {
    local alt
    for alt in ${1//|/ }; do
        if apt-cache show "$alt" >/dev/null 2>&1; then
            echo "$alt"
            return 0
        fi
    done
    echo "${1%%|*}"
}

main() {
    local missing=() entry to_install=() sudo=()
    mapfile -t missing < <(missing_entries)
    if [ "${#missing[@]}" = 0 ]; then
        echo "deps: every package is installed"
        return 0
    fi
    if [ "$(id -u)" != 0 ]; then
        command -v sudo >/dev/null || { echo "deps: not root and no sudo; install: ${missing[*]}" >&2; return 1; }
        sudo=(sudo)
    fi
    echo "deps: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -q
    for entry in "${missing[@]}"; do
        to_install+=("$(pick_alternative "$entry")")
    done
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "${to_install[@]}" </dev/null
}

main "$@"
