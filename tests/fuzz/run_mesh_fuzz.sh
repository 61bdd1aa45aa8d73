#!/bin/sh
# Builds the mesh loader's fuzz target (the fuzz preset: clang, libFuzzer, address
# and undefined sanitizers) and runs it for the given number of seconds (default
# 60) on the corpus in tests/cobalt/corpus. New inputs go to a scratch corpus, so
# the checked-in corpus stays small; crashes are left in its artifacts folder.
set -eu

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/../.." && pwd)"
out="${MESH_FUZZ_DIR:-$root/build/fuzz/mesh_corpus}"

cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target mesh_fuzz
mkdir -p "$out/corpus" "$out/artifacts"
cd "$out"
"$root/build/fuzz/bin/mesh_fuzz" -max_total_time="$seconds" -max_len=40000 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/" "$out/corpus" "$root/tests/cobalt/corpus"
