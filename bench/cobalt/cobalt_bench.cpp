// Per-frame and start-up cost of cobalt with the shipped icosphere (2
// subdivisions, 162 vertices) and the densest one the loader takes (3
// subdivisions, 642 vertices), over the recording GL.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "effects/cobalt/burst.h"
#include "host/effect_hooks.h"
#include "platform/headless/recording_gl.h"
#include "tools/make_sphere/icosphere.h"
#include "tools/make_sphere/sphere_file.h"

using namespace cobalt;

namespace fs = std::filesystem;

namespace {

// Writes sphere.3d for `subdivisions` into its own directory and makes that the
// current directory, where EffectInit looks for it.
bool EnterMeshDirectory(int subdivisions) {
    const fs::path directory = fs::temp_directory_path() / ("cobalt_bench_" + std::to_string(subdivisions));
    fs::create_directories(directory);
    if (!WriteSphereFile((directory / "sphere.3d").c_str(), BuildIcosphere(subdivisions))) return false;
    fs::current_path(directory);
    return true;
}

bool StartWithFullPool(benchmark::State& state) {
    if (!EnterMeshDirectory(static_cast<int>(state.range(0))) || !EffectInit()) {
        state.SkipWithError("cobalt did not start");
        return false;
    }
    recgl::Reset(1u << 20);
    recgl::SetRecording(false);
    for (int frame = 0; frame < ParticleLife + 2; ++frame) EffectDraw();
    return true;
}

// One frame with every GL call logged in full (the recording buffer is rewound
// each frame, outside the timing).
void BM_FrameRecorded(benchmark::State& state) {
    if (!StartWithFullPool(state)) return;
    for (auto _ : state) {
        state.PauseTiming();
        recgl::Reset(1u << 20);
        state.ResumeTiming();
        EffectDraw();
    }
    state.counters["particles"] = burst.poolSize;
    state.counters["segments"] = static_cast<double>(recgl::CountOf("glBegin"));
    EffectFree();
}
BENCHMARK(BM_FrameRecorded)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

// One frame with GL calls only tallied: close to the effect's own cost.
void BM_FrameTallied(benchmark::State& state) {
    if (!StartWithFullPool(state)) return;
    for (auto _ : state) EffectDraw();
    state.counters["particles"] = burst.poolSize;
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    EffectFree();
}
BENCHMARK(BM_FrameTallied)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

// EffectInit + EffectFree: reading the file, preparing the mesh, building the pool.
void BM_StartUp(benchmark::State& state) {
    if (!EnterMeshDirectory(static_cast<int>(state.range(0)))) {
        state.SkipWithError("cannot write sphere.3d");
        return;
    }
    for (auto _ : state) {
        if (!EffectInit()) {
            state.SkipWithError("EffectInit failed");
            break;
        }
        EffectFree();
    }
}
BENCHMARK(BM_StartUp)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
