// jade: amber's trail engine with 25 points and lines, through jade's hooks over
// the recording GL: edge cases, memory and failures. The timeline (every stored
// value and GL call of every frame, the GL state and the draws of EffectInit) is
// the reference model's to check (tests/reference/trail_model_test.cpp).
#include <gtest/gtest.h>

#include "tests/trail/trail_fixture.h"

using namespace trail;

namespace {

class Jade : public TrailFixture<31> {};

TEST_F(Jade, ParticlesCarryNoNormal) {
    ASSERT_TRUE(EffectInit());
    for (int f = 0; f < 3; ++f) Frame();
    for (int s = 0; s < 75; ++s) {
        EXPECT_EQ(trail::state.ring[s].normal.x, 0.0f);
        EXPECT_EQ(trail::state.ring[s].normal.y, 0.0f);
        EXPECT_EQ(trail::state.ring[s].normal.z, 0.0f);
    }
}

TEST_F(Jade, NewStartUpResetsRingAndEmitterButNotThePhases) {
    EffectSetupGL();
    ASSERT_TRUE(EffectInit());
    for (int f = 0; f < 300; ++f) Frame();
    double scenePhase = trail::state.scenePhase;
    float pulsePhase = trail::state.pulsePhase;
    Vector3 spin = trail::state.emitter.spin;

    EffectFree();
    EffectSetupGL();
    ASSERT_TRUE(EffectInit());
    EXPECT_EQ(trail::state.ringIndex, 0);
    for (int s = 0; s < trail::state.ringCapacity; ++s) ASSERT_EQ(trail::state.ring[s].life, 0) << "slot " << s;
    ExpectSame(trail::state.emitter.position, Vector3(), "emitter position");
    ExpectSame(trail::state.emitter.rotation, Vector3(), "emitter rotation");
    EXPECT_NE(trail::state.emitter.spin.x, spin.x) << "a fresh spin is drawn";
    EXPECT_EQ(trail::state.scenePhase, scenePhase);
    EXPECT_EQ(trail::state.pulsePhase, pulsePhase);

    EXPECT_EQ(Frame(), 0u);
    EXPECT_EQ(Frame(), 0u);
    EXPECT_EQ(Frame(), 25u);
    // The path carries on: the emitter is not back near the origin.
    EXPECT_GT(trail::state.emitter.position.Length(), 5.0f);
    EXPECT_EQ(testmem::LiveBlocks(), 2);
}

TEST_F(Jade, FramesAllocateNothing) {
    ASSERT_TRUE(EffectInit());
    int allocations = testmem::Allocations();
    for (int f = 0; f < 1000; ++f) Frame();
    EXPECT_EQ(testmem::Allocations(), allocations);
}

TEST_F(Jade, PointsAllocationFailureFailsInit) {
    testmem::FailAllocation(1);
    EXPECT_FALSE(EffectInit());
    EXPECT_EQ(recgl::Count(), 0u);
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST_F(Jade, RingAllocationFailureIsHandledAsInAmber) {
    testmem::FailAllocation(2);
    EXPECT_TRUE(EffectInit());
    ASSERT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_EQ(headless::MessageBoxes()[0].text, "Failed to allocate particle buffer");
    EXPECT_EQ(headless::MessageBoxes()[0].caption, "Error!");
    EXPECT_EQ(headless::CountCalls("PostQuitMessage 0"), 1);
    for (int f = 0; f < 5; ++f) EXPECT_EQ(Frame(), 0u);
}

}  // namespace
