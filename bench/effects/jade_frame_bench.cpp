// jade's per-frame cost: 25 points, 12500 slots, about 12450 lines a frame.
#include "bench/effects/trail_frame_bench.h"

using namespace trail;

BENCHMARK(trailbench::Engine)->Name("jade/engine_no_gl")->Unit(benchmark::kMicrosecond);
BENCHMARK(trailbench::Counted)->Name("jade/frame_recording_gl_counting")->Unit(benchmark::kMicrosecond);
BENCHMARK(trailbench::Recorded)->Name("jade/frame_recording_gl_storing")->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
