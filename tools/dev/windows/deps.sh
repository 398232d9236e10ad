#!/usr/bin/env bash
# Builds the libraries a Windows build of Vantrel needs (SDL2, freetype,
# SDL2_ttf, SDL2_gfx, libmodplug, SDL2_mixer, libpng, libjpeg-turbo,
# SDL2_image) and GoogleTest for x86_64-w64-mingw32, from Debian's own source
# packages (tools/dev/debsrc_build.sh), into a cache outside the clone (zlib comes
# built, from Debian's libz-mingw-w64-dev):
#
#   ${XDG_CACHE_HOME:-~/.cache}/vantrel/windows/<key>/{bin,include,lib}
#
# The key names the source versions (and a digest of them, of the build
# recipe's number and of the compiler), so a second run finds the libraries
# built and only prints the directory. Runs at the same time wait for each other.
# Needs root (or sudo) the first time, to add deb-src lines and update apt.
#
#   deps.sh            builds what is missing; prints the directory last
#   deps.sh --key      prints the directory it would use, builds nothing
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
TOOLCHAIN="$HERE/../../../cmake/mingw-w64-x86_64.cmake"
HOST=x86_64-w64-mingw32
CACHE_ROOT="${XDG_CACHE_HOME:-$HOME/.cache}/vantrel/windows"
# The source packages, in build order.
SOURCES=(libpng1.6 libjpeg-turbo libsdl2 freetype libsdl2-ttf libsdl2-gfx libmodplug
    libsdl2-mixer libsdl2-image)
# Part of the cache key: raise it whenever the way the libraries are built
# changes, so that every machine builds them again.
RECIPE=3
DEBSRC_WHO="windows deps"
# shellcheck source=tools/dev/debsrc_build.sh
. "$HERE/../debsrc_build.sh"

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

# The cache directory for these sources, this script and this compiler.
cache_dir() {
    local versions digest sdl
    versions=$(source_versions)
    [ "$(printf '%s\n' "$versions" | wc -l)" -eq ${#SOURCES[@]} ] ||
        fail "apt-get did not name a version for each of: ${SOURCES[*]}"
    digest=$({
        printf '%s\n' "$versions"
        printf 'googletest %s\n' "$(package_version googletest)"
        printf 'zlib %s\n' "$(package_version libz-mingw-w64-dev)"
        printf 'recipe %s\n' "$RECIPE"
        "$HOST-gcc-posix" --version | head -n 1
    } | sha256sum | cut -c 1-12)
    sdl=$(printf '%s\n' "$versions" | awk '$1 == "libsdl2" { print $2 }')
    printf '%s/sdl2-%s-%s\n' "$CACHE_ROOT" "${sdl%%+*}" "$digest"
}

build_libpng1.6() {
    debsrc_cmake "$1" -DPNG_STATIC=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_TOOLS=OFF \
        -DSKIP_INSTALL_PROGRAMS=ON
}

build_libjpeg-turbo() {
    debsrc_cmake "$1" -DENABLE_STATIC=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF
}

build_libsdl2() {
    debsrc_cmake "$1" -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF -DSDL_TESTS=OFF
}

build_freetype() { debsrc_cmake "$1" "${FREETYPE_OPTIONS[@]}" -DFT_REQUIRE_ZLIB=ON; }

build_libsdl2-ttf() { debsrc_cmake "$1" "${SDL2_TTF_OPTIONS[@]}" -DSDL2TTF_HARFBUZZ=OFF; }

# SDL2_gfx becomes one DLL.
build_libsdl2-gfx() {
    debsrc_sdl2_gfx "$1" "$HOST-gcc-posix" -O2 -DDLL_EXPORT &&
        "$HOST-gcc-posix" -shared ./*.o -L"$PREFIX/lib" -lSDL2 -o "$PREFIX/bin/SDL2_gfx.dll" \
            -Wl,--out-implib,"$PREFIX/lib/libSDL2_gfx.dll.a"
}

build_libmodplug() { debsrc_configure "$1" --host="$HOST" --disable-static; }

# And as Debian's own build: MOD through libmodplug.
build_libsdl2-mixer() {
    debsrc_cmake "$1" "${SDL2_MIXER_OPTIONS[@]}" -DSDL2MIXER_DEPS_SHARED=OFF -DSDL2MIXER_MOD=ON \
        -DSDL2MIXER_MOD_MODPLUG=ON -DSDL2MIXER_MOD_XMP=OFF
}

build_libsdl2-image() { debsrc_cmake "$1" "${SDL2_IMAGE_OPTIONS[@]}" -DSDL2IMAGE_BACKEND_WIC=OFF; }

# GoogleTest from Debian's binary package googletest, which holds its sources.
build_googletest() {
    [ -f /usr/src/googletest/CMakeLists.txt ] ||
        fail "GoogleTest's sources are missing from /usr/src/googletest"
    printf 'googletest %s\n' "$(package_version googletest)" >version
    debsrc_cmake /usr/src/googletest -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
}

# zlib and the compiler's own runtime DLLs, which every program needs beside it.
build_runtime() {
    local dll found
    printf 'libz-mingw-w64-dev %s\n' "$(package_version libz-mingw-w64-dev)" >version
    install -m 644 "/usr/$HOST/lib/zlib1.dll" "$PREFIX/bin/" || return 1
    for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
        found=$("$HOST-g++-posix" -print-file-name="$dll")
        [ -f "$found" ] || found=/usr/$HOST/lib/$dll
        [ -f "$found" ] || fail "the compiler's runtime $dll was not found"
        install -m 644 "$found" "$PREFIX/bin/" || return 1
    done
}

main() {
    [ "${1:-}" = --key ] || [ $# -eq 0 ] || fail "usage: deps.sh [--key]"
    local package old
    for package in g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest cmake ninja-build \
        dpkg-dev; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
            fail "$package is not installed (./dev windows installs it)"
    done
    debsrc_ensure
    PREFIX=$(cache_dir)
    if [ "${1:-}" = --key ] || [ -f "$PREFIX/.complete" ]; then
        printf '%s\n' "$PREFIX"
        return 0
    fi
    DEBSRC_CMAKE=(cmake -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DVANTREL_WINDOWS_DEPS="$PREFIX"
        -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON)
    DEBSRC_CONFIGURE=(env CC="$HOST-gcc-posix" CXX="$HOST-g++-posix")
    debsrc_build "${SOURCES[@]}" +googletest +runtime
    # Builds for sources no longer current are not used again.
    for old in "$CACHE_ROOT"/sdl2-*; do
        [ "$old" = "$PREFIX" ] || rm -rf "$old"
    done
    printf '%s\n' "$PREFIX"
}

main "$@"
