// Per-frame cost of a trail effect in steady state (ring full), in three forms:
//   Engine     move, age, emit and pair every slot; the segment callback only counts
//   Counted    the effect's EffectDraw over the recording GL with recording off
//              (each GL call still costs a call and a tally by name)
//   Recorded   the same with every GL call stored
// Included once by each effect's benchmark program (the effects' hooks cannot
// share one program).
#pragma once

#include <benchmark/benchmark.h>

#include "effects/trail/trail.h"
#include "host/effect_hooks.h"
#include "platform/headless/recording_gl.h"
#include "toolkit/random.h"

namespace trailbench {

using namespace trail;

inline std::size_t segments = 0;

inline void CountSegment(const TrailParticle&, const TrailParticle&) { ++segments; }

inline void StartSteady() {
    recgl::Reset(1u << 18);
    recgl::SetRecording(false);
    SeedRandom(1);
    EffectSetupGL();
    EffectInit();
    for (int f = 0; f < 600; ++f) EffectDraw();
}

inline void Engine(benchmark::State& state) {
    StartSteady();
    TrailSegmentFn draw = trail::state.settings.drawSegment;
    trail::state.settings.drawSegment = CountSegment;
    segments = 0;
    for (auto _ : state) {
        MoveEmitter();
        AdvanceRotation();
        RotatePoints();
        UpdateAndDrawParticles();
        EmitAll();
        benchmark::ClobberMemory();
    }
    state.counters["segments/frame"] = static_cast<double>(segments) / state.iterations();
    trail::state.settings.drawSegment = draw;
    EffectFree();
}

inline void Counted(benchmark::State& state) {
    StartSteady();
    for (auto _ : state) {
        recgl::Reset(1u << 18);
        recgl::SetRecording(false);
        EffectDraw();
    }
    state.counters["GL calls/frame"] = static_cast<double>(recgl::Count());
    EffectFree();
}

inline void Recorded(benchmark::State& state) {
    StartSteady();
    for (auto _ : state) {
        recgl::Reset(1u << 18);
        EffectDraw();
    }
    state.counters["GL calls/frame"] = static_cast<double>(recgl::Count());
    EffectFree();
}

}  // namespace trailbench
