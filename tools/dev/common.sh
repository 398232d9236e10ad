# Shared by ./dev and the files it sources: where things are, what each kind
# of work needs installed, and the helpers every sub-command uses. Sourced
# by ./dev, which sets ROOT first. Everything in tools/dev/ is the work of a
# ./dev sub-command; what gets installed is in tools/installed/, what only
# tests use in tools/testing/.

BUILD="$ROOT/build"
JOBS=$(nproc 2>/dev/null || echo 2)

# What building and running the framework needs.
BUILD_PACKAGES=(cmake g++ pkg-config libsdl2-dev libsdl2-gfx-dev libsdl2-ttf-dev
    libsdl2-mixer-dev libsdl2-image-dev fonts-dejavu-core)
# What running a program in a virtual X display needs (xvfb), with
# screenshots (imagemagick), window queries (x11-utils) and synthetic keys,
# clicks and mouse motion (xdotool).
HEADLESS_PACKAGES=(xvfb imagemagick x11-utils xdotool)
# What the test suite needs on top: GoogleTest, and a window manager
# (openbox) for the end-to-end test of fullscreen, which X leaves to one.
TEST_PACKAGES=(libgtest-dev openbox)
# What the checks after it need: memcheck (valgrind), the fuzz targets
# (clang with its libFuzzer and sanitizer runtimes) and the format check.
CHECK_PACKAGES=(valgrind clang libclang-rt-14-dev clang-format)
# What grading a class needs on top of building (./dev grade): bubblewrap,
# the sandbox every submission runs in.
GRADING_PACKAGES=(bubblewrap)
# What the grading tests check the JSON and JUnit files with.
GRADING_TEST_PACKAGES=(jq libxml2-utils)
# What the API reference needs.
DOCS_PACKAGES=(doxygen)
# What the benchmarks need: Google Benchmark, callgrind to count instructions,
# and sox and oggenc (vorbis-tools) to make the 3-minute song the sound
# benchmark streams.
BENCH_PACKAGES=(libbenchmark-dev valgrind sox vorbis-tools)
# ... and the frameworks the six scenes are compared with.
BENCH_PACKAGES+=(libsfml-dev python3-pygame)
# What the Windows build needs: the MinGW-w64 cross-compiler, Debian's tools
# for fetching and unpacking source packages (the Windows libraries are built
# from them), zlib built for Windows, GoogleTest's sources, Wine to run the
# tests, and for the zip's check a virtual X display with screenshots.
WINDOWS_PACKAGES=(cmake ninja-build dpkg-dev g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
    googletest wine64 wine fonts-dejavu-core zip unzip xvfb imagemagick xdotool)

# Headless SDL for the benchmarks and fuzz targets that draw: no window
# system, no sound card, the software renderer.
HEADLESS_SDL=(SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software)

say() { printf 'dev: %s\n' "$*" >&2; }
fail() {
    printf 'dev: %s\n' "$*" >&2
    exit 1
}

# Any command that fails where nothing handles its failure ends ./dev (set
# -e); this says which, where and with what status, so that no route ends
# in silence. Functions, subshells and command substitutions inherit it (set
# -E), so a failure inside one is named where it happened; the subshell that
# then ends with it (a stage, say) is not named again, nor is fail's exit.
set -E
on_failure() {
    local status=$1 command=$2 file=$3 line=$4
    [[ $command == "("* ]] && return
    printf 'dev: failed with status %s: %s (%s, line %s)\n' "$status" "$command" \
        "${file#"$ROOT"/}" "$line" >&2
}
trap 'on_failure "$?" "$BASH_COMMAND" "${BASH_SOURCE[0]}" "$LINENO"' ERR

# install_missing PACKAGE...: installs, with apt-get, those not yet installed.
install_missing() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    command -v apt-get >/dev/null 2>&1 ||
        fail "cannot install ${missing[*]}: apt-get not found. This script sets up Debian 12 (or Ubuntu); on other systems install those packages' equivalents yourself."
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null 2>&1 ||
            fail "cannot install ${missing[*]}: not root and sudo not found. Run as root, or install them yourself: apt-get install ${missing[*]}"
        sudo=(sudo)
    fi
    say "installing missing packages: ${missing[*]}"
    # Another apt-get (a second ./dev, or the system's own updates on a
    # machine just started) holds apt's locks: wait for it, up to 10 minutes.
    local wait=(-o DPkg::Lock::Timeout=600)
    "${sudo[@]}" apt-get "${wait[@]}" update -qq ||
        fail "apt-get update failed: check the network connection and /etc/apt/sources.list"
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get "${wait[@]}" install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null ||
        fail "apt-get install failed for: ${missing[*]} (see the messages above)"
}

