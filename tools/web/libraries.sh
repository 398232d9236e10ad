#!/usr/bin/env bash
# Builds the libraries Vantrel needs for WebAssembly (SDL2, SDL2_gfx, FreeType,
# HarfBuzz, SDL2_ttf, SDL2_mixer, zlib, libpng, libjpeg-turbo, SDL2_image) with
# Emscripten, from Debian's own source packages, into a cache outside the clone:
#
#   tools/web/libraries.sh            prints the prefix, building it first if needed
#   tools/web/libraries.sh --prefix   prints the prefix without building anything
#
# The prefix is ~/.cache/vantrel/web/<versions> (or under $XDG_CACHE_HOME), so a
# second run, another clone or CI on the same machine finds it ready. Emscripten's
# own "ports" are no use here: they download their sources at build time, and
# Debian's emscripten package has a frozen cache. The Debian sources are fetched
# with `apt-get source --download-only`, which needs deb-src lines: when none are
# configured, a file that mirrors the existing Debian entries is added under
# /etc/apt/sources.list.d/. Everything this script prints goes to standard error,
# except the prefix, which is its standard output.
set -euo pipefail

# Upstream versions as Debian 12 ships them; the cache is keyed by them, and a
# change of the build recipe below bumps RECIPE.
RECIPE=4
declare -A VERSION=(
    [libsdl2]=2.26.5 [libsdl2-gfx]=1.0.4 [freetype]=2.12.1 [harfbuzz]=6.0.0
    [libsdl2-ttf]=2.20.1 [libsdl2-mixer]=2.6.2 [zlib]=1.2.13 [libpng1.6]=1.6.39
    [libjpeg-turbo]=2.1.5 [libsdl2-image]=2.6.3
)
# In build order.
PACKAGES=(zlib libpng1.6 libjpeg-turbo libsdl2 libsdl2-gfx freetype harfbuzz libsdl2-ttf
    libsdl2-mixer libsdl2-image)

say() { printf 'web libraries: %s\n' "$*" >&2; }
fail() {
    printf 'web libraries: %s\n' "$*" >&2
    exit 1
}

emscripten_version() {
    emcc --version 2>/dev/null | sed -n '1s/.*) \([0-9][0-9.]*\).*/\1/p'
}

CACHE_ROOT="${XDG_CACHE_HOME:-$HOME/.cache}/vantrel/web"
command -v emcc >/dev/null 2>&1 || fail "emcc not found: install Debian's emscripten package"
EM_VERSION=$(emscripten_version)
[ -n "$EM_VERSION" ] || fail "could not read Emscripten's version from 'emcc --version'"
KEY="em$EM_VERSION-sdl${VERSION[libsdl2]}-gfx${VERSION[libsdl2-gfx]}-ft${VERSION[freetype]}"
KEY+="-hb${VERSION[harfbuzz]}-ttf${VERSION[libsdl2-ttf]}-mix${VERSION[libsdl2-mixer]}"
KEY+="-img${VERSION[libsdl2-image]}-z${VERSION[zlib]}-png${VERSION[libpng1.6]}"
KEY+="-jpeg${VERSION[libjpeg-turbo]}-r$RECIPE"
PREFIX="$CACHE_ROOT/$KEY"
STAMP="$PREFIX/.complete"

if [ "${1:-}" = --prefix ]; then
    echo "$PREFIX"
    exit 0
fi
if [ -f "$STAMP" ]; then
    echo "$PREFIX"
    exit 0
fi

mkdir -p "$CACHE_ROOT"
# One build at a time: a second caller waits for the first and then finds the stamp.
exec 9>"$CACHE_ROOT/.lock"
if ! flock -n 9; then
    say "another build of the web libraries is running; waiting for it (up to 60 minutes)"
    flock -w 3600 9 || fail "gave up waiting for the other build (lock: $CACHE_ROOT/.lock)"
