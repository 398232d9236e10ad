#!/usr/bin/env bash
# Builds the libraries a Windows build of Vantrel needs (SDL2, freetype,
# SDL2_ttf, SDL2_gfx, libmodplug, SDL2_mixer, libpng, libjpeg-turbo,
# SDL2_image) and GoogleTest for x86_64-w64-mingw32, from Debian's own source
# packages, into a cache outside the clone (zlib comes built, from Debian's
# libz-mingw-w64-dev):
#
#   ${XDG_CACHE_HOME:-~/.cache}/vantrel/windows/<key>/{bin,include,lib}
#
# The key names the source versions (and a digest of them, of the build
# recipe's number and of the compiler), so a second run, or CI on the same machine, finds the libraries
# built and only prints the directory. Runs at the same time wait for each
# other.
#
#   deps.sh            builds what is missing; prints the directory last
#   deps.sh --key      prints the directory it would use, builds nothing
#
# Needs root (or sudo) the first time: it adds deb-src lines for the archive
# the machine already uses, then runs apt-get update.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TOOLCHAIN="$HERE/../../cmake/mingw-w64-x86_64.cmake"
HOST=x86_64-w64-mingw32
CACHE_ROOT="${XDG_CACHE_HOME:-$HOME/.cache}/vantrel/windows"
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 2)}
# The source packages, in build order.
SOURCES=(libpng1.6 libjpeg-turbo libsdl2 freetype libsdl2-ttf libsdl2-gfx libmodplug
    libsdl2-mixer libsdl2-image)
# Part of the cache key: raise it whenever the way the libraries are built
# changes, so that every machine builds them again.
RECIPE=2

say() { printf 'windows deps: %s\n' "$*" >&2; }
fail() {
    printf 'windows deps: %s\n' "$*" >&2
    exit 1
}

# shellcheck source=tools/debsrc.sh
. "$HERE/../debsrc.sh"

# Prints "<package> <version>" for each source package, the versions
# apt-get source would fetch (one apt-get call: each costs seconds).
source_versions() {
    local uris
    uris=$(apt-get source --print-uris -qq "${SOURCES[@]}" 2>&1) ||
        fail "apt-get cannot find the source packages: $uris"
    printf '%s\n' "$uris" | grep -o "'[^']*\.dsc'" | sed -e "s,.*/,," -e "s,\.dsc'\$,," \
        -e 's,%2b,+,g' -e 's,%3a,:,g' | tr '_' ' '
}

package_version() {
    dpkg-query -W -f='${Version}' "$1" 2>/dev/null || fail "$1 is not installed"
}

googletest_version() {
    package_version googletest
}

