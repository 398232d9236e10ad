#!/usr/bin/env bash
# Compiles every complete program a learner may copy (each ```cpp block of the
# README files that has a main, and the project template's main.cpp) with
# the warnings vantrel_add_program turns on, as errors: what a learner copies
# must build without a single warning.
#
#   readme_programs.sh SOURCE_DIR WORK_DIR COMPILER
set -euo pipefail
source_dir=$1 work=$2 compiler=$3
rm -rf "$work"
mkdir -p "$work"

flags=(-std=c++17 -O2 -Wall -Wextra -Wpedantic -Werror -I"$source_dir")
read -r -a sdl_flags <<<"$(pkg-config --cflags sdl2 SDL2_ttf SDL2_mixer SDL2_image)"

# Each complete program becomes work/NAME-N.cpp.
programs=()
for readme in "$source_dir/README.md" "$source_dir/examples/README.md"; do
    [ -f "$readme" ] || continue
    name=$(basename "$(dirname "$readme")")
    [ "$readme" = "$source_dir/README.md" ] && name=README
    awk -v out="$work/$name-" '
        /^```cpp[[:space:]]*$/ { n++; file = out n ".cpp"; inside = 1; start = NR + 1; next }
        /^```/ && inside { inside = 0; close(file); next }
        inside { print > file }
    ' "$readme"
done
for file in "$work"/*.cpp; do
    [ -f "$file" ] || continue
    if grep -q 'int main' "$file"; then
        programs+=("$file")
    fi
done
sed 's/@NAME@/my-game/g' "$source_dir/templates/project/main.cpp" >"$work/template-main.cpp"
programs+=("$work/template-main.cpp")

[ ${#programs[@]} -ge 3 ] || {
    echo "FAIL: found only ${#programs[@]} programs to build (the README's should be among them)"
    exit 1
}
failed=0
for program in "${programs[@]}"; do
    if "$compiler" "${flags[@]}" "${sdl_flags[@]}" -c "$program" -o "${program%.cpp}.o" \
        >"${program%.cpp}.log" 2>&1; then
        echo "ok: $(basename "$program") ($(head -n 1 "$program"))"
    else
        echo "FAIL: $(basename "$program") does not build without warnings:"
        cat "${program%.cpp}.log"
        failed=1
    fi
done
exit $failed
