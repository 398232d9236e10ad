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

# The libraries, built once into the cache (tools/dev/web/libraries.sh).
web_libraries() {
    WEB_PREFIX=$(JOBS=$JOBS "$ROOT/tools/dev/web/libraries.sh") ||
        fail "the libraries could not be built for WebAssembly (see the messages above)"
    export PKG_CONFIG_LIBDIR="$WEB_PREFIX/lib/pkgconfig:$WEB_PREFIX/share/pkgconfig"
    export PKG_CONFIG_PATH=
}

# web_configure SOURCE BINARY OUTPUT [CMAKE_ARGUMENTS...]: one Emscripten
# build of a project whose programs become pages in OUTPUT, each both as a
# folder and as one file. Compiled optimised for size: a page carries all of it.
web_configure() {
    local source=$1 binary=$2 output=$3 werror=OFF
    shift 3
    [ "${CI:-}" = true ] && werror=ON
    # CMake remembers where it found each library: a build made against other
    # libraries (an older cache entry) starts afresh.
    if [ "$(cat "$binary/.vantrel-prefix" 2>/dev/null)" != "$WEB_PREFIX" ]; then
        rm -rf "$binary"
        mkdir -p "$binary"
        echo "$WEB_PREFIX" >"$binary/.vantrel-prefix"
    fi
    emcmake cmake -S "$source" -B "$binary" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DCMAKE_PREFIX_PATH="$WEB_PREFIX" -DCMAKE_FIND_ROOT_PATH="$WEB_PREFIX" \
        -DVANTREL_WEB_OUTPUT="$output" -DVANTREL_WARNINGS_AS_ERRORS=$werror "$@" \
        >"$binary.configure.log" 2>&1 || {
        cat "$binary.configure.log" >&2
        fail "CMake could not configure the web build in $binary (see the messages above)"
    }
}

# The checkout's own web build: the library, the demo and the examples.
WEB_CHECKOUT="$WEB_CMAKE/pages"

# web_configure_checkout TESTS: configures it, with the browser tests'
# programs when TESTS is ON. (Pages used to be built twice, in .cmake/folders
# and .cmake/files: those builds are gone.)
web_configure_checkout() {
    rm -rf "$WEB_CMAKE/folders" "$WEB_CMAKE/files" "$WEB_CMAKE"/folders.configure.log \
        "$WEB_CMAKE"/files.configure.log
    web_configure "$ROOT" "$WEB_CHECKOUT" "$WEB_OUT" -DVANTREL_BUILD_TESTS=OFF \
        -DVANTREL_BUILD_TOOLS=OFF -DVANTREL_BUILD_LAUNCHER=OFF -DVANTREL_INSTALL=OFF \
        -DVANTREL_BUILD_WEB_TESTS="$1"
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
    web_configure_checkout $tests
    cmake --build "$WEB_CHECKOUT" -j "$JOBS" "${targets[@]}" ||
        fail "the web build failed (see the compiler messages above)"
}

# web_checkout_library: the checkout's library for the browser, built once
# (configured first if need be), for a learner's program to link with;
# sets WEB_PACKAGE to its CMake package.
web_checkout_library() {
    mkdir -p "$WEB_CMAKE"
    if [ ! -f "$WEB_CHECKOUT/CMakeCache.txt" ] ||
        [ "$(cat "$WEB_CHECKOUT/.vantrel-prefix" 2>/dev/null)" != "$WEB_PREFIX" ]; then
        web_configure_checkout OFF
    fi
    cmake --build "$WEB_CHECKOUT" -j "$JOBS" --target vantrel >/dev/null ||
        fail "the checkout's library did not build for the browser (run ./dev web to see why)"
    WEB_PACKAGE="$WEB_CHECKOUT/package"
}

# web_build_project PATH: a learner's program (see learner_project in
# tools/dev/common.sh), linked with the checkout's library: its pages go to
# build-web/ beside it.
web_build_project() {
    local start=$SECONDS
    learner_project "$1" build-web
    local out=$LEARNER_OUT
    web_checkout_library
    rm -rf "$out/.cmake/folders" "$out/.cmake/files"
    web_configure "$LEARNER_SOURCE" "$out/.cmake/pages" "$out" -Dvantrel_DIR="$WEB_PACKAGE" \
        -DVANTREL_CHECKOUT="$ROOT"
    cmake --build "$out/.cmake/pages" -j "$JOBS" ||
        fail "the web build of $1 failed (see the compiler messages above)"
    say "pages in $out/ ($((SECONDS - start)) s):"
    local page
    for page in "$out"/*.html; do
        [ -f "$page" ] || continue
        say "  $page  (one file: open it, or send it to someone)"
        say "  ${page%.html}/index.html  (a folder to put on a web server)"
    done
}

# web_program_files NAME: the program's source with its leading comment, and
# its screenshot, as two lines.
web_program_files() {
    if [ "$1" = demo ]; then
        printf '%s\n%s\n' "$ROOT/app/main.cpp" "$ROOT/docs/demo.png"
    else
        printf '%s\n%s\n' "$ROOT/examples/$1/main.cpp" "$ROOT/examples/$1/screenshot.png"
    fi
}

# web_summary FILE: the first sentence of the comment a program's source
# starts with, without the program's name before a colon, HTML-escaped.
web_summary() {
    sed -n '/^\/\//!q; s|^//[[:space:]]*||p' "$1" | tr '\n' ' ' |
        sed -e 's/^[A-Za-z, -]*: //' -e 's/\([.!?]\) .*/\1/' -e 's/[[:space:]]*$//' \
            -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g' -e 's/^./\u&/'
}

