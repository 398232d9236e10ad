# ./dev playground: the web playground, from this checkout. Sourced by ./dev
# after tools/dev/web/web.sh, whose web_install and web_libraries it uses.
#
# What a build in the playground needs is its kit: the web libraries, Vantrel
# installed for the browser, canvas.h precompiled, the page's shell and the
# exact compile and link lines ./dev web uses (tools/installed/playground/kit.mjs
# reads them from a probe program). The kit is made once per version of all
# that, under /var/tmp/vantrel-playground/, a path that names nothing of the
# teacher's (the sandboxes see it), or under the cache where /var/tmp is not
# writable (VANTREL_PLAYGROUND_KITS names another folder, as the tests do to
# make a kit afresh). A kit is used only once its .complete stamp is written.

PLAYGROUND_RECIPE=1
# What the playground needs beyond the web build: the sandbox and the editor
# (CodeMirror, which the server serves itself).
PLAYGROUND_PACKAGES=(bubblewrap libjs-codemirror)
PLAYGROUND_HOME="$ROOT/tools/installed/playground"

# playground_kit_key: what the kit is made from, as a short hash.
playground_kit_key() {
    {
        echo "recipe $PLAYGROUND_RECIPE prefix $WEB_PREFIX"
        emcc --version 2>/dev/null | head -n 1
        (cd "$ROOT" && git ls-files -s canvas types web cmake CMakeLists.txt \
            tools/installed/playground/kit.mjs tools/installed/playground/inside_build.sh \
            tools/installed/grading/inside.sh tools/installed/grading/defaults.sh 2>/dev/null) ||
            (cd "$ROOT" && find canvas types web cmake CMakeLists.txt tools/installed -type f -print0 |
                sort -z | xargs -0 sha256sum)
        # Uncommitted changes count too.
        (cd "$ROOT" && git diff HEAD -- canvas types web cmake tools/installed 2>/dev/null)
    } | sha256sum | cut -c 1-16
}

# playground_kit: makes the kit if it is not there yet; sets PLAYGROUND_KIT.
playground_kit() {
    web_install
    web_libraries
    local key root
    key=$(playground_kit_key)
    root=${VANTREL_PLAYGROUND_KITS:-/var/tmp/vantrel-playground}
    mkdir -p "$root" 2>/dev/null && [ -w "$root" ] ||
        root="${XDG_CACHE_HOME:-$HOME/.cache}/vantrel/playground"
    mkdir -p "$root" && chmod 755 "$root" 2>/dev/null
    PLAYGROUND_KIT="$root/kit-$key"
    [ -f "$PLAYGROUND_KIT/.complete" ] && return 0
    exec {kit_lock}>"$PLAYGROUND_KIT.lock"
    timeout 1800 flock "$kit_lock" || fail "another playground has been making its kit for 30 minutes ($PLAYGROUND_KIT)"
    if [ ! -f "$PLAYGROUND_KIT/.complete" ]; then
        say "making the playground's kit in $PLAYGROUND_KIT (once, a few minutes)"
        local start=$SECONDS
        playground_make_kit || {
            cp "$PLAYGROUND_KIT/kit.log" "$PLAYGROUND_KIT.log" 2>/dev/null
            rm -rf "$PLAYGROUND_KIT"
            exec {kit_lock}>&-
            fail "the playground's kit could not be made (see the messages above, and $PLAYGROUND_KIT.log)"
        }
        say "the playground's kit is ready ($((SECONDS - start)) s)"
    fi
    exec {kit_lock}>&-
}

