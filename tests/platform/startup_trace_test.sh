#!/usr/bin/env bash
# The start-up trace that bench/startup reads: a headless saver run with
# SAVER_STARTUP_TRACE writes its five steps in order, on both clocks, and ends
# after its first frame; without the variable it runs on.
set -u
bin=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
. "$(dirname "$0")/../lib/checks.sh"

# The steps in order: entry, display, context, timer, frame; each clock never goes back.
steps_in_order() {
  python3 - "$1" <<'PY'
import re, sys
line = open(sys.argv[1]).read()
steps = re.fullmatch(r"entry=(\d+),(\d+) display=(\d+),(\d+) context=(\d+),(\d+) timer=(\d+),(\d+) frame=(\d+),(\d+)\n", line)
if not steps:
    sys.exit(1)
values = [int(v) for v in steps.groups()]
wall, cpu = values[0::2], values[1::2]
sys.exit(0 if wall == sorted(wall) and cpu == sorted(cpu) and wall[0] > 0 else 1)
PY
}

for saver in amber cobalt; do
  (cd "$bin" && SAVER_STARTUP_TRACE="$tmp/$saver.trace" ./"$saver" --frames 1 --size 64x48 --seed 5 \
    --out "$tmp/$saver.png" >/dev/null 2>&1)
  check "$saver: one frame rendered and the run ends normally" [ $? -eq 0 ]
  check "$saver: the trace holds the five steps in order" steps_in_order "$tmp/$saver.trace"
done

# Ended after the first frame: a later frame is never reached.
(cd "$bin" && SAVER_STARTUP_TRACE="$tmp/late.trace" ./jade --frames 3 --size 64x48 --seed 5 \
  --out "$tmp/late.png" >/dev/null 2>&1)
check "a traced run stops after its first frame" [ ! -e "$tmp/late.png" ]
check "... having written its trace" steps_in_order "$tmp/late.trace"

(cd "$bin" && ./jade --frames 3 --size 64x48 --seed 5 --out "$tmp/plain.png" >/dev/null 2>&1)
check "without the variable the run renders all its frames" [ -s "$tmp/plain.png" ]

finish