# web_gallery NAME...: build-web/index.html, a page for a course site that
# shows every program named, with its screenshot, and links to its one-file
# page and its folder. The screenshots are copied into build-web/screenshots/,
# so the folder can be put anywhere as it is.
web_gallery() {
    local name source shot page="$WEB_OUT/index.html"
    mkdir -p "$WEB_OUT/screenshots"
    {
        cat <<'HEAD'
<!doctype html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Vantrel programs</title>
<style>
  body { margin: 1.5em; font-family: system-ui, sans-serif; background: #eceff1; color: #212121; }
  main { display: grid; grid-template-columns: repeat(auto-fill, minmax(340px, 1fr)); gap: 1.2em; }
  article { background: #fff; border: 1px solid #b0bec5; border-radius: 6px; padding: 1em; }
  article img { display: block; width: 100%; height: auto; border: 1px solid #cfd8dc; }
  h2 { margin: 0.5em 0 0.2em; font-size: 1.2em; }
  p { margin: 0.4em 0; }
</style>
</head>
<body>
<h1>Vantrel programs</h1>
<p>Each program runs in the browser: click its picture. The first link is one
file that also works when saved and opened from the disk; the second is the
same program as a folder, which loads faster from a web server.</p>
<main>
HEAD
        for name in "$@"; do
            [ -f "$WEB_OUT/$name.html" ] || continue
            { read -r source && read -r shot; } < <(web_program_files "$name")
            printf '<article>\n'
            if [ -f "$shot" ]; then
                cp "$shot" "$WEB_OUT/screenshots/$name.png"
                printf '  <a href="%s.html"><img src="screenshots/%s.png" alt="%s"></a>\n' "$name" "$name" \
                    "The program $name"
            fi
            printf '  <h2>%s</h2>\n  <p>%s</p>\n' "$name" "$(web_summary "$source")"
            printf '  <p><a href="%s.html">Open %s</a> (one file) · <a href="%s/index.html">folder for a web server</a></p>\n' \
                "$name" "$name" "$name"
            printf '</article>\n'
        done
        printf '</main>\n</body>\n</html>\n'
    } >"$page.part" && mv "$page.part" "$page" || fail "could not write $page"
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
        if [ $# -eq 0 ]; then
            web_gallery $(web_programs)
            say "gallery of them all: $WEB_OUT/index.html (put the folder on a course site as it is)"
        fi
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
    web_gallery $(web_programs)
    # A learner's own program: a new project (outside the checkout, as
    # vantrel-new requires, with a test program beside the game), built as
    # the README says from a fresh copy of the checkout, where ./dev web has
    # never run.
    local learner status=0
    learner=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-web-learner.XXXXXX")
    copy_checkout "$learner/clone"
    bash "$ROOT/tests/consumers/game_with_checks.sh" "$ROOT" "$learner/my-game" &&
        "$learner/clone/dev" web "$learner/my-game" >"$learner/dev.log" 2>&1 || status=$?
    [ $status -eq 0 ] || tail -n 30 "$learner/dev.log" >&2
    if [ $status -eq 0 ]; then
        # Installed afresh on every run, as a new machine installs them.
        local modules
        modules=$(web_node_modules "$learner/node-cache")
        VANTREL_NODE_MODULES="$modules" VANTREL_PROJECT_PAGE="$learner/my-game/build-web/my-game.html" \
            timeout 360 node "$ROOT/tests/web/browser_test.mjs" "$WEB_OUT" "$ROOT" || status=$?
        # The playground, from the same libraries.
        stage_playground "$modules" || status=$?
    else
        say "a new project made with vantrel-new did not build for the browser (messages above)"
    fi
    rm -rf "$learner"
    return $status
}

# web_measure: the demo's and bounce's page sizes and times to the first
# frame, bounce's frame rate, and what a learner's program costs to build:
# a new project's first page, and the page again after one line changed.
web_measure() {
    web_install
    web_install_test_tools
    web_libraries
    web_build_vantrel vantrel-demo vantrel-bounce
    local modules
    modules=$(web_node_modules)
    printf 'Machine: %s cores, %s; %s; Chromium %s; load average %s\n\n' "$(nproc)" \
        "$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)" \
        "$(date -u '+%Y-%m-%d %H:%M UTC')" "$(chromium --version 2>/dev/null | awk '{print $2}')" \
        "$(cut -d ' ' -f 1-3 /proc/loadavg)"
    VANTREL_NODE_MODULES="$modules" timeout 600 node "$ROOT/tests/web/browser_test.mjs" --measure "$WEB_OUT" "$ROOT"
    local learner start
    learner=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-web-measure.XXXXXX")
    "$ROOT/tools/installed/vantrel-new" "$learner/my-game" >/dev/null
    start=$SECONDS
    (web_build_project "$learner/my-game" >/dev/null 2>&1) || fail "the new project did not build (./dev web PATH shows why)"
    printf '\nA new project (./dev new), its first ./dev web PATH: %d s' $((SECONDS - start))
    sed -i 's/Press a key for a sound/Press any key for a sound/' "$learner/my-game/main.cpp"
    start=$SECONDS
    (web_build_project "$learner/my-game" >/dev/null 2>&1) || fail "the changed project did not build"
    printf '; again after changing one line: %d s (load average %s)\n' $((SECONDS - start)) \
        "$(cut -d ' ' -f 1-3 /proc/loadavg)"
    rm -rf "$learner"
}