has_display() { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }

# build [CMAKE_ARGUMENTS...]: configures build/ (first time) and builds it.
build() {
    build_preset default "$@"
}

# build_preset PRESET [CMAKE_ARGUMENTS...]: configures and builds one preset's
# build directory (see CMakePresets.json); warnings are errors when CI=true.
build_preset() {
    local preset=$1 werror=OFF
    shift
    [ "${CI:-}" = true ] && werror=ON
    cmake --preset "$preset" -DVANTREL_WARNINGS_AS_ERRORS=$werror "$@" >/dev/null ||
        fail "CMake could not configure the $preset build (see the messages above)"
    cmake --build --preset "$preset" -j "$JOBS" ||
        fail "the $preset build failed (see the compiler messages above)"
}

# bracketed WORDS...: the words as CMake bracket arguments, which hold any
# path as it is.
bracketed() {
    local word out=
    for word in "$@"; do
        out+="${out:+ }[==[$word]==]"
    done
    printf '%s' "$out"
}

# ---- A learner's own program: ./dev web PATH and ./dev windows PATH -----------

# learner_project PATH BUILD_FOLDER: what a learner's program is built from.
# PATH is a folder with its own CMakeLists.txt (as ./dev new makes), a folder
# of .cpp files, or one .cpp file. Sets LEARNER_OUT (BUILD_FOLDER beside the
# program) and LEARNER_SOURCE: the folder itself, or else a CMake project
# written into LEARNER_OUT/.cmake/project around the program's .cpp files,
# with the sounds, images and fonts beside them and its assets/ folder.
learner_project() {
    local path folder name sources=()
    path=$(realpath -e "$1" 2>/dev/null) || fail "no such file or folder: $1"
    if [ -d "$path" ]; then
        folder=$path
        name=$(basename "$path")
    else
        case "$path" in *.cpp | *.cc | *.cxx) ;; *) fail "$1 is not a C++ source file (.cpp) or a folder" ;; esac
        folder=$(dirname "$path")
        name=$(basename "${path%.*}")
        sources=("$path")
    fi
    name=$(printf '%s' "$name" | tr -c 'A-Za-z0-9_.-' '-')
    LEARNER_OUT="$folder/$2"
    mkdir -p "$LEARNER_OUT/.cmake"
    if [ ${#sources[@]} -eq 0 ] && [ -f "$folder/CMakeLists.txt" ]; then
        LEARNER_SOURCE=$folder
        return 0
    fi
    if [ ${#sources[@]} -eq 0 ]; then
        mapfile -t sources < <(find "$folder" -maxdepth 1 -name '*.cpp' | sort)
        [ ${#sources[@]} -gt 0 ] || fail "no .cpp file in $folder"
    fi
    LEARNER_SOURCE="$LEARNER_OUT/.cmake/project"
    mkdir -p "$LEARNER_SOURCE"
    # The project vantrel-new makes (templates/project), around the program's
    # own files: its .cpp files, the sounds, images and fonts beside them
    # (not its screenshot) and its assets/ folder.
    local assets=() file text
    while IFS= read -r file; do
        assets+=("$file")
    done < <(find "$folder" -maxdepth 1 -type f \( -iname '*.wav' -o -iname '*.ogg' -o -iname '*.mp3' \
        -o -iname '*.flac' -o -iname '*.png' -o -iname '*.jpg' -o -iname '*.jpeg' -o -iname '*.bmp' \
        -o -iname '*.gif' -o -iname '*.ttf' -o -iname '*.otf' \) ! -name screenshot.png | sort)
    [ -d "$folder/assets" ] && assets+=("$folder/assets")
    text=$(<"$ROOT/templates/project/CMakeLists.txt.in")
    text=${text//@NAME@/"$name"}
    text=${text//@VANTREL_CHECKOUT@/}
    text=${text//@SOURCES@/"$(bracketed "${sources[@]}")"}
    text=${text//@ASSETS@/"$(bracketed "${assets[@]}")"}
    printf '%s\n' "$text" >"$LEARNER_SOURCE/CMakeLists.txt.new"
    # Written only when it changes, so that CMake does not configure again.
    if cmp -s "$LEARNER_SOURCE/CMakeLists.txt.new" "$LEARNER_SOURCE/CMakeLists.txt" 2>/dev/null; then
        rm -f "$LEARNER_SOURCE/CMakeLists.txt.new"
    else
        mv "$LEARNER_SOURCE/CMakeLists.txt.new" "$LEARNER_SOURCE/CMakeLists.txt"
    fi
}
