#!/usr/bin/env bash
# Builds the libraries Vantrel needs for WebAssembly (SDL2, SDL2_gfx, FreeType,
# HarfBuzz, SDL2_ttf, SDL2_mixer, zlib, libpng, libjpeg-turbo, SDL2_image) with
# Emscripten, from Debian's own source packages (tools/dev/debsrc_build.sh), into a
# cache outside the clone:
#
#   tools/dev/web/libraries.sh            prints the prefix, building it first if needed
#   tools/dev/web/libraries.sh --prefix   prints the prefix without building anything
#
# The prefix is ~/.cache/vantrel/web/<versions> (or under $XDG_CACHE_HOME), so a
# second run, another clone or CI on the same machine finds it ready. Emscripten's
# own "ports" are no use here: they download their sources at build time, and
# Debian's emscripten package has a frozen cache. Everything this script prints
# goes to standard error, except the prefix, which is its standard output.
set -euo pipefail

DEBSRC_WHO="web libraries"
# shellcheck source=tools/dev/debsrc_build.sh
. "$(dirname "${BASH_SOURCE[0]}")/../debsrc_build.sh"

# Upstream versions as Debian 12 ships them; the cache is keyed by them, and a
# change of the build recipe below bumps RECIPE.
RECIPE=5
DEBSRC_VERSION=([libsdl2]=2.26.5 [libsdl2-gfx]=1.0.4 [freetype]=2.12.1 [harfbuzz]=6.0.0
    [libsdl2-ttf]=2.20.1 [libsdl2-mixer]=2.6.2 [zlib]=1.2.13 [libpng1.6]=1.6.39
    [libjpeg-turbo]=2.1.5 [libsdl2-image]=2.6.3)
# In build order.
PACKAGES=(zlib libpng1.6 libjpeg-turbo libsdl2 libsdl2-gfx freetype harfbuzz libsdl2-ttf
    libsdl2-mixer libsdl2-image)

CACHE_ROOT="${XDG_CACHE_HOME:-$HOME/.cache}/vantrel/web"
command -v emcc >/dev/null 2>&1 || fail "emcc not found: install Debian's emscripten package"
EM_VERSION=$(emcc --version 2>/dev/null | sed -n '1s/.*) \([0-9][0-9.]*\).*/\1/p')
[ -n "$EM_VERSION" ] || fail "could not read Emscripten's version from 'emcc --version'"
KEY="em$EM_VERSION-sdl${DEBSRC_VERSION[libsdl2]}-gfx${DEBSRC_VERSION[libsdl2-gfx]}"
KEY+="-ft${DEBSRC_VERSION[freetype]}-hb${DEBSRC_VERSION[harfbuzz]}-ttf${DEBSRC_VERSION[libsdl2-ttf]}"
KEY+="-mix${DEBSRC_VERSION[libsdl2-mixer]}-img${DEBSRC_VERSION[libsdl2-image]}-z${DEBSRC_VERSION[zlib]}"
KEY+="-png${DEBSRC_VERSION[libpng1.6]}-jpeg${DEBSRC_VERSION[libjpeg-turbo]}-r$RECIPE"
PREFIX="$CACHE_ROOT/$KEY"

if [ "${1:-}" = --prefix ] || [ -f "$PREFIX/.complete" ]; then
    echo "$PREFIX" && exit 0
fi

# Every library is optimised for size (-Os): a page carries all of it, and
# the code's size is also what the link's Asyncify pass takes time over.
OPTIMISE=-Os
DEBSRC_CMAKE=(emcmake cmake -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_PREFIX_PATH="$PREFIX"
    -DCMAKE_FIND_ROOT_PATH="$PREFIX" -DBUILD_SHARED_LIBS=OFF)
DEBSRC_CONFIGURE=(env CFLAGS="$OPTIMISE" emconfigure)
DEBSRC_MAKE=(emmake)

build_zlib() { debsrc_configure "$1" --static; }

build_libpng1.6() {
    debsrc_cmake "$1" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
        -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DZLIB_ROOT="$PREFIX" -DSKIP_INSTALL_PROGRAMS=ON
}

