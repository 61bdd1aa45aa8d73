// amber's trail engine, driven through amber's hooks over the recording GL: the
// ring's timeline, edge cases of the rules, memory and failures. Every stored
// value and GL call is also compared with the reference model
// (tests/reference/trail_model_test.cpp).
#include "effects/trail/trail.h"

#include <gtest/gtest.h>

#include "effects/amber/trail_quad.h"
#include "platform/gl.h"
#include "tests/trail/trail_fixture.h"

using namespace trail;

namespace {

class AmberTrail : public TrailFixture<2024> {};

// --- timeline --------------------------------------------------------------------

TEST_F(AmberTrail, RingStartsDeadAndFramesOneAndTwoDrawNothing) {
    ASSERT_TRUE(EffectInit());
    ASSERT_EQ(trail::state.ringCapacity, 5000);
    for (int s = 0; s < trail::state.ringCapacity; ++s) ASSERT_EQ(trail::state.ring[s].life, 0);
    EXPECT_EQ(Frame(), 0u);
    EXPECT_EQ(Frame(), 0u);
    EXPECT_EQ(trail::state.ring[4999].life, -2) << "dead slots age too";
    EXPECT_EQ(Frame(), 10u);
    EXPECT_EQ(Frame(), 20u);
}

TEST_F(AmberTrail, SteadyStateDrawsOneQuadPerLivePairOfNeighbours) {
    ASSERT_TRUE(EffectInit());
    trail::state.settings.drawSegment = CountSegment;
    recgl::SetRecording(false);
    for (int f = 1; f < 600; ++f) CountedFrame();
    int seamFrames = 0;
    for (int f = 600; f < 1100; ++f) {
        int quads = CountedFrame();
        ASSERT_TRUE(quads == 4980 || quads == 4990) << "frame " << f << ": " << quads;
        if (quads == 4990) {
            ++seamFrames;
            EXPECT_EQ(f, 1000) << "slots 0..9 hold the oldest live particles";
        }
    }
    EXPECT_EQ(seamFrames, 1);
}

TEST_F(AmberTrail, SlotIsReusedExactlyWhenItsParticleReachesLifeZero) {
    ASSERT_TRUE(EffectInit());
    trail::state.settings.drawSegment = CountSegment;
    for (int f = 1; f <= 1200; ++f) {
        FrameBeforeEmission();
        for (int k = 0; k < 10; ++k) {
            int life = trail::state.ring[(trail::state.ringIndex + k) % 5000].life;
            if (f <= 500)
                ASSERT_LE(life, 0) << "frame " << f;
            else
                ASSERT_EQ(life, 0) << "frame " << f;
        }
        EmitAll();
    }
}

TEST_F(AmberTrail, EachQuadJoinsASlotToTheSlotTenBefore) {
    ASSERT_TRUE(EffectInit());
    Frame();
    Frame();
    recgl::Reset(kCallCapacity);
    EffectDraw();
    int quad = 0;
    int corner = 0;
    for (std::size_t i = 0; i < recgl::Stored(); ++i) {
        const recgl::Call& call = recgl::At(i);
        if (recgl::Is(call, "glBegin")) {
            corner = 0;
            EXPECT_EQ(call.args[0], GL_QUADS);
        }
        if (!recgl::Is(call, "glVertex3fv")) continue;
        // Frame 3's update moved slots 0..19; its emission wrote 20..29.
        const TrailParticle& expected = trail::state.ring[corner == 0 ? 10 + quad : quad];
        if (corner < 2) {
            EXPECT_EQ(call.args[0], expected.position.x) << "quad " << quad << " corner " << corner;
            EXPECT_EQ(call.args[1], expected.position.y);
            EXPECT_EQ(call.args[2], expected.position.z);
        }
        if (++corner == 4) ++quad;
    }
    EXPECT_EQ(quad, 10);
}

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

// --- emission and the quad -------------------------------------------------------

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

TEST(AmberTrailQuad, CornersTextureCoordinatesAndColours) {
    TrailParticle newer{};
    newer.position = Vector3(4.0f, 8.0f, -12.0f);
    newer.normal = Vector3(0.0f, 0.0f, 1.0f);
    newer.colour[0] = 0.1f, newer.colour[1] = 0.2f, newer.colour[2] = 0.3f, newer.colour[3] = 0.9f;
    TrailParticle older{};
    older.position = Vector3(-8.0f, 4.0f, 2.0f);
    older.normal = Vector3(0.0f, 1.0f, 0.0f);
    older.colour[0] = 0.4f, older.colour[1] = 0.5f, older.colour[2] = 0.6f, older.colour[3] = 0.8f;

    recgl::Reset(256);
    amber::DrawTrailQuad(newer, older);
    ASSERT_EQ(recgl::Count(), 18u);
    EXPECT_TRUE(recgl::Is(recgl::At(0), "glBegin"));
    EXPECT_EQ(recgl::At(0).args[0], GL_QUADS);
    EXPECT_TRUE(recgl::Is(recgl::At(17), "glEnd"));

    struct Corner {
        Vector3 normal;
        float s, t;
        float colour[4];
        Vector3 vertex;
    };
    const Corner corners[4] = {
        {newer.normal, 0, 0, {0.1f, 0.2f, 0.3f, 0.9f}, newer.position},
        {older.normal, 1, 0, {0.4f, 0.5f, 0.6f, 0.8f}, older.position},
        {older.normal, 1, 1, {0, 0, 0, 0}, Vector3(-6.0f, 3.0f, 1.5f)},
        {newer.normal, 0, 1, {0, 0, 0, 0}, Vector3(3.0f, 6.0f, -9.0f)},
    };
    for (int c = 0; c < 4; ++c) {
        const recgl::Call* call = &recgl::At(1 + 4 * c);
        ASSERT_TRUE(recgl::Is(call[0], "glNormal3fv")) << "corner " << c;
        ASSERT_TRUE(recgl::Is(call[1], "glTexCoord2f"));
        ASSERT_TRUE(recgl::Is(call[2], "glColor4fv"));
        ASSERT_TRUE(recgl::Is(call[3], "glVertex3fv"));
        const Corner& want = corners[c];
        EXPECT_EQ(call[0].args[0], want.normal.x);
        EXPECT_EQ(call[0].args[1], want.normal.y);
        EXPECT_EQ(call[0].args[2], want.normal.z);
        EXPECT_EQ(call[1].args[0], want.s);
        EXPECT_EQ(call[1].args[1], want.t);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(call[2].args[k], want.colour[k]) << "corner " << c;
        EXPECT_EQ(call[3].args[0], want.vertex.x) << "corner " << c;
        EXPECT_EQ(call[3].args[1], want.vertex.y);
        EXPECT_EQ(call[3].args[2], want.vertex.z);
    }
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
