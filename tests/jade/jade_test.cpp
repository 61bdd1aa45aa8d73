// jade: amber's trail engine with 25 points, lines and its own GL state, over the
// recording GL. Every stored value and GL call is also compared with the
// reference model (tests/reference/trail_model_test.cpp).
#include <gtest/gtest.h>

#include "platform/gl.h"
#include "tests/amber/random_probe.h"
#include "tests/trail/trail_fixture.h"

using namespace trail;

namespace {

class Jade : public TrailFixture<31> {
protected:
    // Runs one recorded frame and returns the vertices of its lines, two per line.
    static std::vector<Vector3> RecordedLineVertices() {
        recgl::Reset(kCallCapacity);
        EffectDraw();
        std::vector<Vector3> vertices;
        for (std::size_t i = 0; i < recgl::Stored(); ++i) {
            const recgl::Call& call = recgl::At(i);
            if (recgl::Is(call, "glVertex3fv"))
                vertices.emplace_back(static_cast<float>(call.args[0]), static_cast<float>(call.args[1]),
                                      static_cast<float>(call.args[2]));
        }
        return vertices;
    }
};

TEST_F(Jade, InitSetsBlendingWithoutTexturing) {
    ASSERT_TRUE(EffectInit());
    ASSERT_EQ(recgl::Stored(), 3u);
    EXPECT_TRUE(recgl::Is(recgl::At(0), "glBlendFunc"));
    EXPECT_EQ(recgl::At(0).args[0], GL_SRC_ALPHA);
    EXPECT_EQ(recgl::At(0).args[1], GL_ONE);
    EXPECT_TRUE(recgl::Is(recgl::At(1), "glEnable"));
    EXPECT_EQ(recgl::At(1).args[0], GL_BLEND);
    EXPECT_TRUE(recgl::Is(recgl::At(2), "glDisable"));
    EXPECT_EQ(recgl::At(2).args[0], GL_TEXTURE_2D);
}

TEST_F(Jade, InitDrawsSeventyEightValues) {
    ASSERT_TRUE(EffectInit());
    EXPECT_EQ(trail::state.settings.pointCount, 25);
    EXPECT_EQ(trail::state.ringCapacity, 12500);
    EXPECT_EQ(DrawsSince(kSeed), 78);
}

TEST_F(Jade, FramesOneAndTwoDrawNoLineFrameThreeDrawsTwentyFive) {
    ASSERT_TRUE(EffectInit());
    EXPECT_EQ(Frame(), 0u);
    EXPECT_EQ(Frame(), 0u);
    recgl::Reset(kCallCapacity);
    EffectDraw();
    EXPECT_EQ(recgl::CountOf("glBegin"), 25u);
    EXPECT_EQ(recgl::CountOf("glVertex3fv"), 50u);
    EXPECT_EQ(recgl::CountOf("glColor4fv"), 50u);
    EXPECT_EQ(recgl::CountOf("glNormal3fv"), 0u);
    EXPECT_EQ(recgl::CountOf("glTexCoord2f"), 0u);
    ASSERT_TRUE(recgl::Is(recgl::At(0), "glLoadIdentity"));
    ASSERT_TRUE(recgl::Is(recgl::At(1), "glTranslatef"));
    EXPECT_EQ(recgl::At(1).args[0], 0.0);
    EXPECT_EQ(recgl::At(1).args[1], 0.0);
    EXPECT_EQ(recgl::At(1).args[2], -42.0);
    // glBegin(GL_LINES), colour and vertex of the newer end, then of the older, glEnd.
    const char* const shape[] = {"glBegin", "glColor4fv", "glVertex3fv", "glColor4fv", "glVertex3fv", "glEnd"};
    for (int k = 0; k < 6; ++k) EXPECT_TRUE(recgl::Is(recgl::At(2 + k), shape[k])) << k;
    EXPECT_EQ(recgl::At(2).args[0], GL_LINES);
}

TEST_F(Jade, SlotThirtyJoinsSlotFiveAndSlotFiveJoinsSlot12480) {
    ASSERT_TRUE(EffectInit());
    Frame();
    Frame();
    std::vector<Vector3> lines = RecordedLineVertices();
    ASSERT_EQ(lines.size(), 50u);
    // Frame 3 drew slots 25..49 against 0..24; line 5 is slot 30's.
    ExpectSame(lines[2 * 5], trail::state.ring[30].position, "newer end");
    ExpectSame(lines[2 * 5 + 1], trail::state.ring[5].position, "older end");
    EXPECT_EQ(trail::state.ring[30].colour[0], trail::state.points[5].colour[0]);

    for (int f = 4; f <= 501; ++f) Frame();
    // Frame 501 wrote slots 0..24 next to 12475..12499 of frame 500. In frame 502
    // slot 5 comes first and meets slot 12480 before the pass reaches it.
    Vector3 before = trail::state.ring[12480].position;
    lines = RecordedLineVertices();
    ExpectSame(lines[2 * 5], trail::state.ring[5].position, "slot 5");
    ExpectSame(lines[2 * 5 + 1], before, "slot 12480, not yet moved");
}

TEST_F(Jade, SteadyStateDraws498Or499LinesPerPoint) {
    ASSERT_TRUE(EffectInit());
    trail::state.settings.drawSegment = CountSegment;
    recgl::SetRecording(false);
    int seamFrames = 0;
    for (int f = 1; f < 1200; ++f) {
        CountedFrame();
        if (f < 700) continue;
        ASSERT_TRUE(segmentsCounted == 25 * 498 || segmentsCounted == 25 * 499) << "frame " << f;
        seamFrames += segmentsCounted == 25 * 499;
    }
    EXPECT_EQ(seamFrames, 1);
}

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
