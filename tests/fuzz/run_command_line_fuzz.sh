#!/bin/sh
# Builds the command-line fuzz target of one deliverable (the fuzz preset: clang,
# libFuzzer, address and undefined sanitizers; the shell, the GL host and the
# headless platform with the recording GL) and runs it for the given number of
# seconds (default 60). New inputs go to a scratch corpus; crashes are left in
# its artifacts folder.
#   tests/fuzz/run_command_line_fuzz.sh [seconds] [saver]
set -eu

seconds="${1:-60}"
saver="${2:-amber}"
root="$(cd "$(dirname "$0")/../.." && pwd)"
out="${COMMAND_LINE_FUZZ_DIR:-$root/build/fuzz/command_line_corpus}/$saver"

cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "command_line_fuzz_$saver"
mkdir -p "$out/corpus" "$out/artifacts"
cd "$out"
"$root/build/fuzz/bin/command_line_fuzz_$saver" -max_total_time="$seconds" -max_len=256 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$out/artifacts/" "$out/corpus"
