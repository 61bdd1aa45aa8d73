// amber's trail engine, driven through amber's hooks over the recording GL.
#include "effects/amber/trail.h"

#include <gtest/gtest.h>

#include <cmath>

#include "effects/amber/trail_quad.h"
#include "host/effect_hooks.h"
#include "host/random.h"
#include "platform/gl.h"
#include "platform/headless/headless.h"
#include "platform/headless/recording_gl.h"
#include "tests/amber/counting_memory.h"
#include "tests/amber/random_probe.h"

using namespace amber;

namespace {

constexpr std::size_t kCallCapacity = 1u << 17;
constexpr std::uint32_t kSeed = 2024;

class AmberTrail : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        countingmem::Reset();
        recgl::Reset(kCallCapacity);
        SeedRandom(kSeed);
    }
    void TearDown() override { EffectFree(); }

    // Runs one frame and returns how many segments it drew.
    static std::size_t Frame() {
        recgl::Reset(kCallCapacity);
        recgl::SetRecording(false);
        EffectDraw();
        return recgl::CountOf("glBegin");
    }
    // The frame's steps up to the update, leaving the emission to the caller.
    static void FrameBeforeEmission() {
        MoveEmitter();
        AdvanceRotation();
        RotatePoints();
        UpdateAndDrawParticles();
    }
};

// Stands in for the quad where a test is about the ring, not about GL.
int segmentsCounted = 0;
void CountSegment(const TrailParticle&, const TrailParticle&) { ++segmentsCounted; }

int CountedFrame() {
    segmentsCounted = 0;
    EffectDraw();
    return segmentsCounted;
}

