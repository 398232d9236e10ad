#!/usr/bin/env bash
# A learner's new project as vantrel-new makes it, plus what a project grows
# next: a test program of its own from a plain add_executable, which is no
# game (./dev windows PATH and ./dev web PATH leave it out of what they make).
#
#   game_with_checks.sh VANTREL_SOURCE_DIR PROJECT_DIR
set -eu
source=$1 project=$2
"$source/tools/installed/vantrel-new" "$project" >/dev/null
cat >"$project/checks.cpp" <<'CPP'
// The project's own checks: a plain program, with no window.
int main() { return 0; }
CPP
printf '\n# Checks of the game'"'"'s own, no game themselves.\nadd_executable(checks checks.cpp)\n' \
    >>"$project/CMakeLists.txt"
