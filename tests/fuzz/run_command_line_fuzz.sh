#!/bin/sh
# Builds the command-line fuzz target with clang (libFuzzer, address and
# undefined sanitizers) over the shell, the GL host and the headless platform
# with the recording GL, as one deliverable (default amber), and runs it for the
# given number of seconds (default 60). New inputs go to a scratch corpus beside
# the binary; crashes are left in its artifacts folder.
#   tests/fuzz/run_command_line_fuzz.sh [seconds] [amber|cobalt|jade|opal]
set -eu

seconds="${1:-60}"
saver="${2:-amber}"
root="$(cd "$(dirname "$0")/../.." && pwd)"
out="${COMMAND_LINE_FUZZ_DIR:-${TMPDIR:-/tmp}/command_line_fuzz}/$saver"
cxx="${CLANGXX:-clang++}"

rm -rf "$out/objects"
mkdir -p "$out/corpus" "$out/artifacts" "$out/objects"
# Objects compile two at a time; the target links them.
flags="-std=c++17 -O1 -g -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -I$root"
sources="$root/tests/fuzz/command_line_fuzz.cpp $root/tests/reliability/command_line_run.cpp
  $root/tests/reliability/command_line_oracle.cpp $root/tests/spine/probe_effect.cpp
  $root/platform/x11/command_line_text.cpp $root/savers/$saver/variant.cpp
  $root/shell/command_line.cpp $root/shell/saver_window.cpp $root/shell/password.cpp
  $root/host/gl_host.cpp $root/host/saver_window_proc.cpp $root/host/demo.cpp $root/host/vector3.cpp
  $root/host/random.cpp $root/platform/emulated/windows.cpp $root/platform/emulated/message_queue.cpp
  $root/platform/emulated/timers.cpp $root/platform/emulated/menus.cpp $root/platform/emulated/program_file.cpp
  $root/platform/headless/control.cpp $root/platform/headless/backend.cpp $root/platform/headless/system.cpp
  $root/platform/headless/libraries.cpp $root/platform/headless/pixel_format.cpp
  $root/platform/headless/gl_surface_stub.cpp $root/platform/headless/recording_gl.cpp"
for source in $sources; do
    echo "$cxx -c $source -o $out/objects/$(echo "${source#$root/}" | tr / _).o"
done | xargs -P 2 -I{} sh -c '{} '"$flags"
"$cxx" -fsanitize=fuzzer,address,undefined "$out"/objects/*.o -o "$out/command_line_fuzz"

cd "$out"
./command_line_fuzz -max_total_time="$seconds" -max_len=256 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/" "$out/corpus"
