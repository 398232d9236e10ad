# Building for the browser and testing there; sourced by ./dev, which
# provides ROOT, JOBS, say, fail and install_missing.
#
#   ./dev web [PROGRAM | PATH]...   pages for the demo and the examples (or the
#                                   named ones), or for a learner's program
#   ./dev web --test                every page, then the browser tests (as ./dev test)
#   ./dev web --measure             bounce's frame rate and load times in Chromium

# What building for the browser needs: Emscripten, Ninja, the default font to
# put into the pages, and the tools that fetch and unpack Debian's sources.
WEB_PACKAGES=(emscripten ninja-build cmake fonts-dejavu-core bzip2 xz-utils)
# What the browser tests need on top (Node.js and npm only when missing: a
# node installed another way is used as it is).
WEB_TEST_PACKAGES=(chromium)

WEB_OUT="$ROOT/build-web"
WEB_CMAKE="$WEB_OUT/.cmake"

web_install() {
    install_missing "${WEB_PACKAGES[@]}"
    # Debian's emscripten runs its JavaScript tools with node, and a node that
    # is not Debian's must still find the modules Debian installs for it.
    export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
}

web_install_test_tools() {
    install_missing "${WEB_TEST_PACKAGES[@]}"
    if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
        install_missing nodejs npm
    fi
}

# The libraries, built once into the cache (tools/web/libraries.sh).
web_libraries() {
    WEB_PREFIX=$(JOBS=$JOBS "$ROOT/tools/web/libraries.sh") ||
        fail "the libraries could not be built for WebAssembly (see the messages above)"
    export PKG_CONFIG_LIBDIR="$WEB_PREFIX/lib/pkgconfig:$WEB_PREFIX/share/pkgconfig"
    export PKG_CONFIG_PATH=
}

# web_configure SOURCE BINARY OUTPUT SINGLE_FILE [CMAKE_ARGUMENTS...]: one
# Emscripten build of a project whose programs become pages in OUTPUT.
web_configure() {
    local source=$1 binary=$2 output=$3 single=$4 werror=OFF
    shift 4
    [ "${CI:-}" = true ] && werror=ON
    # CMake remembers where it found each library: a build made against other
    # libraries (an older cache entry) starts afresh.
    if [ "$(cat "$binary/.vantrel-prefix" 2>/dev/null)" != "$WEB_PREFIX" ]; then
        rm -rf "$binary"
        mkdir -p "$binary"
        echo "$WEB_PREFIX" >"$binary/.vantrel-prefix"
    fi
    emcmake cmake -S "$source" -B "$binary" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_PREFIX_PATH="$WEB_PREFIX" -DCMAKE_FIND_ROOT_PATH="$WEB_PREFIX" \
        -DVANTREL_WEB_OUTPUT="$output" -DVANTREL_WEB_SINGLE_FILE="$single" \
        -DVANTREL_WARNINGS_AS_ERRORS=$werror "$@" >"$binary.configure.log" 2>&1 || {
        cat "$binary.configure.log" >&2
        fail "CMake could not configure the web build in $binary (see the messages above)"
    }
}

# web_build_vantrel [--tests] [TARGET...]: the demo and the examples (or the
# targets named) as pages in build-web/, in both forms.
web_build_vantrel() {
    local tests=OFF
    if [ "${1:-}" = --tests ]; then
        tests=ON
        shift
    fi
    local targets=() target
    for target in "$@"; do targets+=(--target "$target"); done
    mkdir -p "$WEB_CMAKE"
    local form single
    for form in folders files; do
        single=OFF
        [ $form = files ] && single=ON
        web_configure "$ROOT" "$WEB_CMAKE/$form" "$WEB_OUT" $single -DVANTREL_BUILD_TESTS=OFF \
            -DVANTREL_BUILD_TOOLS=OFF -DVANTREL_BUILD_LAUNCHER=OFF -DVANTREL_INSTALL=OFF \
            -DVANTREL_BUILD_WEB_TESTS=$tests
        cmake --build "$WEB_CMAKE/$form" -j "$JOBS" "${targets[@]}" ||
            fail "the web build ($form) failed (see the compiler messages above)"
    done
}

