// The trail engine, run through the effect's own hooks, against the model: the
// GL calls of every frame and every stored value after it (points, emitter,
// phases, ring index, every ring slot), bit for bit, for thousands of frames and
// across a second start-up. Built once for amber (TRAIL_JADE unset) and once for
// jade.
#include "tests/reference/trail_model.h"

#include <gtest/gtest.h>

#include "effects/trail/trail.h"
#include "host/effect_hooks.h"
#include "platform/headless/headless.h"
#include "platform/headless/recording_gl.h"
#include "tests/reference/side_by_side.h"
#include "toolkit/random.h"

namespace {

#ifdef TRAIL_JADE
const model::TrailLook& kLook = model::kJadeTrail;
#else
const model::TrailLook& kLook = model::kAmberTrail;
#endif

constexpr std::size_t kCallCapacity = 1u << 17;

std::string CompareState(const model::TrailModel& m) {
    const trail::TrailState& t = trail::state;
    model::Mismatch d;
    d.Int("pointCount", 0, t.settings.pointCount, kLook.pointCount);
    d.Int("ringCapacity", 0, t.ringCapacity, static_cast<long long>(m.ring.size()));
    d.Int("ringIndex", 0, t.ringIndex, m.ringIndex);
    if (!d.what.empty()) return d.what;
    d.Vector("emitter position", 0, t.emitter.position, m.emitterPosition);
    d.Vector("emitter rotation", 0, t.emitter.rotation, m.rotation);
    d.Vector("emitter spin", 0, t.emitter.spin, m.spin);
    d.Double("scenePhase", t.scenePhase, m.scenePhase);
    d.Float("pulsePhase", 0, t.pulsePhase, m.pulsePhase);
    for (int i = 0; i < kLook.pointCount; ++i) {
        const trail::TrailPoint& p = t.points[i];
        const model::TrailPointModel& q = m.points[i];
        d.Floats("point colour", i, p.colour, q.colour, 4);
        d.Vector("point direction", i, p.direction, q.direction);
        d.Vector("point rotatedDirection", i, p.rotatedDirection, q.rotatedDirection);
        d.Float("point pulse offset", i, p.pulseOffset, q.pulseOffset);
    }
    for (int s = 0; s < t.ringCapacity && d.what.empty(); ++s) {
        const trail::TrailParticle& p = t.ring[s];
        const model::ParticleModel& q = m.ring[s];
        d.Vector("slot position", s, p.position, q.position);
        d.Vector("slot velocity", s, p.velocity, q.velocity);
        if (kLook.quads) d.Vector("slot normal", s, p.normal, q.normal);
        d.Floats("slot colour", s, p.colour, q.colour, 4);
        d.Int("slot life", s, p.life, q.life);
    }
    return d.what;
}

struct TrailRun {
    std::uint32_t seed;
    int framesBefore;  // frames of the first start-up
    int framesAfter;   // frames after a second start-up
    std::uint64_t golden;
};

class TrailModel : public ::testing::TestWithParam<TrailRun> {
protected:
    void SetUp() override {
        headless::Reset();
        recgl::Reset(kCallCapacity);
    }
    void TearDown() override { EffectFree(); }

    // EffectInit on both sides; the random streams carry on from where they are.
    void Start() {
        recgl::Reset(kCallCapacity);
        ASSERT_TRUE(EffectInit());
        model::StartTrail(trail, stream, kLook);
        model::GlCalls calls;
        model::TrailInitCalls(kLook, calls);
        ASSERT_EQ(model::FirstCallDifference(calls), "") << "EffectInit";
        ASSERT_EQ(CompareState(trail), "") << "after EffectInit";
    }
    void Frames(int count, int& frame) {
        model::GlCalls calls;
        model::CallChecker checker;
        for (int f = 0; f < count; ++f, ++frame) {
            recgl::Reset(kCallCapacity);
            EffectDraw();
            checker.Watch(calls);
            model::TrailFrame(trail, calls);
            ASSERT_EQ(checker.Verdict(), "") << "frame " << frame;
            ASSERT_EQ(CompareState(trail), "") << "after frame " << frame;
        }
    }

    model::RandomStream stream;
    model::TrailModel trail;
};

TEST_P(TrailModel, EveryFrameAndEverySlotAgreeWithTheModel) {
    const TrailRun run = GetParam();
    SeedRandom(run.seed);
    stream.state = run.seed;
    // The phases live as long as the program; each run starts them as a program
    // does, whatever ran before it.
    trail::state.scenePhase = 0.0;
    trail::state.pulsePhase = 0.0f;
    int frame = 1;
    Start();
    Frames(run.framesBefore / model::kFrameShare, frame);
    EffectFree();
    Start();
    Frames(run.framesAfter / model::kFrameShare - 1, frame);

    // One more frame, kept, and a checksum over it and the whole ring guards
    // against the program and the model drifting together.
    recgl::Reset(kCallCapacity);
    EffectDraw();
    model::GlCalls calls;
    model::TrailFrame(trail, calls);
    ASSERT_EQ(model::FirstCallDifference(calls), "") << "frame " << frame;
    model::Checksum sum;
    sum.AddCalls(calls);
    for (const model::ParticleModel& p : trail.ring) sum.Add(&p, sizeof p);
    sum.Add(&trail.emitterPosition, sizeof trail.emitterPosition);
    if (model::kFrameShare == 1) {
        EXPECT_EQ(sum.value, run.golden) << "seed " << run.seed << ": 0x" << std::hex << sum.value;
    }
}

std::string SeedName(const ::testing::TestParamInfo<TrailRun>& info) {
    return "seed" + std::to_string(info.param.seed);
}

#ifdef TRAIL_JADE
INSTANTIATE_TEST_SUITE_P(Jade, TrailModel,
                         ::testing::Values(TrailRun{31, 1100, 1000, 0xd962a879d94a58d6ull},
                                           TrailRun{1117, 520, 500, 0x1305b22b2f5631a6ull}),
                         SeedName);
#else
INSTANTIATE_TEST_SUITE_P(Amber, TrailModel,
                         ::testing::Values(TrailRun{2024, 1100, 1000, 0x31594e6b1a0033beull},
                                           TrailRun{0, 600, 500, 0x3b2a7d92e6e2e294ull}),
                         SeedName);
#endif

}  // namespace
