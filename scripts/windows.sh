#!/usr/bin/env bash
# windows.sh -- cross-builds the game and its replay and record tools for
# 64-bit Windows with Debian's mingw-w64, and leaves
# build-windows/clankwise-<version>-win64.zip for players. Installs what it
# needs with apt-get (through sudo only when not root): the cross compiler,
# wine (to run the unit tests), and Debian's own source packages of
# freeglut, libpng, zlib, SDL2 and GoogleTest, fetched with apt-get source
# through a deb-src entry for the machine's own mirror and built as static
# libraries, so the versions are those the distribution ships; OpenAL Soft
# built the same way as a DLL. Repeated runs reuse what is already built.
#
#   bash scripts/windows.sh            install, build, zip
#   bash scripts/windows.sh --list     print the packages it installs

set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$ROOT/build-windows
DEPS=$OUT/deps
PREFIX=$DEPS/prefix
TOOLCHAIN=$ROOT/cmake/mingw-w64.cmake
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 2)}
[ "$JOBS" -le 2 ] || JOBS=2

# wine's 64-bit loader comes in as wine's first dependency.
PACKAGES=(g++-mingw-w64-x86-64-posix wine cmake make dpkg-dev zip xvfb xauth libopenal-dev)
SOURCES=(zlib libpng1.6 freeglut libsdl2 googletest openal-soft)
SRC_LIST=/etc/apt/sources.list.d/clankwise-deb-src.sources

SUDO=()
if [ "$(id -u)" != 0 ] && command -v sudo >/dev/null; then
    SUDO=(sudo)
fi

is_installed() {
    dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -q '^install ok installed$'
}

# The first mirror the machine's own apt lists name for its release.
own_mirror() {
    local codename=$1
    {
        grep -hs -A3 '^Types:.*deb' /etc/apt/sources.list.d/*.sources |
            awk '/^URIs:/ { print $2 }'
        grep -hsE "^deb +(\[[^]]*\] +)?[a-z]+://[^ ]+ +$codename( |$)" /etc/apt/sources.list |
            sed -E 's/^deb +(\[[^]]*\] +)?//' | awk '{ print $1 }'
    } 2>/dev/null | grep -v security | head -n 1 || true
}

# A deb-src entry for the machine's own mirror and release, so apt-get
# source fetches the versions the installed system has.
add_deb_src() {
    [ -f "$SRC_LIST" ] && return 0
    local codename mirror keyring
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    mirror=$(own_mirror "$codename")
    [ -n "$mirror" ] || { echo "windows: no Debian mirror found in the apt lists" >&2; return 1; }
    keyring=$(ls /usr/share/keyrings/debian-archive-keyring.{pgp,gpg} 2>/dev/null | head -n 1 || true)
    printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\n%s' "$mirror" "$codename" \
        "${keyring:+Signed-By: $keyring
}" | "${SUDO[@]}" tee "$SRC_LIST" >/dev/null
    echo "windows: source packages from $mirror $codename ($SRC_LIST)"
    "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
}

install_packages() {
    local missing=() p
    for p in "${PACKAGES[@]}"; do
        is_installed "$p" || missing+=("$p")
    done
    [ "${#missing[@]}" = 0 ] && return 0
    echo "windows: installing ${missing[*]}"
    "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
}

# The next Debian release's source of a package, for a mirror that has lost
# the files of the machine's own (openal-soft for Debian 12 answers 404 on
# some), through a deb-src list of its own kept apart from the machine's
# apt, checked by the same archive keyring. The upstream tarball only:
# that is what such mirrors keep.
fetch_next_release_tarball() {
    local name=$1 codename next mirror keyring apt
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    case $codename in
        bookworm) next=trixie ;;
        *) return 1 ;;
    esac
    mirror=$(own_mirror "$codename")
    keyring=$(ls /usr/share/keyrings/debian-archive-keyring.{pgp,gpg} 2>/dev/null | head -n 1 || true)
    [ -n "$mirror" ] && [ -n "$keyring" ] || return 1
    apt=$DEPS/apt-$next
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/parts"
    echo "deb-src [signed-by=$keyring] $mirror $next main" >"$apt/sources.list"
    local opts=(-o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts="$apt/parts"
        -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache")
    echo "windows: no source of $name for $codename on the mirror; $next's instead" >&2
    apt-get "${opts[@]}" update -q >&2 &&
        (cd "$DEPS/src" && apt-get "${opts[@]}" source -q --tar-only "$name" >&2)
}

# Unpacks one source package into $DEPS/src (once) and prints its folder.
# Some mirrors keep only the upstream tarball of a point release, not its
# .dsc and Debian's changes; then the upstream tarball is built as it is,
# the next release's when even the release's own is gone.
fetch_source() {
    local name=$1 dir archive
    mkdir -p "$DEPS/src"
    dir=$(find "$DEPS/src" -mindepth 1 -maxdepth 1 -type d -name "$name-*" | head -n 1)
    if [ -z "$dir" ] && ! (cd "$DEPS/src" && apt-get source -q "$name" >&2); then
        echo "windows: no Debian source of $name on the mirror; its upstream tarball instead" >&2
        (cd "$DEPS/src" && apt-get source -q --tar-only "$name" >&2) ||
            fetch_next_release_tarball "$name" || true
        archive=$(ls "$DEPS/src/${name}_"*.orig.tar.* 2>/dev/null | head -n 1)
        [ -n "$archive" ] || { echo "windows: apt-get source $name fetched nothing" >&2; return 1; }
        dir=$DEPS/src/$name-$(basename "$archive" | sed -E 's/^[^_]+_(.*)\.orig\.tar\..*$/\1/')
        mkdir -p "$dir" && tar -xf "$archive" -C "$dir" --strip-components=1 >&2
    fi
    dir=$(find "$DEPS/src" -mindepth 1 -maxdepth 1 -type d -name "$name-*" | head -n 1)
    [ -n "$dir" ] || { echo "windows: apt-get source $name gave no folder" >&2; return 1; }
    echo "$dir"
}

# Prints Debian's copyright file of a source package: from its unpacked
# debian/ folder, else from an installed binary package built from it.
copyright_of() {
    local name=$1 dir bin
    dir=$(find "$DEPS/src" -mindepth 1 -maxdepth 1 -type d -name "$name-*" | head -n 1)
    [ -n "$dir" ] && [ -f "$dir/debian/copyright" ] && { cat "$dir/debian/copyright"; return 0; }
    for bin in $(dpkg-query -W -f='${binary:Package} ${source:Package}\n' |
        awk -v s="$name" '$2 == s { sub(/:.*/, "", $1); print $1 }'); do
        [ -f "/usr/share/doc/$bin/copyright" ] && { cat "/usr/share/doc/$bin/copyright"; return 0; }
    done
    echo "windows: no copyright file of $name" >&2
    return 1
}

