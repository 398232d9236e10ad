#!/usr/bin/env bash
# Builds one program of the playground in a sandbox of vantrel-grade's kind
# (grading/sandbox.sh): no network, the system read-only, nothing of the
# server's environment or files, a private /work and /tmp of limited size,
# and limits on time, memory, processes and output. The server runs it with
# JOB holding input.tar (src/ and assets.txt); what the build made comes out
# into JOB/out/ (index.html, index.js, index.wasm, index.data), its messages
# into JOB/build.log and how it ended into JOB/build.facts.
#
#   build_step.sh GRADING_DIR KIT JOB
set -u
grading=$1 kit=$2 job=$3
# shellcheck source=../grading/sandbox.sh
. "$grading/sandbox.sh" || exit 2
# shellcheck source=../grading/defaults.sh
. "$grading/defaults.sh" || exit 2
SANDBOX=true
INSIDE="$kit/grading/inside.sh"
OUTPUT_BYTES=$((1 << 20))
WORK=$job
# The kit is the one folder of the host the sandbox sees, read-only. Its
# etc/ files (the sandbox's own user and host names) were written when the kit
# was made; another user's kit cannot be written to, and need not be.
sandbox_prepare "$kit" 2>/dev/null
# An emscripten link holds a few hundred MB; its compiler (clang) and its
# tools (node, Binaryen) each reserve far more address space than they use.
run_step "$job" build "$job/input.tar" $((256 << 20)) $((64 << 20)) 90 \
    --time 60 --cpu 60 --memory 16384 --processes 64 --open-files 512 --file-size $((64 << 10)) \
    --unpack . --export out -- bash "$kit/inside_build.sh" "$kit"
mkdir -p "$job/out"
unpack "$job/build.tar" "$job/out" out/index.html out/index.js out/index.wasm out/index.data
rm -f "$job/build.tar"