# The cache directory for these sources, this script and this compiler.
cache_dir() {
    local versions digest
    versions=$(source_versions)
    [ "$(printf '%s\n' "$versions" | wc -l)" -eq ${#SOURCES[@]} ] ||
        fail "apt-get did not name a version for each of: ${SOURCES[*]}"
    digest=$({
        printf '%s\n' "$versions"
        printf 'googletest %s\n' "$(googletest_version)"
        printf 'zlib %s\n' "$(package_version libz-mingw-w64-dev)"
        printf 'recipe %s\n' "$RECIPE"
        "$HOST-gcc-posix" --version | head -n 1
    } | sha256sum | cut -c 1-12)
    local sdl
    sdl=$(printf '%s\n' "$versions" | awk '$1 == "libsdl2" { print $2 }')
    printf '%s/sdl2-%s-%s\n' "$CACHE_ROOT" "${sdl%%+*}" "$digest"
}

# ---- Building -------------------------------------------------------------------

# versions_newest_first PACKAGE: every version of the source package apt knows.
versions_newest_first() {
    local versions=() version i j
    mapfile -t versions < <(apt-cache showsrc --only-source "$1" | sed -n 's/^Version: //p' | sort -u)
    for ((i = 1; i < ${#versions[@]}; i++)); do
        version=${versions[$i]}
        for ((j = i - 1; j >= 0; j--)); do
            dpkg --compare-versions "${versions[$j]}" lt "$version" || break
            versions[$((j + 1))]=${versions[$j]}
        done
        versions[$((j + 1))]=$version
    done
    printf '%s\n' "${versions[@]}"
}

# download PACKAGE: downloads the newest source of PACKAGE that the mirror
# has into the current directory. Some mirrors lack the security archive's
# sources, or a package's Debian part: then an older version, or the upstream
# tarball alone, is taken, and said.
download() {
    local package=$1 version
    apt-get source --download-only -qq "$package" && return 0
    while read -r version; do
        rm -f ./*
        if apt-get source --download-only -qq "$package=$version"; then
            say "$package: the newest source is not on the mirror; building $version"
            return 0
        fi
    done < <(versions_newest_first "$package")
    rm -f ./*
    if apt-get source --download-only --tar-only -qq "$package"; then
        say "$package: the Debian part is not on the mirror; building the upstream source alone"
        return 0
    fi
    return 1
}

# fetch PACKAGE: downloads and unpacks PACKAGE's source in the current
# directory; prints the directory it unpacked to.
fetch() {
    local package=$1 log="$WORK/logs/fetch-$1.log"
    mkdir -p "$package"
    (cd "$package" && download "$package") >"$log" 2>&1 || {
        cat "$log" >&2
        fail "could not download the source package $package"
    }
    grep '^windows deps:' "$log" >&2 || true
    # With its Debian part, the source is unpacked with Debian's patches
    # (security fixes among them) applied; without it, the upstream tarball.
    local dsc tarball
    dsc=$(find "$package" -maxdepth 1 -name '*.dsc' | head -n 1)
    if [ -n "$dsc" ] && [ -n "$(find "$package" -maxdepth 1 -name '*.debian.tar.*')" ]; then
        dpkg-source --no-check -x "$dsc" "$package/src" >>"$log" 2>&1 || {
            cat "$log" >&2
            fail "could not unpack the source package $package"
        }
    else
        tarball=$(find "$package" -maxdepth 1 -name '*.orig.tar.*' ! -name '*.asc' | head -n 1)
        [ -n "$tarball" ] || fail "no upstream tarball in the source package $package"
        mkdir -p "$package/src"
        tar -xf "$tarball" -C "$package/src" --strip-components=1
    fi
    local built
    built=$(find "$package" -maxdepth 1 -name '*.dsc' -o -maxdepth 1 -name '*.orig.tar.*' |
        sort | head -n 1)
    built=${built##*/}
    built=${built#*_}
    built=${built%.dsc}
    printf "%s %s\n" "$package" "${built%.orig.tar.*}" >>"$WORK/built.txt"
    printf '%s\n' "$WORK/$package/src"
}

# cmake_build NAME SOURCE_DIR [CMAKE_ARGUMENTS...]: configures, builds and
# installs one CMake project into the prefix, logging to logs/NAME.log.
cmake_build() {
    local name=$1 source=$2 log="$WORK/logs/$1.log"
    shift 2
    local start=$SECONDS
    {
        cmake -S "$source" -B "$WORK/build-$name" -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DVANTREL_WINDOWS_DEPS="$PREFIX" \
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" \
            -DBUILD_SHARED_LIBS=ON "$@" &&
            cmake --build "$WORK/build-$name" -j "$JOBS" &&
            cmake --install "$WORK/build-$name"
    } >"$log" 2>&1 || {
        tail -n 40 "$log" >&2
        fail "building $name failed (whole log: $log)"
    }
    say "built $name ($((SECONDS - start)) s)"
}

build_libpng() {
    local src
    src=$(fetch libpng1.6)
    cmake_build libpng "$src" -DPNG_STATIC=OFF -DPNG_TESTS=OFF \
        -DPNG_EXECUTABLES=OFF -DPNG_TOOLS=OFF -DSKIP_INSTALL_PROGRAMS=ON
}

build_libjpeg() {
    local src
    src=$(fetch libjpeg-turbo)
    cmake_build libjpeg "$src" -DENABLE_STATIC=OFF -DWITH_SIMD=OFF \
        -DWITH_TURBOJPEG=OFF
}

build_sdl2() {
    local src
    src=$(fetch libsdl2)
    cmake_build sdl2 "$src" -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF \
        -DSDL_TESTS=OFF
}

build_freetype() {
    local src
    src=$(fetch freetype)
    cmake_build freetype "$src" -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON \
        -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_REQUIRE_ZLIB=ON
}

build_sdl2_ttf() {
    local src
    src=$(fetch libsdl2-ttf)
    cmake_build sdl2_ttf "$src" -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF \
        -DSDL2TTF_SAMPLES=OFF
}

# SDL2_gfx has no CMake build; its five sources become one DLL.
build_sdl2_gfx() {
    local src start=$SECONDS log="$WORK/logs/sdl2_gfx.log"
    src=$(fetch libsdl2-gfx)
    {
        "$HOST-gcc-posix" -O2 -shared -DDLL_EXPORT -I"$PREFIX/include/SDL2" \
            "$src"/SDL2_framerate.c "$src"/SDL2_gfxPrimitives.c "$src"/SDL2_imageFilter.c \
            "$src"/SDL2_rotozoom.c -L"$PREFIX/lib" -lSDL2 \
            -o "$PREFIX/bin/SDL2_gfx.dll" -Wl,--out-implib,"$PREFIX/lib/libSDL2_gfx.dll.a" &&
            install -m 644 "$src"/SDL2_framerate.h "$src"/SDL2_gfxPrimitives.h \
                "$src"/SDL2_gfxPrimitives_font.h "$src"/SDL2_imageFilter.h \
                "$src"/SDL2_rotozoom.h "$PREFIX/include/SDL2/"
    } >"$log" 2>&1 || {
        tail -n 40 "$log" >&2
        fail "building SDL2_gfx failed (whole log: $log)"
    }
    say "built SDL2_gfx ($((SECONDS - start)) s)"
}

build_libmodplug() {
    local src start=$SECONDS log="$WORK/logs/libmodplug.log"
    src=$(fetch libmodplug)
    if [ -f "$src/CMakeLists.txt" ]; then
        cmake_build libmodplug "$src"
        return
    fi
    (
        mkdir -p "$WORK/build-libmodplug"
        cd "$WORK/build-libmodplug"
        "$src/configure" --host="$HOST" --prefix="$PREFIX" --disable-static \
            CC="$HOST-gcc-posix" CXX="$HOST-g++-posix" &&
            make -j "$JOBS" && make install
    ) >"$log" 2>&1 || {
        tail -n 40 "$log" >&2
        fail "building libmodplug failed (whole log: $log)"
    }
    say "built libmodplug ($((SECONDS - start)) s)"
}

build_sdl2_mixer() {
    # WAV, and as Debian's own build: MOD through libmodplug; Ogg Vorbis and
    # MP3 through the decoders SDL2_mixer carries, and FLAC through its dr_flac.
    local src
    src=$(fetch libsdl2-mixer)
    cmake_build sdl2_mixer "$src" -DSDL2MIXER_VENDORED=OFF \
        -DSDL2MIXER_DEPS_SHARED=OFF -DSDL2MIXER_SAMPLES=OFF \
        -DSDL2MIXER_MOD=ON -DSDL2MIXER_MOD_MODPLUG=ON -DSDL2MIXER_MOD_XMP=OFF \
        -DSDL2MIXER_VORBIS=STB -DSDL2MIXER_MP3=ON -DSDL2MIXER_MP3_DRMP3=ON \
        -DSDL2MIXER_MP3_MPG123=OFF -DSDL2MIXER_FLAC=ON -DSDL2MIXER_FLAC_DRFLAC=ON \
        -DSDL2MIXER_FLAC_LIBFLAC=OFF -DSDL2MIXER_OPUS=OFF \
        -DSDL2MIXER_MIDI=OFF
}

build_sdl2_image() {
    local src
    src=$(fetch libsdl2-image)
    cmake_build sdl2_image "$src" -DSDL2IMAGE_VENDORED=OFF \
        -DSDL2IMAGE_DEPS_SHARED=OFF -DSDL2IMAGE_SAMPLES=OFF -DSDL2IMAGE_BACKEND_STB=OFF \
        -DSDL2IMAGE_BACKEND_WIC=OFF -DSDL2IMAGE_PNG=ON -DSDL2IMAGE_JPG=ON \
        -DSDL2IMAGE_AVIF=OFF -DSDL2IMAGE_TIF=OFF -DSDL2IMAGE_WEBP=OFF -DSDL2IMAGE_JXL=OFF
}

build_googletest() {
    local src
    src=/usr/src/googletest
    [ -f "$src/CMakeLists.txt" ] || fail "GoogleTest's sources are missing from $src"
    cmake_build googletest "$src" -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
}

# The compiler's own runtime DLLs, which every program needs beside it.
copy_runtime_dlls() {
    local dll found
    install -m 644 "/usr/$HOST/lib/zlib1.dll" "$PREFIX/bin/"
    for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
        found=$("$HOST-g++-posix" -print-file-name="$dll")
        [ -f "$found" ] || found=/usr/$HOST/lib/$dll
        [ -f "$found" ] || fail "the compiler's runtime $dll was not found"
        install -m 644 "$found" "$PREFIX/bin/"
    done
}

main() {
    [ "${1:-}" = --key ] || [ $# -eq 0 ] || fail "usage: deps.sh [--key]"
    local package
    for package in g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest cmake ninja-build \
        dpkg-dev; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
            fail "$package is not installed (./dev windows installs it)"
    done
    debsrc_ensure
    local dir
    dir=$(cache_dir)
    if [ "${1:-}" = --key ] || [ -f "$dir/.complete" ]; then
        printf '%s\n' "$dir"
        return 0
    fi

    mkdir -p "$CACHE_ROOT"
    exec 9>"$CACHE_ROOT/.lock"
    if ! flock -n 9; then
        say "another build of the Windows libraries is running; waiting for it (at most 60 min)"
        flock -w 3600 9 || fail "gave up waiting for the other build (lock: $CACHE_ROOT/.lock)"
    fi
    if [ -f "$dir/.complete" ]; then
        printf '%s\n' "$dir"
        return 0
    fi

    say "building the Windows libraries once into $dir (about 10-20 minutes)"
    local start=$SECONDS
    WORK="$dir.work"
    PREFIX="$dir"
    rm -rf "$WORK" "$dir"
    mkdir -p "$WORK/logs" "$PREFIX/bin" "$PREFIX/include/SDL2" "$PREFIX/lib"
    cd "$WORK"
    build_libpng
    build_libjpeg
    build_sdl2
    build_freetype
    build_sdl2_ttf
    build_sdl2_gfx
    build_libmodplug
    build_sdl2_mixer
    build_sdl2_image
    build_googletest
    copy_runtime_dlls
    cp "$WORK/built.txt" "$PREFIX/versions.txt"
    printf 'googletest %s\nlibz-mingw-w64-dev %s\n' "$(googletest_version)" \
        "$(package_version libz-mingw-w64-dev)" >>"$PREFIX/versions.txt"
    touch "$dir/.complete"
    cd /
    rm -rf "$WORK"
    # Builds for sources no longer current are not used again.
    local old
    for old in "$CACHE_ROOT"/sdl2-*; do
        [ "$old" = "$dir" ] || rm -rf "$old"
    done
    say "built the Windows libraries in $((SECONDS - start)) s"
    printf '%s\n' "$dir"
}

main "$@"