float Dot(Vector3 a, Vector3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// --- start-up --------------------------------------------------------------------

TEST_F(AmberTrail, InitDrawsThreeValuesPerPointThenTheSpin) {
    ASSERT_TRUE(EffectInit());
    Vector3 spin = trail.emitter.spin;
    EXPECT_EQ(DrawsSince(kSeed), 10 * 3 + 3);
    // The spin is the 11th RandSignedVector, times 10 degrees in radians.
    SeedRandom(kSeed);
    for (int i = 0; i < 10; ++i) RandSignedVector();
    Vector3 draw = RandSignedVector();
    const float tenDegrees = 10.0f * 3.1415927f / 180.0f;
    EXPECT_NEAR(spin.x, draw.x * tenDegrees, 1e-6f);
    EXPECT_NEAR(spin.y, draw.y * tenDegrees, 1e-6f);
    EXPECT_NEAR(spin.z, draw.z * tenDegrees, 1e-6f);
}

TEST_F(AmberTrail, PointsHaveUnitDirectionsAndGreenBlueColours) {
    ASSERT_TRUE(EffectInit());
    for (int i = 0; i < 10; ++i) {
        const TrailPoint& point = trail.points[i];
        EXPECT_NEAR(point.direction.Length(), 1.0f, 1e-5f);
        Vector3 rgb(point.colour[0], point.colour[1], point.colour[2]);
        EXPECT_NEAR(rgb.Length(), 1.0f, 1e-5f);
        EXPECT_GE(point.colour[1], 0.41f);
        EXPECT_GE(point.colour[2], 0.41f);
        EXPECT_EQ(point.colour[3], 1.0f);
    }
}

TEST_F(AmberTrail, RingStartsDeadAndFramesOneAndTwoDrawNothing) {
    ASSERT_TRUE(EffectInit());
    ASSERT_EQ(trail.ringCapacity, 5000);
    for (int s = 0; s < trail.ringCapacity; ++s) ASSERT_EQ(trail.ring[s].life, 0);
    EXPECT_EQ(Frame(), 0u);
    EXPECT_EQ(Frame(), 0u);
    EXPECT_EQ(trail.ring[4999].life, -2) << "dead slots age too";
    EXPECT_EQ(Frame(), 10u);
    EXPECT_EQ(Frame(), 20u);
}

// --- timeline --------------------------------------------------------------------

TEST_F(AmberTrail, SteadyStateDrawsOneQuadPerLivePairOfNeighbours) {
    ASSERT_TRUE(EffectInit());
    trail.settings.drawSegment = CountSegment;
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
    trail.settings.drawSegment = CountSegment;
    for (int f = 1; f <= 1200; ++f) {
        FrameBeforeEmission();
        for (int k = 0; k < 10; ++k) {
            int life = trail.ring[(trail.ringIndex + k) % 5000].life;
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
        const TrailParticle& expected = trail.ring[corner == 0 ? 10 + quad : quad];
        if (corner < 2) {
            EXPECT_FLOAT_EQ(call.args[0], expected.position.x) << "quad " << quad << " corner " << corner;
            EXPECT_FLOAT_EQ(call.args[1], expected.position.y);
            EXPECT_FLOAT_EQ(call.args[2], expected.position.z);
        }
        if (++corner == 4) ++quad;
    }
    EXPECT_EQ(quad, 10);
}

TEST_F(AmberTrail, NewParticlesStartAtTheEmitterAlongTheirRotatedDirection) {
    ASSERT_TRUE(EffectInit());
    Frame();
    Frame();
    float slowest = 1.0f;
    float fastest = 0.0f;
    for (int i = 0; i < 10; ++i) {
        const TrailParticle& particle = trail.ring[10 + i];
        const TrailPoint& point = trail.points[i];
        EXPECT_EQ(particle.life, 500);
        for (int c = 0; c < 4; ++c) EXPECT_EQ(particle.colour[c], point.colour[c]);
        EXPECT_EQ(particle.position.x, trail.emitter.position.x);
        EXPECT_EQ(particle.position.y, trail.emitter.position.y);
        EXPECT_EQ(particle.position.z, trail.emitter.position.z);
        float speed = particle.velocity.Length();
        EXPECT_LE(speed, 0.1f + 1e-6f);
        if (speed > 1e-6f) {
            EXPECT_NEAR(Dot(particle.velocity, point.rotatedDirection), speed, 1e-6f);
        }
        slowest = std::min(slowest, speed);
        fastest = std::max(fastest, speed);
    }
    EXPECT_GT(fastest - slowest, 0.01f) << "each point pulses with its own phase";
}

TEST_F(AmberTrail, FadeIsTheSquaredShareOfLifeLeft) {
    ASSERT_TRUE(EffectInit());
    for (int f = 0; f < 3; ++f) Frame();
    // Slots 0..9 were emitted in frame 1 and aged in frames 2 and 3.
    EXPECT_EQ(trail.ring[0].life, 498);
    EXPECT_FLOAT_EQ(trail.ring[0].colour[3], (498.0f / 500.0f) * (498.0f / 500.0f));
}

// --- motion ----------------------------------------------------------------------

TEST_F(AmberTrail, RotationWrapsIntoZeroToTwoPi) {
    ASSERT_TRUE(EffectInit());
    trail.emitter.rotation = Vector3(0.0f, 6.2f, 1.0f);
    trail.emitter.spin = Vector3(-0.1f, 0.1f, 0.0f);
    AdvanceRotation();
    EXPECT_FLOAT_EQ(trail.emitter.rotation.x, static_cast<float>(6.283185307179586 - 0.1f));
    EXPECT_NEAR(trail.emitter.rotation.y, 6.3f - 6.283185307179586, 1e-5);
    EXPECT_EQ(trail.emitter.rotation.z, 1.0f);
    trail.emitter.spin = Vector3(-0.17f, 0.17f, 0.17f);
    for (int i = 0; i < 1000; ++i) {
        AdvanceRotation();
        for (float angle : {trail.emitter.rotation.x, trail.emitter.rotation.y, trail.emitter.rotation.z}) {
            ASSERT_GE(angle, 0.0f);
            ASSERT_LE(angle, 6.2831855f);
        }
    }
}

TEST_F(AmberTrail, PointsTurnAsOneRigidStar) {
    ASSERT_TRUE(EffectInit());
    for (int f = 0; f < 37; ++f) Frame();
    for (int i = 0; i < 10; ++i) {
        EXPECT_NEAR(trail.points[i].rotatedDirection.Length(), 1.0f, 1e-5f);
        for (int j = i + 1; j < 10; ++j)
            EXPECT_NEAR(Dot(trail.points[i].rotatedDirection, trail.points[j].rotatedDirection),
                        Dot(trail.points[i].direction, trail.points[j].direction), 1e-5f);
    }
}

TEST_F(AmberTrail, EmitterStaysOnItsPathInsideTheCube) {
    ASSERT_TRUE(EffectInit());
    float reach = 0.0f;
    double phase = trail.scenePhase;
    // The slowest sine (3.97) has a period of about 400 frames.
    for (int f = 0; f < 500; ++f) {
        MoveEmitter();
        for (float c : {trail.emitter.position.x, trail.emitter.position.y, trail.emitter.position.z}) {
            ASSERT_LE(std::fabs(c), 40.0f);
            reach = std::max(reach, std::fabs(c));
        }
    }
    EXPECT_GT(reach, 39.0f);
    EXPECT_NEAR(trail.scenePhase - phase, 500 * 0.004, 1e-9);
}

TEST_F(AmberTrail, EmitterPathIsFortyTimesThreeSinesOfTheScenePhase) {
    ASSERT_TRUE(EffectInit());
    for (int f = 0; f < 300; ++f) {
        MoveEmitter();
        const double phase = trail.scenePhase;
        ASSERT_EQ(trail.emitter.position.x, static_cast<float>(std::sin(5.25 * phase)) * 40.0f) << "frame " << f;
        ASSERT_EQ(trail.emitter.position.y, static_cast<float>(std::sin(4.69 * phase)) * 40.0f) << "frame " << f;
        ASSERT_EQ(trail.emitter.position.z, static_cast<float>(std::sin(3.97 * phase)) * 40.0f) << "frame " << f;
    }
}

TEST_F(AmberTrail, DirectionsAreTheNormalisedDrawsFirstInZ) {
    ASSERT_TRUE(EffectInit());
    SeedRandom(kSeed);
    for (int i = 0; i < 10; ++i) {
        const float z = static_cast<float>(Random15() / 32767.0) * 2.0f - 1.0f;
        const float y = static_cast<float>(Random15() / 32767.0) * 2.0f - 1.0f;
        const float x = static_cast<float>(Random15() / 32767.0) * 2.0f - 1.0f;
        const float length = std::sqrt(x * x + y * y + z * z);
        const TrailPoint& point = trail.points[i];
        EXPECT_NEAR(point.direction.x, x / length, 1e-6f) << "point " << i;
        EXPECT_NEAR(point.direction.y, y / length, 1e-6f) << "point " << i;
        EXPECT_NEAR(point.direction.z, z / length, 1e-6f) << "point " << i;
        // The colour is (|x|, |y| + 1, |z| + 1) of the direction, scaled to unit length.
        const float green = std::fabs(point.direction.y) + 1.0f;
        EXPECT_NEAR(point.colour[0] / point.colour[1], std::fabs(point.direction.x) / green, 1e-5f) << "point " << i;
        EXPECT_NEAR(point.colour[2] / point.colour[1], (std::fabs(point.direction.z) + 1.0f) / green, 1e-5f);
    }
}

TEST_F(AmberTrail, EachEmissionStepsThePulseWhichSwellsBetweenStillAndFullSpeed) {
    ASSERT_TRUE(EffectInit());
    for (int i = 1; i < 10; ++i)
        EXPECT_NE(trail.points[i].pulseOffset, trail.points[0].pulseOffset) << "each point has its own phase";
    TrailPoint point = trail.points[3];
    point.rotatedDirection = Vector3(0.0f, 0.0f, 1.0f);
    struct Case {
        float sine;  // sin(kP + pulsePhase) after the step
        float speed;
    };
    for (Case c : {Case{-1.0f, 0.0f}, Case{0.0f, 0.05f}, Case{1.0f, 0.1f}}) {
        const float before = std::asin(c.sine) - point.pulseOffset - 0.0001f;
        trail.pulsePhase = before;
        const int slot = trail.ringIndex;
        EmitParticle(point, trail.points[4]);
        EXPECT_EQ(trail.pulsePhase, before + 0.0001f);
        const Vector3 velocity = trail.ring[slot].velocity;
        EXPECT_EQ(velocity.x, 0.0f);
        EXPECT_EQ(velocity.y, 0.0f);
        EXPECT_NEAR(velocity.z, c.speed, 2e-6f) << "sine " << c.sine;
    }
}

// --- emission and the quad -------------------------------------------------------

TEST_F(AmberTrail, NormalIsFromTheNextPointAndZeroWhenDirectionsCoincide) {
    ASSERT_TRUE(EffectInit());
    TrailPoint p = trail.points[0];
    TrailPoint q = trail.points[1];
    p.rotatedDirection = Vector3(1.0f, 0.0f, 0.0f);
    q.rotatedDirection = Vector3(0.0f, 1.0f, 0.0f);
    int slot = trail.ringIndex;
    EmitParticle(p, q);
    // (-p) x (q - p) = (-1, 0, 0) x (-1, 1, 0) = (0, 0, -1)
    EXPECT_FLOAT_EQ(trail.ring[slot].normal.x, 0.0f);
    EXPECT_FLOAT_EQ(trail.ring[slot].normal.y, 0.0f);
    EXPECT_FLOAT_EQ(trail.ring[slot].normal.z, -1.0f);

    q.rotatedDirection = p.rotatedDirection;
    slot = trail.ringIndex;
    EmitParticle(p, q);
    EXPECT_EQ(trail.ring[slot].normal.x, 0.0f);
    EXPECT_EQ(trail.ring[slot].normal.y, 0.0f);
    EXPECT_EQ(trail.ring[slot].normal.z, 0.0f);
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
    DrawTrailQuad(newer, older);
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
        EXPECT_FLOAT_EQ(call[0].args[0], want.normal.x);
        EXPECT_FLOAT_EQ(call[0].args[1], want.normal.y);
        EXPECT_FLOAT_EQ(call[0].args[2], want.normal.z);
        EXPECT_EQ(call[1].args[0], want.s);
        EXPECT_EQ(call[1].args[1], want.t);
        for (int k = 0; k < 4; ++k) EXPECT_FLOAT_EQ(call[2].args[k], want.colour[k]) << "corner " << c;
        EXPECT_FLOAT_EQ(call[3].args[0], want.vertex.x) << "corner " << c;
        EXPECT_FLOAT_EQ(call[3].args[1], want.vertex.y);
        EXPECT_FLOAT_EQ(call[3].args[2], want.vertex.z);
    }
}

// --- memory and failures ---------------------------------------------------------

TEST_F(AmberTrail, FramesAllocateNothing) {
    ASSERT_TRUE(EffectInit());
    EXPECT_EQ(countingmem::Allocations(), 2);
    for (int f = 0; f < 1000; ++f) Frame();
    EXPECT_EQ(countingmem::Allocations(), 2);
    EXPECT_EQ(countingmem::Releases(), 0);
}

TEST_F(AmberTrail, PointsAllocationFailureFailsInitWithoutGlState) {
    countingmem::FailAllocation(1);
    EXPECT_FALSE(EffectInit());
    EXPECT_EQ(recgl::Count(), 0u);
    EXPECT_TRUE(headless::MessageBoxes().empty());
    EXPECT_EQ(countingmem::LiveBlocks(), 0);
    EffectFree();
    EffectFree();
    EXPECT_EQ(countingmem::Releases(), 0);
}

TEST_F(AmberTrail, RingAllocationFailureReportsQuitsAndSkipsTheTrail) {
    countingmem::FailAllocation(2);
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
    EXPECT_EQ(trail.ringIndex, 0);
    EffectFree();
    EXPECT_EQ(countingmem::LiveBlocks(), 0);
}

TEST_F(AmberTrail, NewStartUpResetsRingAndEmitterButNotThePhases) {
    ASSERT_TRUE(EffectInit());
    for (int f = 0; f < 120; ++f) Frame();
    double scenePhase = trail.scenePhase;
    float pulsePhase = trail.pulsePhase;
    EffectFree();
    EXPECT_EQ(countingmem::LiveBlocks(), 0);
    ASSERT_TRUE(EffectInit());
    EXPECT_EQ(trail.ringIndex, 0);
    for (int s = 0; s < trail.ringCapacity; ++s) ASSERT_EQ(trail.ring[s].life, 0);
    EXPECT_EQ(trail.emitter.position.x, 0.0f);
    EXPECT_EQ(trail.emitter.rotation.y, 0.0f);
    EXPECT_EQ(trail.scenePhase, scenePhase);
    EXPECT_EQ(trail.pulsePhase, pulsePhase);
    EXPECT_EQ(Frame(), 0u);
    EXPECT_EQ(trail.scenePhase, scenePhase + 0.004);
}

TEST_F(AmberTrail, RepeatedInitWithoutFreeDoesNotLeak) {
    ASSERT_TRUE(EffectInit());
    ASSERT_TRUE(EffectInit());
    EXPECT_EQ(countingmem::LiveBlocks(), 2);
    EffectFree();
    EXPECT_EQ(countingmem::LiveBlocks(), 0);
}

}  // namespace
