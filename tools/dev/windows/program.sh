# ./dev windows PATH: a learner's own program as a zip for a friend with
# Windows. Sourced by tools/dev/windows/windows.sh, after its helpers.

# windows_checkout_library: the checkout's library for Windows, built once in
# build-windows/ (configured first if need be), for a learner's program to
# link with; sets WINDOWS_PACKAGE to its CMake package.
windows_checkout_library() {
    # The libraries the checkout's build was configured with, while they are
    # there (asking tools/dev/windows/deps.sh takes a while).
    # (None yet in a checkout where ./dev windows has never run.)
    WINDOWS_DEPS=
    [ -f "$WINDOWS_BUILD/CMakeCache.txt" ] &&
        WINDOWS_DEPS=$(sed -n 's/^VANTREL_WINDOWS_DEPS:[A-Z]*=//p' "$WINDOWS_BUILD/CMakeCache.txt")
    [ -n "$WINDOWS_DEPS" ] && [ -f "$WINDOWS_DEPS/.complete" ] || windows_configure
    cmake --build "$WINDOWS_BUILD" -j "$JOBS" --target vantrel >/dev/null ||
        fail "the checkout's library did not build for Windows (run ./dev windows to see why)"
    WINDOWS_PACKAGE="$WINDOWS_BUILD/package"
}

# windows_dlls EXE_OR_DLL...: every DLL the files need, found among the
# Windows libraries and the compiler's runtime, following each DLL's own
# imports; those of Windows itself (KERNEL32.dll and the like) are not there.
windows_dlls() {
    local todo=("$@") seen=" " file dll found dir
    local dirs=("$WINDOWS_DEPS/bin" "/usr/$WINDOWS_HOST/lib")
    while [ ${#todo[@]} -gt 0 ]; do
        file=${todo[0]}
        todo=("${todo[@]:1}")
        while IFS= read -r dll; do
            [[ $seen == *" ${dll,,} "* ]] && continue
            seen+="${dll,,} "
            found=
            for dir in "${dirs[@]}"; do
                found=$(find "$dir" -maxdepth 1 -iname "$dll" -print -quit 2>/dev/null)
                [ -n "$found" ] && break
            done
            if [ -z "$found" ]; then
                found=$("$WINDOWS_HOST-g++-posix" -print-file-name="$dll")
                [ -f "$found" ] || continue # one of Windows's own
            fi
            echo "$found"
            todo+=("$found")
        done < <("$WINDOWS_HOST-objdump" -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p')
    done
}

# windows_zip_program NAME EXE ASSETS OUT: OUT/NAME-windows.zip, a folder NAME
# with NAME.exe, the DLLs it needs, its assets (";"-separated) and a read-me;
# then its program is run from it under Wine until its first frame shows.
windows_zip_program() {
    local name=$1 exe=$2 assets=$3 out=$4 asset dll
    local stage="$out/.cmake/zip" zip="$out/$name-windows.zip"
    rm -rf "$stage" "$zip"
    mkdir -p "$stage/$name"
    cp "$exe" "$stage/$name/$name.exe"
    while IFS= read -r dll; do
        cp "$dll" "$stage/$name/"
    done < <(windows_dlls "$exe")
    # Without their symbols (the compiler's runtime carries 20 MB of them),
    # the program and its DLLs are a quarter of the size.
    "$WINDOWS_HOST-strip" --strip-unneeded "$stage/$name"/*.dll "$stage/$name/$name.exe" ||
        fail "could not strip the program and its DLLs in $stage/$name"
    local list
    IFS=';' read -r -a list <<<"$assets"
    for asset in "${list[@]}"; do
        [ -n "$asset" ] || continue
        [ -e "$asset" ] || fail "the asset $asset of $name is missing"
        cp -r "$asset" "$stage/$name/"
    done
    sed "s/@NAME@/$name/g" "$ROOT/tools/installed/windows/README-program.txt" | sed 's/$/\r/' >"$stage/$name/README.txt"
    (cd "$stage" && zip -qr "$zip" "$name") || fail "could not make $zip"
    rm -rf "$stage"
    local frame
    frame=$("$ROOT/tools/testing/windows/check_program_zip.sh" "$zip" "$name" "$WINDOWS_BUILD/wine" \
        "$out/.cmake/check-$name") || fail "$name from $zip did not show its first frame under Wine (see above)"
    say "$zip ($(du -h "$zip" | cut -f 1)): under Wine its program drew its first frame ($frame)"
}

# windows_build_project PATH: a learner's program (see learner_project in
# tools/dev/common.sh), cross-built with the checkout's library: a zip for each
# program in build-windows/ beside it.
windows_build_project() {
    local start=$SECONDS
    learner_project "$1" build-windows
    local out=$LEARNER_OUT binary="$LEARNER_OUT/.cmake/build"
    windows_checkout_library
    cmake -S "$LEARNER_SOURCE" -B "$binary" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DVANTREL_WINDOWS_DEPS="$WINDOWS_DEPS" -DCMAKE_BUILD_TYPE=Release \
        -Dvantrel_DIR="$WINDOWS_PACKAGE" -DVANTREL_CHECKOUT="$ROOT" \
        -DCMAKE_PROJECT_INCLUDE="$ROOT/tools/dev/windows/programs.cmake" >"$binary.configure.log" 2>&1 || {
        cat "$binary.configure.log" >&2
        fail "CMake could not configure the Windows build of $1 (see the messages above)"
    }
    cmake --build "$binary" -j "$JOBS" || fail "the Windows build of $1 failed (see the compiler messages above)"
    local programs="$binary/vantrel-programs.txt" name exe assets count=0
    [ -f "$programs" ] || fail "the Windows build of $1 listed no programs ($programs is missing)"
    wine_prefix
    while IFS=$'\t' read -r name exe assets; do
        [ -n "$name" ] || continue
        windows_zip_program "$name" "$exe" "$assets" "$out"
        count=$((count + 1))
    done <"$programs"
    [ $count -gt 0 ] || fail "$1 builds no program"
    say "Windows zip of $1 made and checked in $((SECONDS - start)) s: send it to a friend, who unpacks it and double-clicks the .exe"
}
