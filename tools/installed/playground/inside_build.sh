#!/usr/bin/env bash
# One playground build, run in its sandbox by build_step.sh: /work/src holds
# the program's files (its .cpp and .h files and its assets), assets.txt
# names the assets. Compiles every .cpp file with the lines the kit read from
# its probe (flags.sh), then links them into out/index.html, .js, .wasm and
# .data with the assets at the top of the page's file system.
#
#   inside_build.sh KIT
set -u
kit=$1
# The kit's compiler was checked when the kit was made.
export EMCC_SKIP_SANITY_CHECK=1
# shellcheck source=/dev/null
. "$kit/flags.sh" || exit 2
mkdir -p /work/obj /work/out
cd /work/src || exit 2
objects=()
failed=false
for source in *.cpp; do
    [ -f "$source" ] || continue
    object="/work/obj/${source%.cpp}.o"
    "${COMPILE[@]}" -include-pch "$kit/canvas.pch" -c "$source" -o "$object" || failed=true
    objects+=("$object")
done
if [ ${#objects[@]} -eq 0 ]; then
    echo "error: the program has no .cpp file" >&2
    exit 1
fi
$failed && exit 1
preload=()
while IFS= read -r asset; do
    [ -n "$asset" ] && preload+=(--preload-file "/work/src/$asset@/$asset")
done </work/assets.txt
# The link runs where the probe's did: its options may name files from there.
cd "$kit/probe/build" || exit 2
exec "${LINK[@]}" "${objects[@]}" "${preload[@]}" -o /work/out/index.html "${LIBS[@]}"