fi
if [ -f "$STAMP" ]; then
    echo "$PREFIX"
    exit 0
fi

SOURCES="$CACHE_ROOT/sources"
WORK="$CACHE_ROOT/work-$KEY"
LOG="$CACHE_ROOT/build-$KEY.log"
JOBS=${JOBS:-2}
# shellcheck source=tools/debsrc.sh
. "$(dirname "${BASH_SOURCE[0]}")/../debsrc.sh"

fetch_sources() {
    mkdir -p "$SOURCES"
    local missing=() p
    for p in "${PACKAGES[@]}"; do
        compgen -G "$SOURCES/${p}_${VERSION[$p]}*.orig.tar.*" >/dev/null || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    debsrc_ensure
    # Only the upstream tarballs are used, and a mirror may lack a version's
    # Debian part (or a security update's files): try each version Debian
    # offers with the right upstream version until its tarball is there.
    say "downloading Debian's sources: ${missing[*]}"
    local version
    for p in "${missing[@]}"; do
        for version in $(apt-cache showsrc "$p" 2>/dev/null | sed -n 's/^Version: //p' | sort -r -u); do
            case "${version#*:}" in "${VERSION[$p]}"*) ;; *) continue ;; esac
            (cd "$SOURCES" && debsrc_apt_get source --download-only -qq "$p=$version") >/dev/null 2>&1 || true
            compgen -G "$SOURCES/${p}_${VERSION[$p]}*.orig.tar.*" >/dev/null && break
        done
        compgen -G "$SOURCES/${p}_${VERSION[$p]}*.orig.tar.*" >/dev/null ||
            fail "could not download the source of $p ${VERSION[$p]} with apt-get source (apt-cache showsrc $p lists what Debian offers)"
    done
}

# unpack PACKAGE: unpacks the upstream tarball into $WORK/PACKAGE and prints that folder.
unpack() {
    local p=$1 tarball
    tarball=$(compgen -G "$SOURCES/${p}_${VERSION[$p]}*.orig.tar.*" | grep -v -e '\.orig-' -e '\.asc$' | head -n 1) ||
        fail "Debian's source of $p is not version ${VERSION[$p]}: this script builds Debian 12's versions"
    rm -rf "${WORK:?}/$p"
    mkdir -p "$WORK/$p"
    tar -xf "$tarball" -C "$WORK/$p" --strip-components=1 || fail "could not unpack $tarball"
    echo "$WORK/$p"
}

# Every library is optimised for size (-Os): a page carries all of it, and
# the code's size is also what the link's Asyncify pass takes time over.
OPTIMISE=-Os

# cmake_build SOURCE_DIR [CMAKE_ARGUMENTS...]: configures, builds and installs
# one library for WebAssembly into the prefix.
cmake_build() {
    local src=$1
    shift
    emcmake cmake -S "$src" -B "$src/build-web" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DCMAKE_INSTALL_PREFIX="$PREFIX" -DCMAKE_PREFIX_PATH="$PREFIX" \
        -DCMAKE_FIND_ROOT_PATH="$PREFIX" -DBUILD_SHARED_LIBS=OFF "$@" &&
        cmake --build "$src/build-web" -j "$JOBS" &&
        cmake --install "$src/build-web"
}

build_zlib() {
    local src
    src=$(unpack zlib)
    (cd "$src" && CFLAGS="$OPTIMISE" emconfigure ./configure --static --prefix="$PREFIX" &&
        emmake make -j "$JOBS" libz.a && emmake make install)
}

build_libpng() {
    cmake_build "$(unpack libpng1.6)" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
        -DPNG_EXECUTABLES=OFF -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DZLIB_ROOT="$PREFIX" -DSKIP_INSTALL_PROGRAMS=ON
}