# Its type-size checks come out wrong under Emscripten: give the answers.
# Only the library is built, not the command-line tools.
build_libjpeg-turbo() {
    TARGET=jpeg-static debsrc_cmake "$1" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF \
        -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF -DHAVE_SIZE_T=TRUE -DSIZE_T=4 \
        -DHAVE_UNSIGNED_LONG=TRUE -DUNSIGNED_LONG=4 &&
        install -m 0644 build/libjpeg.a "$PREFIX/lib/" &&
        install -m 0644 "$1/jpeglib.h" "$1/jerror.h" "$1/jmorecfg.h" build/jconfig.h \
            "$PREFIX/include/"
}

# pc_file NAME VERSION DESCRIPTION LINE...: writes the pkg-config file NAME.pc.
pc_file() {
    # shellcheck disable=SC2016
    printf 'prefix=%s\nlibdir=${prefix}/lib\nincludedir=${prefix}/include\n\nName: %s\nDescription: %s\nVersion: %s\n' \
        "$PREFIX" "$1" "$3" "$2" >"$PREFIX/lib/pkgconfig/$1.pc"
    printf '%s\n' "${@:4}" >>"$PREFIX/lib/pkgconfig/$1.pc"
}

# SDL2 is compiled the way Emscripten's own SDL2 port compiles it: its sources
# for this platform, with the configuration header SDL ships for Emscripten,
# which spares CMake's many minutes of configure checks. The one change to that
# header: the haptic subsystem gets its dummy driver rather than none, so that
# SDL_Init(SDL_INIT_HAPTIC) succeeds as it does on a desktop.
SDL2_SOURCE_DIRS=('' atomic audio cpuinfo dynapi events file haptic joystick joystick/virtual locale
    misc power render render/opengles2 render/software sensor stdlib thread timer video
    video/yuv2rgb audio/emscripten audio/disk audio/dummy video/emscripten joystick/emscripten
    haptic/dummy sensor/dummy power/emscripten filesystem/emscripten timer/unix loadso/dlopen
    thread/generic locale/emscripten misc/emscripten)