# A CMake project of a source package, built and installed into $PREFIX.
# Its compiler's words go to a log of its own (a library's warnings are its
# maintainers' business, and OpenAL Soft's run to thousands of lines),
# shown only when the build fails.
cmake_dep() {
    local src=$1 name log
    name=$(basename "$src")
    shift
    mkdir -p "$DEPS/build"
    log=$DEPS/build/$name.log
    if ! { cmake -S "$src" -B "$DEPS/build/$name" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" "$@" &&
        cmake --build "$DEPS/build/$name" -j"$JOBS" &&
        cmake --install "$DEPS/build/$name"; } >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        echo "windows: building $name failed (whole log: $log)" >&2
        return 1
    fi
}

# sin, cos, sincos, asin and acos from Debian's glibc source package, the
# version the machine runs, in glibc's three x86_64 variants with glibc's
# flags for each (scripts/windows/glibc-maths/dispatch.c picks one at run
# time as glibc does): libglibc_maths.a. Only the maths folders are taken
# from the source archive.
build_maths() {
    local shim=$ROOT/scripts/windows/glibc-maths work=$DEPS/build/glibc-maths archive dbl variant
    mkdir -p "$DEPS/src" "$work"
    (cd "$DEPS/src" && apt-get source -q --tar-only glibc >&2)
    archive=$(ls "$DEPS"/src/glibc_*.orig.tar.xz | head -n 1)
    rm -rf "$work"/* && tar -xJf "$archive" -C "$work" --strip-components=1 --wildcards \
        '*/sysdeps/ieee754/dbl-64/*'
    dbl=$work/sysdeps/ieee754/dbl-64
    for variant in sse2 fma fma4; do
        local flags=(-O2 -std=gnu11 -frounding-math -fno-builtin -I"$shim" -I"$dbl")
        case $variant in
            sse2) flags+=(-ffp-contract=off) ;;
            fma) flags+=(-mfma -mavx2 -ffp-contract=fast) ;;
            fma4) flags+=(-mfma4 -ffp-contract=fast) ;;
        esac
        local names=(-D__sin=__sin_$variant -D__cos=__cos_$variant -D__sincos=__sincos_$variant
            -D__ieee754_asin=__asin_$variant -D__ieee754_acos=__acos_$variant)
        x86_64-w64-mingw32-gcc "${flags[@]}" "${names[@]}" -c "$dbl/s_sin.c" -o "$work/s_sin-$variant.o"
        x86_64-w64-mingw32-gcc "${flags[@]}" "${names[@]}" -c "$dbl/s_sincos.c" -o "$work/s_sincos-$variant.o"
        x86_64-w64-mingw32-gcc "${flags[@]}" "${names[@]}" -c "$dbl/e_asin.c" -o "$work/e_asin-$variant.o"
    done
    x86_64-w64-mingw32-gcc -O2 -ffp-contract=off -I"$shim" -I"$dbl" -c "$dbl/branred.c" -o "$work/branred.o"
    x86_64-w64-mingw32-gcc -O2 -ffp-contract=off -I"$shim" -I"$dbl" -c "$dbl/sincostab.c" -o "$work/sincostab.o"
    x86_64-w64-mingw32-gcc -O2 -fno-builtin -Wall -Wextra -c "$shim/dispatch.c" -o "$work/dispatch.o"
    rm -f "$PREFIX/lib/libglibc_maths.a"
    x86_64-w64-mingw32-ar rcs "$PREFIX/lib/libglibc_maths.a" "$work"/*.o
    basename "$archive" .orig.tar.xz >"$DEPS/glibc-maths.done"
}

# The libraries, static but OpenAL Soft, each built once (a stamp names its
# version).
build_deps() {
    local src
    export CLANKWISE_WIN_PREFIX=$PREFIX
    mkdir -p "$PREFIX/lib" "$PREFIX/include"
    [ -f "$DEPS/zlib.done" ] || {
        src=$(fetch_source zlib)
        # Debian's zlib source has no Windows makefile: the library is its
        # top-level C files.
        mkdir -p "$DEPS/build/zlib"
        (cd "$DEPS/build/zlib" && rm -f ./*.o &&
            x86_64-w64-mingw32-gcc -O2 -c "$src"/{adler32,compress,crc32,deflate,gzclose,gzlib,gzread,gzwrite,infback,inffast,inflate,inftrees,trees,uncompr,zutil}.c &&
            x86_64-w64-mingw32-ar rcs "$PREFIX/lib/libz.a" ./*.o)
        cp "$src/zlib.h" "$src/zconf.h" "$PREFIX/include/"
        basename "$src" >"$DEPS/zlib.done"
    }
    [ -f "$DEPS/libpng.done" ] || {
        src=$(fetch_source libpng1.6)
        cmake_dep "$src" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
            -DZLIB_LIBRARY="$PREFIX/lib/libz.a" -DZLIB_INCLUDE_DIR="$PREFIX/include"
        basename "$src" >"$DEPS/libpng.done"
    }
    [ -f "$DEPS/freeglut.done" ] || {
        src=$(fetch_source freeglut)
        cmake_dep "$src" -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON \
            -DFREEGLUT_BUILD_DEMOS=OFF
        # Installed only where freeglut stands in for GLUT; the tests include it.
        cp "$src/include/GL/glut.h" "$PREFIX/include/GL/"
        basename "$src" >"$DEPS/freeglut.done"
    }
    # SDL2, for the pads, linked in (its zlib licence allows it): what its
    # game controllers need, without its sound, drawing or GL.
    [ -f "$DEPS/libsdl2.done" ] || {
        src=$(fetch_source libsdl2)
        cmake_dep "$src" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_TESTS=OFF \
            -DSDL2_DISABLE_SDL2MAIN=ON -DSDL_AUDIO=OFF -DSDL_RENDER=OFF -DSDL_HAPTIC=OFF \
            -DSDL_POWER=OFF -DSDL_FILESYSTEM=OFF -DSDL_LOCALE=OFF -DSDL_MISC=OFF -DSDL_OPENGL=OFF \
            -DSDL_OPENGLES=OFF -DSDL_VULKAN=OFF -DSDL_CCACHE=OFF
        basename "$src" >"$DEPS/libsdl2.done"
    }
    [ -f "$DEPS/googletest.done" ] || {
        src=$(fetch_source googletest)
        cmake_dep "$src" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
        basename "$src" >"$DEPS/googletest.done"
    }
    # OpenAL Soft, the one library shipped as a DLL beside the game
    # (OpenAL32.dll), so that a player can put another build of it in its
    # place, as its licence (LGPL) asks; the game loads it when it starts
    # and plays silently without it. Its own C runtime parts linked in.
    # A mirror without its source leaves the zip without the DLL; the
    # game's OpenAL headers are then Debian's (libopenal-dev), the same.
    [ -f "$DEPS/openal-soft.done" ] || {
        if src=$(fetch_source openal-soft); then
            cmake_dep "$src" -DLIBTYPE=SHARED -DALSOFT_UTILS=OFF -DALSOFT_NO_CONFIG_UTIL=ON \
                -DALSOFT_EXAMPLES=OFF -DALSOFT_TESTS=OFF -DALSOFT_INSTALL_CONFIG=OFF \
                -DALSOFT_INSTALL_HRTF_DATA=OFF -DALSOFT_INSTALL_AMBDEC_PRESETS=OFF \
                -DALSOFT_EMBED_HRTF_DATA=OFF -DCMAKE_SHARED_LINKER_FLAGS=-static
            basename "$src" >"$DEPS/openal-soft.done"
        else
            echo "windows: no source of openal-soft: the zip goes without OpenAL32.dll" \
                 "(the game plays silently)" >&2
        fi
    }
    [ -f "$PREFIX/include/AL/al.h" ] || cp -r /usr/include/AL "$PREFIX/include/"
    [ -f "$DEPS/glibc-maths.done" ] || build_maths
    echo "windows: static libraries from $(cat "$DEPS"/*.done | tr '\n' ' ')"
}

# The game, the tools and the unit tests, cross-built in build-windows/.
build_game() {
    cmake -S "$ROOT" -B "$OUT" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_PREFIX_PATH="$PREFIX" >/dev/null
    cmake --build "$OUT" -j"$JOBS" --target clankwise replay record unit_tests pad_sdl_tests \
        clankwise_counted math_walks
}

# The zip for players: the three programs, stripped, and their README.
make_zip() {
    local version name stage
    version=$(sed -nE 's/^project\(clankwise VERSION ([0-9.]+).*/\1/p' "$ROOT/CMakeLists.txt")
    name=clankwise-$version-win64
    stage=$OUT/zip/$name
    rm -rf "$OUT/zip" "$OUT/$name.zip"
    mkdir -p "$stage"
    x86_64-w64-mingw32-strip -o "$stage/clankwise.exe" "$OUT/clankwise.exe"
    x86_64-w64-mingw32-strip -o "$stage/clankwise-replay.exe" "$OUT/tools/replay.exe"
    x86_64-w64-mingw32-strip -o "$stage/clankwise-record.exe" "$OUT/tools/record.exe"
    [ ! -f "$PREFIX/bin/OpenAL32.dll" ] ||
        x86_64-w64-mingw32-strip -o "$stage/OpenAL32.dll" "$PREFIX/bin/OpenAL32.dll"
    # Windows' own editors want CRLF line ends.
    sed 's/$/\r/' "$ROOT/packaging/windows/README.txt" >"$stage/README.txt"
    sed 's/$/\r/' "$ROOT/LICENSE" >"$stage/LICENSE.txt"
    # The libraries linked in, with the terms Debian ships them under.
    mkdir -p "$stage/licences"
    local pkg
    for pkg in zlib libpng1.6 freeglut libsdl2 glibc; do
        copyright_of "$pkg" | sed 's/$/\r/' >"$stage/licences/$pkg.txt"
    done
    [ ! -f "$stage/OpenAL32.dll" ] ||
        copyright_of openal-soft | sed 's/$/\r/' >"$stage/licences/openal-soft.txt"
    (cd "$OUT/zip" && zip -q -X -r "$OUT/$name.zip" "$name")
    echo "windows: $OUT/$name.zip ($(stat -c %s "$OUT/$name.zip") bytes)"
}

main() {
    if [ "${1:-}" = --list ]; then
        printf '%s\n' "${PACKAGES[@]}"
        printf 'source: %s\n' "${SOURCES[@]}"
        return 0
    fi
    install_packages
    add_deb_src
    build_deps
    build_game
    make_zip
}

main "$@"