# web_build_project PATH: a learner's program: a folder with its own
# CMakeLists.txt (as ./dev new makes), a folder of .cpp files, or one .cpp file.
# The pages go to build-web/ beside it.
web_build_project() {
    local path
    path=$(realpath -e "$1" 2>/dev/null) || fail "no such file or folder: $1"
    local folder name sources=()
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
    local out="$folder/build-web" source
    mkdir -p "$out/.cmake"
    if [ ${#sources[@]} -eq 0 ] && [ -f "$folder/CMakeLists.txt" ]; then
        source=$folder
    else
        if [ ${#sources[@]} -eq 0 ]; then
            mapfile -t sources < <(find "$folder" -maxdepth 1 -name '*.cpp' | sort)
            [ ${#sources[@]} -gt 0 ] || fail "no .cpp file in $folder"
        fi
        # A project of its own around the program, with this checkout in it.
        source="$out/.cmake/project"
        mkdir -p "$source"
        {
            printf 'cmake_minimum_required(VERSION 3.22)\nproject(%s LANGUAGES CXX)\n' "$name"
            printf 'add_subdirectory("%s" vantrel)\n' "$ROOT"
            printf 'add_executable(%s' "$name"
            printf ' "%s"' "${sources[@]}"
            printf ')\ntarget_link_libraries(%s PRIVATE vantrel::vantrel)\n' "$name"
            printf 'vantrel_web_assets(assets "%s")\n' "$folder"
            [ -d "$folder/assets" ] && printf 'list(APPEND assets "%s/assets")\n' "$folder"
            printf 'vantrel_web_program(%s NAME %s ASSETS ${assets})\n' "$name" "$name"
        } >"$source/CMakeLists.txt.new"
        cmp -s "$source/CMakeLists.txt.new" "$source/CMakeLists.txt" 2>/dev/null ||
            mv "$source/CMakeLists.txt.new" "$source/CMakeLists.txt"
        rm -f "$source/CMakeLists.txt.new"
    fi
    local form single
    for form in folders files; do
        single=OFF
        [ $form = files ] && single=ON
        web_configure "$source" "$out/.cmake/$form" "$out" $single -DVANTREL_CHECKOUT="$ROOT"
        cmake --build "$out/.cmake/$form" -j "$JOBS" ||
            fail "the web build of $1 failed (see the compiler messages above)"
    done
    say "pages in $out/:"
    local page
    for page in "$out"/*.html; do
        [ -f "$page" ] || continue
        say "  $page  (one file: open it, or send it to someone)"
        say "  ${page%.html}/index.html  (a folder to put on a web server)"
    done
}

# The known programs of this checkout: the demo and every example.
web_programs() {
    echo demo
    local dir
    for dir in "$ROOT"/examples/*/; do
        [ -f "$dir/CMakeLists.txt" ] && basename "$dir"
    done
}

cmd_web() {
    if [ "${1:-}" = --measure ]; then
        web_measure
        return
    fi
    if [ "${1:-}" = --test ]; then
        stage_web
        return
    fi
    local targets=() projects=() arg known
    # (Read once: grep -q leaving a pipe early would fail it under pipefail.)
    known=" $(web_programs | tr '\n' ' ')"
    for arg in "$@"; do
        if [[ $arg == */* ]] || [[ $arg == *.cpp ]] || { [ -e "$arg" ] && [[ $known != *" ${arg#vantrel-} "* ]]; }; then
            projects+=("$arg")
        elif [[ $known == *" ${arg#vantrel-} "* ]]; then
            targets+=("vantrel-${arg#vantrel-}")
        else
            fail "unknown program '$arg': name one of:${known}or a path to your own program"
        fi
    done
    # Names are checked first: the libraries may take many minutes to build.
    web_install
    web_libraries
    if [ ${#projects[@]} -eq 0 ] || [ ${#targets[@]} -gt 0 ]; then
        web_build_vantrel "${targets[@]}"
        say "pages in $WEB_OUT/: NAME.html is one file that works opened from the disk;"
        say "NAME/index.html (with its .js, .wasm and .data) is for a web server"
    fi
    for arg in "${projects[@]}"; do
        web_build_project "$arg"
    done
}

# web_node_modules [CACHE_ROOT]: the node modules the browser tests use,
# installed from tests/web/package-lock.json into CACHE_ROOT (default the
# user's cache folder) unless already there; prints only their folder, on
# standard output (npm never downloads a browser here). With a CACHE_ROOT of
# its own, npm's download cache goes there too, as on a new machine.
web_node_modules() {
    local lock="$ROOT/tests/web/package-lock.json" root=${1:-} dir npm_cache=()
    [ -n "$root" ] && npm_cache=(npm_config_cache="$root/npm")
    root=${root:-${XDG_CACHE_HOME:-$HOME/.cache}/vantrel/web}
    dir="$root/node-$(sha256sum "$lock" | cut -c 1-12)"
    if [ ! -f "$dir/.complete" ]; then
        say "installing puppeteer-core and pngjs into $dir"
        rm -rf "$dir"
        mkdir -p "$dir"
        cp "$ROOT/tests/web/package.json" "$lock" "$dir/"
        (cd "$dir" && env "${npm_cache[@]}" PUPPETEER_SKIP_DOWNLOAD=1 timeout 600 npm ci --no-audit \
            --no-fund --ignore-scripts --loglevel=error >&2) ||
            fail "npm could not install the browser tests' modules"
        touch "$dir/.complete"
    fi
    echo "$dir"
}

# The browser test stage: builds every page (with the test programs), then
# runs tests/web/browser_test.mjs against them.
stage_web() {
    web_install
    web_install_test_tools
    web_libraries
    web_build_vantrel --tests
    # A learner's own program: a new project (outside the checkout, as
    # vantrel-new requires), built as the README says.
    local learner status=0
    learner=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-web-learner.XXXXXX")
    "$ROOT/tools/vantrel-new" "$learner/my-game" >/dev/null &&
        (web_build_project "$learner/my-game" >/dev/null) || status=$?
    if [ $status -eq 0 ]; then
        # Installed afresh on every run, as a new machine installs them.
        local modules
        modules=$(web_node_modules "$learner/node-cache")
        VANTREL_NODE_MODULES="$modules" VANTREL_PROJECT_PAGE="$learner/my-game/build-web/my-game.html" \
            timeout 360 node "$ROOT/tests/web/browser_test.mjs" "$WEB_OUT" "$ROOT" || status=$?
    else
        say "a new project made with vantrel-new did not build for the browser (messages above)"
    fi
    rm -rf "$learner"
    return $status
}

web_measure() {
    web_install
    web_install_test_tools
    web_libraries
    web_build_vantrel vantrel-bounce
    local modules
    modules=$(web_node_modules)
    printf 'Machine: %s cores, %s; %s; Chromium %s; load average %s\n\n' "$(nproc)" \
        "$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)" \
        "$(date -u '+%Y-%m-%d %H:%M UTC')" "$(chromium --version 2>/dev/null | awk '{print $2}')" \
        "$(cut -d ' ' -f 1-3 /proc/loadavg)"
    VANTREL_NODE_MODULES="$modules" timeout 360 node "$ROOT/tests/web/browser_test.mjs" --measure "$WEB_OUT" "$ROOT"
}
