# shellcheck shell=bash disable=SC2034
# Builds libraries from Debian's source packages, with Debian's patches, into
# a cache; sourced by tools/dev/windows/deps.sh and tools/dev/web/libraries.sh, which
# keep their recipes: DEBSRC_WHO (what messages begin with), CACHE_ROOT (holds
# the lock), PREFIX, DEBSRC_CMAKE, DEBSRC_CONFIGURE and DEBSRC_MAKE (the
# commands, with the toolchain's arguments), optionally DEBSRC_VERSION
# (package -> upstream version) and DEBSRC_SKIP (package -> Debian patches not
# to apply), and a function build_PACKAGE per step, given the source as $1.
# shellcheck source=tools/dev/debsrc.sh
. "$(dirname "${BASH_SOURCE[0]}")/debsrc.sh"

declare -gA DEBSRC_VERSION DEBSRC_SKIP
DEBSRC_CMAKE=(cmake) DEBSRC_CONFIGURE=(env) DEBSRC_MAKE=()
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 2)}

# What Vantrel takes from FreeType, SDL2_ttf, SDL2_mixer and SDL2_image on
# every platform: no vendored copies; WAV, Ogg Vorbis, MP3 and FLAC through the
# decoders SDL2_mixer carries (no further library to build); PNG and JPEG
# through libpng and libjpeg-turbo.
FREETYPE_OPTIONS=(-DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON -DFT_DISABLE_BZIP2=ON
    -DFT_DISABLE_PNG=ON)
SDL2_TTF_OPTIONS=(-DSDL2TTF_VENDORED=OFF -DSDL2TTF_SAMPLES=OFF)
SDL2_MIXER_OPTIONS=(-DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF -DSDL2MIXER_VORBIS=STB
    -DSDL2MIXER_MP3=ON -DSDL2MIXER_MP3_DRMP3=ON -DSDL2MIXER_MP3_MPG123=OFF -DSDL2MIXER_FLAC=ON
    -DSDL2MIXER_FLAC_DRFLAC=ON -DSDL2MIXER_FLAC_LIBFLAC=OFF -DSDL2MIXER_OPUS=OFF
    -DSDL2MIXER_MIDI=OFF)
SDL2_IMAGE_OPTIONS=(-DSDL2IMAGE_VENDORED=OFF -DSDL2IMAGE_DEPS_SHARED=OFF -DSDL2IMAGE_SAMPLES=OFF
    -DSDL2IMAGE_BACKEND_STB=OFF -DSDL2IMAGE_PNG=ON -DSDL2IMAGE_JPG=ON -DSDL2IMAGE_AVIF=OFF
    -DSDL2IMAGE_TIF=OFF -DSDL2IMAGE_WEBP=OFF -DSDL2IMAGE_JXL=OFF)

say() { printf '%s: %s\n' "$DEBSRC_WHO" "$*" >&2; }
fail() {
    say "$@"
    exit 1
}

# debsrc_versions PACKAGE: every version of the source package apt knows, newest first.
debsrc_versions() {
    apt-cache showsrc --only-source "$1" | sed -n 's/^Version: //p' | sort -u -r -V
}

