// amber's per-frame cost: 10 points, 5000 slots, about 4980 quads a frame.
#include "bench/effects/trail_frame_bench.h"

using namespace trail;

BENCHMARK(trailbench::Engine)->Name("amber/engine_no_gl")->Unit(benchmark::kMicrosecond);
BENCHMARK(trailbench::Counted)->Name("amber/frame_recording_gl_counting")->Unit(benchmark::kMicrosecond);
BENCHMARK(trailbench::Recorded)->Name("amber/frame_recording_gl_storing")->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
