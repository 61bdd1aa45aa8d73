// jade: amber's trail engine with 25 points and lines, through jade's hooks over
// the recording GL: what jade's particles leave out, memory and failures. The
// timeline (every stored value and GL call of every frame, the GL state and the
// draws of EffectInit, a second start-up) is the reference model's to check
// (tests/reference/trail_model_test.cpp); the engine's edges are in
// tests/trail/trail_test.cpp.
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