# playground_make_kit: the steps, into PLAYGROUND_KIT.
playground_make_kit() {
    local kit=$PLAYGROUND_KIT log="$PLAYGROUND_KIT/kit.log"
    rm -rf "$kit" && mkdir -p "$kit" && chmod 755 "$kit" || return 1
    say "  the web libraries"
    cp -a "$WEB_PREFIX" "$kit/prefix" || return 1
    # Their pkg-config and CMake files (text: -I leaves the archives alone)
    # name the prefix they were built in.
    grep -rlIF "$WEB_PREFIX" "$kit/prefix" 2>/dev/null |
        xargs -r sed -i "s#$WEB_PREFIX#$kit/prefix#g" || return 1
    export PKG_CONFIG_LIBDIR="$kit/prefix/lib/pkgconfig:$kit/prefix/share/pkgconfig"
    local cmake_web=(emcmake cmake -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel
        -DCMAKE_PREFIX_PATH="$kit/prefix" -DCMAKE_FIND_ROOT_PATH="$kit/prefix")
    say "  Vantrel for the browser"
    # From a copy of the sources in the kit: the compile line names the
    # headers where they are, and the sandboxes see only the kit.
    local parts=(CMakeLists.txt cmake canvas types web tools/CMakeLists.txt tools/installed tools/testing templates)
    mkdir -p "$kit/source" || return 1
    if git -C "$ROOT" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        (cd "$ROOT" && git ls-files -z --cached --others --exclude-standard -- "${parts[@]}" |
            tar --null -T - -c -f -) | tar -x -f - -C "$kit/source" || return 1
    else
        # Installed: the sources in share/vantrel/source, as they are.
        (cd "$ROOT" && tar -c -f - "${parts[@]}") | tar -x -f - -C "$kit/source" || return 1
    fi
    {
        "${cmake_web[@]}" -S "$kit/source" -B "$kit/library" -DVANTREL_BUILD_TESTS=OFF \
            -DVANTREL_BUILD_TOOLS=OFF -DVANTREL_BUILD_LAUNCHER=OFF -DVANTREL_BUILD_DEMO=OFF \
            -DVANTREL_BUILD_EXAMPLES=OFF -DVANTREL_INSTALL=OFF &&
            cmake --build "$kit/library" -j "$JOBS" --target vantrel
    } >"$log" 2>&1 || {
        tail -n 30 "$log" >&2
        return 1
    }
    say "  the compile and link lines, and canvas.h precompiled"
    mkdir -p "$kit/probe/src" "$kit/grading"
    cp "$PLAYGROUND_HOME/probe/CMakeLists.txt" "$PLAYGROUND_HOME/probe/main.cpp" "$kit/probe/src/" &&
        cp "$ROOT/tools/installed/grading/inside.sh" "$ROOT/tools/installed/grading/defaults.sh" \
            "$ROOT/tools/installed/grading/sandbox.sh" \
            "$kit/grading/" &&
        cp "$PLAYGROUND_HOME/inside_build.sh" "$kit/" &&
        mkdir -p "$kit/web" && cp "$ROOT/web/pack.mjs" "$ROOT/web/unpack.js" "$kit/web/" || return 1
    {
        "${cmake_web[@]}" -S "$kit/probe/src" -B "$kit/probe/build" \
            -Dvantrel_DIR="$kit/library/package" -DVANTREL_WEB_SINGLE_FILE=OFF \
            -DVANTREL_WEB_OUTPUT="$kit/probe/pages" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON &&
            cmake --build "$kit/probe/build" &&
            ninja -C "$kit/probe/build" -t commands program | tail -n 1 >"$kit/probe/link.txt" &&
            node "$PLAYGROUND_HOME/kit.mjs" "$kit" &&
            bash -c '. "$1/flags.sh" && cd "$1/probe" &&
                "${COMPILE[@]}" -x c++-header "$1/source/canvas/canvas.h" -o "$1/canvas.pch"' \
                _ "$kit"
    } >>"$log" 2>&1 || {
        tail -n 30 "$log" >&2
        return 1
    }
    find "$kit/library" -name '*.o' -delete
    chmod -R a+rX "$kit"
    date -u +%FT%TZ >"$kit/.complete"
}

cmd_playground() {
    local argument
    for argument in "$@"; do
        case $argument in
        -h | --help)
            usage playground
            return 0
            ;;
        esac
    done
    install_missing "${PLAYGROUND_PACKAGES[@]}"
    command -v node >/dev/null 2>&1 || install_missing nodejs
    playground_kit
    exec node "$PLAYGROUND_HOME/server.mjs" --kit "$PLAYGROUND_KIT" --examples "$ROOT/examples" "$@"
}

# The playground's stage of the browser tests (from stage_web): a kit made
# afresh, as on a new machine, then tests/web/playground_test.mjs against a
# server started from it. MODULES is the browser tests' node modules.
stage_playground() {
    local modules=$1 kits status=0
    install_missing "${PLAYGROUND_PACKAGES[@]}"
    kits=$(mktemp -d /tmp/vantrel-playground-kits.XXXXXX)
    chmod 755 "$kits"
    (VANTREL_PLAYGROUND_KITS=$kits playground_kit && echo "$PLAYGROUND_KIT" >"$kits/which") || status=$?
    if [ $status -eq 0 ]; then
        VANTREL_NODE_MODULES="$modules" timeout 960 node "$ROOT/tests/web/playground_test.mjs" "$ROOT" \
            "$(cat "$kits/which")" || status=$?
    fi
    rm -rf "$kits"
    return $status
}
