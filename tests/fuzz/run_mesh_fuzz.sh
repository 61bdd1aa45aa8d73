#!/bin/sh
# Builds the mesh loader fuzz target with clang (libFuzzer, address and undefined
# sanitizers) and runs it for the given number of seconds (default 60) on the
# corpus in tests/cobalt/corpus. New inputs go to a scratch corpus beside the
# binary, so the checked-in corpus stays small; crashes are left in that folder.
set -eu

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/../.." && pwd)"
out="${MESH_FUZZ_DIR:-${TMPDIR:-/tmp}/mesh_fuzz}"
cxx="${CLANGXX:-clang++}"

mkdir -p "$out/corpus" "$out/artifacts"
"$cxx" -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root" \
    "$root/tests/fuzz/mesh_fuzz.cpp" \
    "$root/effects/cobalt/mesh.cpp" \
    "$root/effects/cobalt/mesh_path.cpp" -DCOBALT_DATA_FROM_PROGRAM='""' \
    "$root/effects/cobalt/burst.cpp" \
    "$root/host/vector3.cpp" \
    "$root/host/random.cpp" \
    "$root/host/memory.cpp" \
    "$root/platform/headless/recording_gl.cpp" \
    -o "$out/mesh_fuzz"

cd "$out"
./mesh_fuzz -max_total_time="$seconds" -max_len=40000 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/" "$out/corpus" "$root/tests/cobalt/corpus"