build_libjpeg() {
    local src
    src=$(unpack libjpeg-turbo)
    # Its type-size checks come out wrong under Emscripten: give the answers.
    # Only the library is built, not the command-line tools.
    emcmake cmake -S "$src" -B "$src/build-web" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DCMAKE_INSTALL_PREFIX="$PREFIX" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF \
        -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF -DHAVE_SIZE_T=TRUE -DSIZE_T=4 \
        -DHAVE_UNSIGNED_LONG=TRUE -DUNSIGNED_LONG=4 &&
        cmake --build "$src/build-web" -j "$JOBS" --target jpeg-static || return 1
    install -m 0644 "$src/build-web/libjpeg.a" "$PREFIX/lib/" &&
        install -m 0644 "$src/jpeglib.h" "$src/jerror.h" "$src/jmorecfg.h" "$src/build-web/jconfig.h" \
            "$PREFIX/include/"
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

build_sdl2() {
    local src config dir sources=()
    src=$(unpack libsdl2)
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
# SDL2 for WebAssembly, built by Vantrel's tools/web/libraries.sh.
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
set(PACKAGE_VERSION "${VERSION[libsdl2]}")
if(PACKAGE_FIND_VERSION VERSION_GREATER PACKAGE_VERSION)
  set(PACKAGE_VERSION_COMPATIBLE FALSE)
else()
  set(PACKAGE_VERSION_COMPATIBLE TRUE)
  if(PACKAGE_FIND_VERSION STREQUAL PACKAGE_VERSION)
    set(PACKAGE_VERSION_EXACT TRUE)
  endif()
endif()
CONFIG
    cat >"$PREFIX/lib/pkgconfig/sdl2.pc" <<CONFIG
prefix=$PREFIX
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: sdl2
Description: Simple DirectMedia Layer, for WebAssembly
Version: ${VERSION[libsdl2]}
Libs: -L\${libdir} -lSDL2
Cflags: -I\${includedir} -I\${includedir}/SDL2
CONFIG
}

# SDL2_gfx's autotools do not know the platform: compile its four sources directly.
build_sdl2_gfx() {
    local src file objects=()
    src=$(unpack libsdl2-gfx)
    for file in SDL2_framerate SDL2_gfxPrimitives SDL2_imageFilter SDL2_rotozoom; do
        emcc "$OPTIMISE" -I"$PREFIX/include/SDL2" -c "$src/$file.c" -o "$src/$file.o" || return 1
        objects+=("$src/$file.o")
    done
    emar rcs "$PREFIX/lib/libSDL2_gfx.a" "${objects[@]}" || return 1
    install -m 0644 "$src"/SDL2_framerate.h "$src"/SDL2_gfxPrimitives.h "$src"/SDL2_gfxPrimitives_font.h \
        "$src"/SDL2_imageFilter.h "$src"/SDL2_rotozoom.h "$PREFIX/include/SDL2/"
    cat >"$PREFIX/lib/pkgconfig/SDL2_gfx.pc" <<EOF
prefix=$PREFIX
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: SDL2_gfx
Description: drawing and graphical effects extension for SDL2
Version: ${VERSION[libsdl2-gfx]}
Requires: sdl2
Libs: -L\${libdir} -lSDL2_gfx
Cflags: -I\${includedir}/SDL2
EOF
}

build_freetype() {
    local src
    src=$(unpack freetype)
    # Without zlib FreeType would compile its own copy of it in, whose names
    # clash with the zlib that libpng needs; fonts are never gzipped here.
    sed -i 's|^#define FT_CONFIG_OPTION_USE_ZLIB$|/* #undef FT_CONFIG_OPTION_USE_ZLIB */|' \
        "$src/include/freetype/config/ftoption.h"
    grep -q '^/\* #undef FT_CONFIG_OPTION_USE_ZLIB \*/$' "$src/include/freetype/config/ftoption.h" ||
        return 1
    cmake_build "$src" -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
        -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
}

build_harfbuzz() {
    cmake_build "$(unpack harfbuzz)" -DHB_HAVE_FREETYPE=ON -DHB_HAVE_GLIB=OFF -DHB_HAVE_ICU=OFF \
        -DHB_HAVE_GOBJECT=OFF -DHB_BUILD_SUBSET=OFF -DHB_BUILD_UTILS=OFF \
        -DCMAKE_DISABLE_FIND_PACKAGE_Threads=ON
}

build_sdl2_ttf() {
    cmake_build "$(unpack libsdl2-ttf)" -DSDL2TTF_SAMPLES=OFF -DSDL2TTF_VENDORED=OFF \
        -DSDL2TTF_HARFBUZZ=ON -DSDL2TTF_INSTALL=ON
}

# Music and effects in WAV, Ogg Vorbis, MP3 and FLAC, through the decoders
# SDL2_mixer carries (no further library to build).
build_sdl2_mixer() {
    cmake_build "$(unpack libsdl2-mixer)" -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_VENDORED=OFF \
        -DSDL2MIXER_CMD=OFF -DSDL2MIXER_WAVE=ON -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MIDI=OFF \
        -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_WAVPACK=OFF -DSDL2MIXER_INSTALL=ON \
        -DSDL2MIXER_VORBIS=STB -DSDL2MIXER_MP3=ON -DSDL2MIXER_MP3_DRMP3=ON \
        -DSDL2MIXER_MP3_MPG123=OFF -DSDL2MIXER_FLAC=ON -DSDL2MIXER_FLAC_DRFLAC=ON \
        -DSDL2MIXER_FLAC_LIBFLAC=OFF
}

build_sdl2_image() {
    cmake_build "$(unpack libsdl2-image)" -DSDL2IMAGE_SAMPLES=OFF -DSDL2IMAGE_VENDORED=OFF \
        -DSDL2IMAGE_BACKEND_STB=OFF -DSDL2IMAGE_DEPS_SHARED=OFF -DSDL2IMAGE_PNG=ON \
        -DSDL2IMAGE_JPG=ON -DSDL2IMAGE_BMP=ON -DSDL2IMAGE_TIF=OFF -DSDL2IMAGE_WEBP=OFF \
        -DSDL2IMAGE_AVIF=OFF -DSDL2IMAGE_JXL=OFF -DSDL2IMAGE_INSTALL=ON
}

export PKG_CONFIG_LIBDIR="$PREFIX/lib/pkgconfig:$PREFIX/share/pkgconfig"
export PKG_CONFIG_PATH=
# Debian's emscripten runs its JavaScript tools with node; a node that is not
# Debian's must still find the modules Debian installs.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"

fetch_sources
# A build that stopped part-way resumes after the last library it finished.
mkdir -p "$PREFIX/lib/pkgconfig" "$PREFIX/include/SDL2" "$WORK"
say "building for WebAssembly into $PREFIX (about 10 to 30 minutes, once; log: $LOG)"
: >"$LOG"
start=$SECONDS
for step in zlib:build_zlib libpng1.6:build_libpng libjpeg-turbo:build_libjpeg libsdl2:build_sdl2 \
    libsdl2-gfx:build_sdl2_gfx freetype:build_freetype harfbuzz:build_harfbuzz \
    libsdl2-ttf:build_sdl2_ttf libsdl2-mixer:build_sdl2_mixer libsdl2-image:build_sdl2_image; do
    name=${step%%:*}
    [ -f "$PREFIX/.built-$name" ] && continue
    say "  $name ${VERSION[$name]} ($((SECONDS - start)) s so far)"
    if ! "${step#*:}" >>"$LOG" 2>&1; then
        tail -n 40 "$LOG" >&2
        fail "building $name for WebAssembly failed; the whole log is $LOG"
    fi
    touch "$PREFIX/.built-$name"
done
rm -rf "$WORK"
date -u +%FT%TZ >"$STAMP"
say "done in $((SECONDS - start)) s: $PREFIX"
echo "$PREFIX"