# debsrc_download PACKAGE [UPSTREAM]: downloads into the current folder the
# newest source of PACKAGE (of upstream version UPSTREAM) that the mirror has.
# Some mirrors lack the security archive's sources, or a package's Debian
# part: then an older version, or the upstream tarball alone, is taken, and said.
debsrc_download() {
    local package=$1 upstream=${2:-} version only newest=
    for only in '' --tar-only; do
        while read -r version; do
            case ${version#*:} in "$upstream"*) ;; *) continue ;; esac
            newest=${newest:-$version}
            rm -rf ./*
            apt-get source --download-only ${only:+"$only"} -qq "$package=$version" || continue
            [ "$version" = "$newest" ] ||
                say "$package: the newest source is not on the mirror; building $version"
            [ -z "$only" ] ||
                say "$package: the Debian part is not on the mirror; building the upstream source alone"
            return 0
        done < <(debsrc_versions "$package")
    done
    return 1
}

# debsrc_patch PACKAGE SOURCE: applies Debian's quilt series to SOURCE,
# leaving out the patches DEBSRC_SKIP names for PACKAGE.
debsrc_patch() {
    local package=$1 src=$2 patch options
    [ -f "$src/debian/patches/series" ] || return 0
    while read -r patch options; do
        case $patch in '' | '#'*) continue ;; esac
        if [[ " ${DEBSRC_SKIP[$package]:-} " == *" $patch "* ]]; then
            say "$package: leaving out Debian's patch $patch"
            continue
        fi
        # shellcheck disable=SC2086
        patch -d "$src" -s -t -F 0 -N -E --no-backup-if-mismatch ${options:--p1} \
            <"$src/debian/patches/$patch" || fail "$package: Debian's patch $patch does not apply"
    done <"$src/debian/patches/series"
}

# debsrc_fetch PACKAGE: downloads PACKAGE's source and unpacks it into ./src
# (further upstream tarballs, orig-COMPONENT, into ./src/COMPONENT) with
# Debian's patches (security fixes among them) when the mirror has its Debian
# part; records the version in ./version.
debsrc_fetch() {
    local package=$1 upstream=${DEBSRC_VERSION[$1]:-} tarball debian file component
    (mkdir -p download && cd download && debsrc_download "$package" "$upstream") >fetch.log 2>&1 || {
        cat fetch.log >&2
        fail "could not download the source package $package${upstream:+ $upstream}"
    }
    grep "^$DEBSRC_WHO:" fetch.log >&2 || true
    tarball=$(find download -maxdepth 1 -name '*.orig.tar.*' ! -name '*.asc' | head -n 1)
    debian=$(find download -maxdepth 1 -name '*.debian.tar.*' | head -n 1)
    [ -n "$tarball" ] || fail "no upstream tarball in the source package $package"
    rm -rf src
    for file in download/*.orig.tar.* download/*.orig-*.tar.*; do
        case $file in *.asc | *'*'*) continue ;; esac
        component=${file##*.orig}
        component=src/${component#-}
        mkdir -p "${component%%.tar.*}"
        tar -xf "$file" -C "${component%%.tar.*}" --strip-components=1 || fail "could not unpack $file"
    done
    if [ -n "$debian" ]; then
        rm -rf src/debian
        tar -xf "$debian" -C src || fail "could not unpack $debian"
        debsrc_patch "$package" src
    fi
    tarball=$(basename "${debian:-$tarball}")
    tarball=${tarball#*_}
    printf '%s %s\n' "$package" "${tarball%.*.tar.*}" >version
}

# debsrc_cmake SOURCE [CMAKE_ARGUMENTS...]: configures SOURCE in ./build with
# the port's toolchain, builds it and installs it into the prefix; with
# TARGET set, builds only that target and installs nothing.
debsrc_cmake() {
    "${DEBSRC_CMAKE[@]}" -S "$1" -B build -G Ninja -DCMAKE_INSTALL_PREFIX="$PREFIX" "${@:2}" &&
        cmake --build build -j "$JOBS" ${TARGET:+--target "$TARGET"} &&
        { [ -n "${TARGET:-}" ] || cmake --install build; }
}

# debsrc_configure SOURCE [CONFIGURE_ARGUMENTS...]: the same for an autotools
# (or look-alike) build, inside the source.
debsrc_configure() {
    (cd "$1" && "${DEBSRC_CONFIGURE[@]}" ./configure --prefix="$PREFIX" "${@:2}" &&
        "${DEBSRC_MAKE[@]}" make -j "$JOBS" install)
}

# debsrc_sdl2_gfx SOURCE CC [FLAGS...]: compiles SDL2_gfx, which has no CMake
# build, into ./*.o and installs its headers; the port makes the library.
debsrc_sdl2_gfx() {
    "${@:2}" -I"$PREFIX/include/SDL2" -c "$1"/SDL2_{framerate,gfxPrimitives,imageFilter,rotozoom}.c &&
        install -m 0644 "$1"/SDL2_{framerate,gfxPrimitives,gfxPrimitives_font,imageFilter,rotozoom}.h \
            "$PREFIX/include/SDL2/"
}

# debsrc_build STEP...: builds each step (a source package, or +NAME for a
# build_NAME without one) into PREFIX, one build at a time, unless PREFIX is
# complete; a build that stopped part-way resumes after its last finished step.
debsrc_build() {
    [ -f "$PREFIX/.complete" ] && return 0
    mkdir -p "$CACHE_ROOT" && exec 9>"$CACHE_ROOT/.lock"
    flock -n 9 || {
        say "another build is running; waiting for it (at most 60 minutes)"
        flock -w 3600 9 || fail "gave up waiting for the other build (lock: $CACHE_ROOT/.lock)"
    }
    [ -f "$PREFIX/.complete" ] && return 0
    local work="$PREFIX.work" step name src start=$SECONDS
    debsrc_ensure
    say "building the libraries once into $PREFIX (about 10 to 30 minutes)"
    mkdir -p "$work" "$PREFIX/bin" "$PREFIX/include/SDL2" "$PREFIX/lib/pkgconfig"
    for step; do
        name=${step#+}
        [ -f "$work/$name/built" ] && continue
        say "  $name ($((SECONDS - start)) s so far)"
        rm -rf "${work:?}/$name" && mkdir -p "$work/$name" && cd "$work/$name" || exit 1
        src=
        [ "$step" != "+$name" ] && debsrc_fetch "$name" && src=$PWD/src
        ("build_$name" "$src") >build.log 2>&1 || {
            tail -n 40 build.log >&2
            fail "building $name failed (whole log: $PWD/build.log)"
        }
        touch built
        cat version >>../versions.txt 2>/dev/null || true
    done
    cd / && mv "$work/versions.txt" "$PREFIX/"
    date -u +%FT%TZ >"$PREFIX/.complete"
    rm -rf "$work"
    say "built the libraries in $((SECONDS - start)) s"
}