build_libsdl2() {
    local src=$1 config dir sources=()
    config="$src/include/SDL_config_emscripten.h"
    sed -i 's/^#define SDL_HAPTIC_DISABLED 1$/#define SDL_HAPTIC_DUMMY 1/' "$config"
    grep -q '^#define SDL_HAPTIC_DUMMY 1$' "$config" || {
        echo "SDL_config_emscripten.h no longer disables the haptic subsystem as expected"
        return 1
    }
    for dir in "${SDL2_SOURCE_DIRS[@]}"; do
        sources+=("$src/src${dir:+/$dir}"/*.c)
    done
    mkdir -p "$src/objects"
    # shellcheck disable=SC2016
    printf '%s\n' "${sources[@]}" | xargs -P "$JOBS" -I '{}' sh -c \
        'object=$(printf %s "${2#"$1"/src/}" | tr / _); emcc "$3" -w -I"$1/include" -c "$2" -o "$1/objects/${object%.c}.o"' \
        _ "$src" '{}' "$OPTIMISE" || return 1
    emar rcs "$PREFIX/lib/libSDL2.a" "$src"/objects/*.o || return 1
    install -m 0644 "$src"/include/*.h "$PREFIX/include/SDL2/"
    mkdir -p "$PREFIX/lib/cmake/SDL2"
    cat >"$PREFIX/lib/cmake/SDL2/SDL2Config.cmake" <<'CONFIG'
# SDL2 for WebAssembly, built by Vantrel's tools/dev/web/libraries.sh.
get_filename_component(_sdl2_prefix "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
if(NOT TARGET SDL2::SDL2-static)
  add_library(SDL2::SDL2-static STATIC IMPORTED)
  set_target_properties(SDL2::SDL2-static PROPERTIES
    IMPORTED_LOCATION "${_sdl2_prefix}/lib/libSDL2.a"
    INTERFACE_INCLUDE_DIRECTORIES "${_sdl2_prefix}/include;${_sdl2_prefix}/include/SDL2")
endif()
if(NOT TARGET SDL2::SDL2)
  add_library(SDL2::SDL2 INTERFACE IMPORTED)
  set_target_properties(SDL2::SDL2 PROPERTIES INTERFACE_LINK_LIBRARIES SDL2::SDL2-static)
endif()
if(NOT TARGET SDL2::SDL2main)
  add_library(SDL2::SDL2main INTERFACE IMPORTED)
endif()
set(SDL2_INCLUDE_DIRS "${_sdl2_prefix}/include/SDL2")
set(SDL2_LIBRARIES SDL2::SDL2)
set(SDL2_FOUND TRUE)
CONFIG
    cat >"$PREFIX/lib/cmake/SDL2/SDL2ConfigVersion.cmake" <<CONFIG
set(PACKAGE_VERSION "${DEBSRC_VERSION[libsdl2]}")
set(PACKAGE_VERSION_COMPATIBLE TRUE)
if(PACKAGE_FIND_VERSION VERSION_GREATER PACKAGE_VERSION)
  set(PACKAGE_VERSION_COMPATIBLE FALSE)
elseif(PACKAGE_FIND_VERSION STREQUAL PACKAGE_VERSION)
  set(PACKAGE_VERSION_EXACT TRUE)
endif()
CONFIG
    # shellcheck disable=SC2016
    pc_file sdl2 "${DEBSRC_VERSION[libsdl2]}" "Simple DirectMedia Layer, for WebAssembly" \
        'Libs: -L${libdir} -lSDL2' 'Cflags: -I${includedir} -I${includedir}/SDL2'
}

# SDL2_gfx's autotools do not know the platform: its sources are compiled directly.
build_libsdl2-gfx() {
    # shellcheck disable=SC2016
    debsrc_sdl2_gfx "$1" emcc "$OPTIMISE" && emar rcs "$PREFIX/lib/libSDL2_gfx.a" ./*.o &&
        pc_file SDL2_gfx "${DEBSRC_VERSION[libsdl2-gfx]}" "drawing and graphical effects extension for SDL2" \
            'Requires: sdl2' 'Libs: -L${libdir} -lSDL2_gfx' 'Cflags: -I${includedir}/SDL2'
}

# Without zlib FreeType would compile its own copy of it in, whose names
# clash with the zlib that libpng needs; fonts are never gzipped here.
build_freetype() {
    local option=$1/include/freetype/config/ftoption.h
    sed -i 's|^#define FT_CONFIG_OPTION_USE_ZLIB$|/* #undef FT_CONFIG_OPTION_USE_ZLIB */|' "$option"
    grep -q '^/\* #undef FT_CONFIG_OPTION_USE_ZLIB \*/$' "$option" || return 1
    debsrc_cmake "$1" "${FREETYPE_OPTIONS[@]}" -DFT_DISABLE_ZLIB=ON
}

build_harfbuzz() {
    debsrc_cmake "$1" -DHB_HAVE_FREETYPE=ON -DHB_HAVE_GLIB=OFF -DHB_HAVE_ICU=OFF \
        -DHB_HAVE_GOBJECT=OFF -DHB_BUILD_SUBSET=OFF -DHB_BUILD_UTILS=OFF \
        -DCMAKE_DISABLE_FIND_PACKAGE_Threads=ON
}

build_libsdl2-ttf() {
    debsrc_cmake "$1" "${SDL2_TTF_OPTIONS[@]}" -DSDL2TTF_HARFBUZZ=ON -DSDL2TTF_INSTALL=ON
}

build_libsdl2-mixer() {
    debsrc_cmake "$1" "${SDL2_MIXER_OPTIONS[@]}" -DSDL2MIXER_CMD=OFF -DSDL2MIXER_WAVE=ON \
        -DSDL2MIXER_MOD=OFF -DSDL2MIXER_WAVPACK=OFF -DSDL2MIXER_INSTALL=ON
}

build_libsdl2-image() {
    debsrc_cmake "$1" "${SDL2_IMAGE_OPTIONS[@]}" -DSDL2IMAGE_BMP=ON -DSDL2IMAGE_INSTALL=ON
}

export PKG_CONFIG_LIBDIR="$PREFIX/lib/pkgconfig:$PREFIX/share/pkgconfig"
export PKG_CONFIG_PATH=
# Debian's emscripten runs its JavaScript tools with node; a node that is not
# Debian's must still find the modules Debian installs.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"

debsrc_build "${PACKAGES[@]}"
echo "$PREFIX"
