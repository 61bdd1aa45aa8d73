// amber's trail engine, driven through amber's hooks over the recording GL: edge
// cases of the rules, memory and failures. The timeline (every stored value and
// GL call of every frame) is the reference model's to check
// (tests/reference/trail_model_test.cpp).
#include "effects/trail/trail.h"

#include <gtest/gtest.h>

#include "tests/trail/trail_fixture.h"

using namespace trail;

namespace {

class AmberTrail : public TrailFixture<2024> {};

// --- motion ----------------------------------------------------------------------

TEST_F(AmberTrail, RotationWrapsIntoZeroToTwoPi) {
    ASSERT_TRUE(EffectInit());
    trail::state.emitter.rotation = Vector3(0.0f, 6.2f, 1.0f);
    trail::state.emitter.spin = Vector3(-0.1f, 0.1f, 0.0f);
    AdvanceRotation();
    EXPECT_EQ(trail::state.emitter.rotation.x, 0x1.8bb94ep+2f) << "2 pi - 0.1";
    EXPECT_EQ(trail::state.emitter.rotation.y, 0x1.137cbcp-6f) << "6.3 drops back below 2 pi";
    EXPECT_EQ(trail::state.emitter.rotation.z, 1.0f);
    trail::state.emitter.spin = Vector3(-0.17f, 0.17f, 0.17f);
    for (int i = 0; i < 1000; ++i) {
        AdvanceRotation();
        for (float angle :
             {trail::state.emitter.rotation.x, trail::state.emitter.rotation.y, trail::state.emitter.rotation.z}) {
            ASSERT_GE(angle, 0.0f);
            ASSERT_LE(angle, 6.2831855f);
        }
    }
}

// --- emission --------------------------------------------------------------------

TEST_F(AmberTrail, NormalIsFromTheNextPointAndZeroWhenDirectionsCoincide) {
    ASSERT_TRUE(EffectInit());
    TrailPoint p = trail::state.points[0];
    TrailPoint q = trail::state.points[1];
    p.rotatedDirection = Vector3(1.0f, 0.0f, 0.0f);
    q.rotatedDirection = Vector3(0.0f, 1.0f, 0.0f);
    int slot = trail::state.ringIndex;
    EmitParticle(p, q);
    // (-p) x (q - p) = (-1, 0, 0) x (-1, 1, 0) = (0, 0, -1)
    ExpectSame(trail::state.ring[slot].normal, Vector3(0.0f, 0.0f, -1.0f), "normal");

    q.rotatedDirection = p.rotatedDirection;
    slot = trail::state.ringIndex;
    EmitParticle(p, q);
    ExpectSame(trail::state.ring[slot].normal, Vector3(), "normal of coinciding directions");
}

// --- memory and failures ---------------------------------------------------------

TEST_F(AmberTrail, FramesAllocateNothing) {
    ASSERT_TRUE(EffectInit());
    EXPECT_EQ(testmem::Allocations(), 2);
    for (int f = 0; f < 1000; ++f) Frame();
    EXPECT_EQ(testmem::Allocations(), 2);
    EXPECT_EQ(testmem::Releases(), 0);
}

TEST_F(AmberTrail, PointsAllocationFailureFailsInitWithoutGlState) {
    testmem::FailAllocation(1);
    EXPECT_FALSE(EffectInit());
    EXPECT_EQ(recgl::Count(), 0u);
    EXPECT_TRUE(headless::MessageBoxes().empty());
    EXPECT_EQ(testmem::LiveBlocks(), 0);
    EffectFree();
    EffectFree();
    EXPECT_EQ(testmem::Releases(), 0);
}

TEST_F(AmberTrail, RingAllocationFailureReportsQuitsAndSkipsTheTrail) {
    testmem::FailAllocation(2);
    EXPECT_TRUE(EffectInit());
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    const headless::MessageBoxRecord& box = headless::MessageBoxes()[0];
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.text, "Failed to allocate particle buffer");
    EXPECT_EQ(box.caption, "Error!");
    EXPECT_EQ(box.type, plat::MB_OK);
    EXPECT_EQ(headless::CountCalls("PostQuitMessage 0"), 1);
    EXPECT_EQ(recgl::CountOf("glBlendFunc"), 1u) << "init still succeeds and sets its state";
    for (int f = 0; f < 5; ++f) EXPECT_EQ(Frame(), 0u);
    EXPECT_EQ(trail::state.ringIndex, 0);
    EffectFree();
    EXPECT_EQ(testmem::LiveBlocks(), 0);
}

TEST_F(AmberTrail, NewStartUpResetsRingAndEmitterButNotThePhases) {
    ASSERT_TRUE(EffectInit());
    for (int f = 0; f < 120; ++f) Frame();
    double scenePhase = trail::state.scenePhase;
    float pulsePhase = trail::state.pulsePhase;
    EffectFree();
    EXPECT_EQ(testmem::LiveBlocks(), 0);
    ASSERT_TRUE(EffectInit());
    EXPECT_EQ(trail::state.ringIndex, 0);
    for (int s = 0; s < trail::state.ringCapacity; ++s) ASSERT_EQ(trail::state.ring[s].life, 0);
    EXPECT_EQ(trail::state.emitter.position.x, 0.0f);
    EXPECT_EQ(trail::state.emitter.rotation.y, 0.0f);
    EXPECT_EQ(trail::state.scenePhase, scenePhase);
    EXPECT_EQ(trail::state.pulsePhase, pulsePhase);
    EXPECT_EQ(Frame(), 0u);
    EXPECT_EQ(trail::state.scenePhase, scenePhase + 0.004);
}

TEST_F(AmberTrail, RepeatedInitWithoutFreeDoesNotLeak) {
    ASSERT_TRUE(EffectInit());
    ASSERT_TRUE(EffectInit());
    EXPECT_EQ(testmem::LiveBlocks(), 2);
    EffectFree();
    EXPECT_EQ(testmem::LiveBlocks(), 0);
}

}  // namespace
