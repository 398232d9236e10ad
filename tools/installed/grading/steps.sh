# Grading one program: its build, its run and the comparison of its frames,
# each a sandboxed step (sandbox.sh). What each found goes into the
# program's results folder, where vantrel-grade-tool reads it.
# Sourced by vantrel-grade.

# The most a submission's files may take (the build's and the run's private
# folder holds them, with room to spare).
SUBMISSION_BYTES=$((256 << 20))
# The compiler's limits: generous, since only the compiler runs.
BUILD_MEMORY=2048 BUILD_PROCESSES=32 BUILD_FILE_BYTES=$((256 << 20))

# pack_sources SOURCE TAR: a .cpp file, or every file of a folder, as a tar
# archive (links stay links: in the sandbox they point at nothing it has).
pack_sources() {
    local source=$1 tar=$2
    if [ -d "$source" ]; then
        tar -c -f "$tar" -C "$source" --exclude=./.git . 2>/dev/null
    else
        tar -c -f "$tar" -C "$(dirname "$source")" -- "$(basename "$source")" 2>/dev/null
    fi
}

# build_step DIR SOURCE: compiles the .cpp files of SOURCE (a file, or those
# at the top of a folder) with one g++ line against the prebuilt library;
# the program lands in DIR/program.
build_step() {
    local dir=$1 source=$2 sources=() file
    if [ -d "$source" ]; then
        for file in "$source"/*.cpp; do
            [ -f "$file" ] && sources+=("./$(basename "$file")")
        done
    else
        sources=("./$(basename "$source")")
    fi
    local tar="$WORK/$(basename "$dir")-sources.tar"
    pack_sources "$source" "$tar"
    local size
    size=$(stat -c %s "$tar")
    if [ ${#sources[@]} -eq 0 ]; then
        local held
        held=$(cd "$source" && ls -A | head -n 5 | paste -sd ' ' -)
        echo "error: no .cpp file at the top of the folder (it holds: ${held:-nothing})" >"$dir/build.log"
        echo "status=1" >"$dir/build.facts"
        return 1
    fi
    if [ "$size" -gt "$SUBMISSION_BYTES" ]; then
        echo "error: the submission's files take $size bytes, more than the $SUBMISSION_BYTES allowed" >"$dir/build.log"
        echo "status=1" >"$dir/build.facts"
        return 1
    fi
    # shellcheck disable=SC2086 # the flags are words
    run_step "$dir" build "$tar" $((size + BUILD_FILE_BYTES)) "$BUILD_FILE_BYTES" \
        $((BUILD_TIME + 30)) --time "$BUILD_TIME" --cpu "$BUILD_TIME" --memory "$BUILD_MEMORY" \
        --processes "$BUILD_PROCESSES" --open-files 256 --file-size $((BUILD_FILE_BYTES / 1024)) \
        --unpack src --mkdir out --export out/program -- \
        env -C src "$CXX" "${CXX_FLAGS[@]}" "${sources[@]}" $LINK_FLAGS -o ../out/program
    rm -f "$tar"
    unpack "$dir/build.tar" "$dir" out/program
    rm -f "$dir/build.tar"
    grep -qx 'status=0' "$dir/build.facts" && [ -f "$dir/program" ]
}

# run_step_for DIR SOURCE: runs DIR/program under vantrel-run with the
# frames, the input script and the program's own files (and --assets)
# beside it; the saved frames land in DIR/frames/.
record_step() {
    local dir=$1 source=$2
    local stage="$WORK/$(basename "$dir")-run" tar="$WORK/$(basename "$dir")-run.tar"
    rm -rf "$stage" && mkdir -p "$stage/.vantrel-grade/frames"
    mv "$dir/program" "$stage/.vantrel-grade/program"
    local options=(--frames "$LAST_FRAME" --save "$FRAME_LIST" --out .vantrel-grade/frames/frame-%d.png)
    if [ -n "$INPUT" ]; then
        cp "$INPUT" "$stage/.vantrel-grade/input.txt"
        options+=(--input .vantrel-grade/input.txt)
    fi
    local parts=(-C "$stage" .vantrel-grade)
    [ -n "$ASSETS" ] && parts=(-C "$ASSETS" . "${parts[@]}")
    if [ -d "$source" ]; then
        parts=(-C "$source" --exclude=./.git . "${parts[@]}")
    fi
    tar -c -f "$tar" "${parts[@]}" 2>/dev/null
    local exports=() frame
    for frame in "${FRAMES[@]}"; do
        exports+=(--export ".vantrel-grade/frames/frame-$frame.png")
    done
    # The program's files go in under the step's file limit, and its frames
    # come out under it; the program itself may write files of OUTPUT_BYTES.
    local size
    size=$(stat -c %s "$tar")
    run_step "$dir" run "$tar" $((size + OUTPUT_BYTES)) $((size + (${#FRAMES[@]} + 1) * OUTPUT_BYTES)) \
        $((TIME + 30)) --time "$TIME" --cpu "$CPU" --memory "$MEMORY" --processes "$PROCESSES" \
        --open-files "$OPEN_FILES" --file-size $((OUTPUT_BYTES / 1024)) --unpack . \
        "${exports[@]}" -- "$KIT_RUN" "${options[@]}" -- ./.vantrel-grade/program
    rm -rf "$stage" "$tar"
    local names=()
    for frame in "${FRAMES[@]}"; do
        names+=(".vantrel-grade/frames/frame-$frame.png")
    done
    mkdir -p "$dir/frames"
    unpack "$dir/run.tar" "$dir/frames" "${names[@]}"
    rm -f "$dir/run.tar"
}

# compare_step DIR: compares DIR/frames/ with the reference's, in a sandbox
# too, since the frames are the submission's. Writes DIR/compare.log and
# DIR/difference-N.png.
compare_step() {
    local dir=$1 frame
    local stage="$WORK/$(basename "$dir")-compare" tar="$WORK/$(basename "$dir")-compare.tar"
    rm -rf "$stage" && mkdir -p "$stage/reference" "$stage/submission" "$stage/out"
    local exports=()
    for frame in "${FRAMES[@]}"; do
        [ -f "$RESULTS/$REFERENCE_FOLDER/frames/frame-$frame.png" ] &&
            cp "$RESULTS/$REFERENCE_FOLDER/frames/frame-$frame.png" "$stage/reference/"
        [ -f "$dir/frames/frame-$frame.png" ] && cp "$dir/frames/frame-$frame.png" "$stage/submission/"
        exports+=(--export "out/difference-$frame.png")
    done
    tar -c -f "$tar" -C "$stage" reference submission out
    run_step "$dir" compare "$tar" $((4 * $(stat -c %s "$tar") + (64 << 20))) $((256 << 20)) 120 \
        --time 90 --cpu 60 --memory 2048 --processes 8 --open-files 64 \
        --file-size $((256 << 10)) --unpack . "${exports[@]}" -- \
        "$KIT_TOOL" compare --fuzz "$FUZZ" --frames "$FRAME_LIST" reference submission out
    rm -rf "$stage" "$tar"
    local names=()
    for frame in "${FRAMES[@]}"; do
        names+=("out/difference-$frame.png")
    done
    unpack "$dir/compare.tar" "$dir" "${names[@]}"
    rm -f "$dir/compare.tar"
}

# grade_one FOLDER NAME SOURCE: grades one program into $RESULTS/FOLDER.
grade_one() {
    local folder=$1 name=$2 source=$3 dir="$RESULTS/$1"
    rm -rf "$dir" && mkdir -p "$dir"
    printf 'name=%s\n' "$name" >"$dir/facts"
    if build_step "$dir" "$source"; then
        record_step "$dir" "$source"
        [ "$folder" != "$REFERENCE_FOLDER" ] && compare_step "$dir"
    fi
    return 0
}
