// cobalt's burst through its hooks: the start-up timeline, emission, bounces,
// wraps and edge cases of the rules. Every record, link and GL call is also
// compared with the reference model (tests/reference/cobalt_model_test.cpp).
#include "effects/cobalt/burst.h"

#include <gtest/gtest.h>

#include <cstring>

#include "effects/cobalt/mesh.h"
#include "host/effect_hooks.h"
#include "platform/headless/recording_gl.h"
#include "tests/cobalt/mesh_bytes.h"
#include "tests/cobalt/recorded_segments.h"
#include "tests/support/counting_memory.h"
#include "toolkit/random.h"

using namespace cobalt;

namespace {

class Burst : public testing::Test {
protected:
    void SetUp() override {
        testmem::Reset();
        recgl::Reset(1u << 15);
    }
    void TearDown() override {
        EffectFree();
        EXPECT_EQ(testmem::LiveBlocks(), 0);
    }

    void Start(const std::vector<std::uint8_t>& mesh, std::uint32_t seed = 7) {
        ASSERT_TRUE(LoadSphereMeshFromBytes(mesh.data(), mesh.size()));
        SeedRandom(seed);
        ASSERT_TRUE(InitParticles());
    }

    std::vector<RecordedSegment> Frame() {
        recgl::Reset(1u << 15);
        EffectDraw();
        return RecordedSegments();
    }

    // Walks the live list both ways and checks that it and the free stack
    // together hold every pool record once.
    int CheckedLiveCount() {
        int live = 0;
        const TrailParticle* previous = nullptr;
        for (const TrailParticle* p = burst.liveHead; p != nullptr; p = p->next) {
            EXPECT_EQ(p->prev, previous);
            EXPECT_GT(p->life, 0);
            previous = p;
            if (++live > burst.poolSize) break;
        }
        EXPECT_EQ(burst.liveTail, previous);
        int free = 0;
        for (const TrailParticle* p = burst.freeHead; p != nullptr && free <= burst.poolSize; p = p->next) ++free;
        EXPECT_EQ(live + free, burst.poolSize);
        return live;
    }
};

// Three vertices with one colour each.
std::vector<std::uint8_t> ThreeColours() {
    return MeshFileBytes({Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(0, 0, 1)},
                         {{0, 0, 0, 255, 0, 0}, {1, 1, 1, 0, 255, 0}, {2, 2, 2, 0, 0, 255}});
}

int ExpectedSegmentsPerVertex(int frame) {
    if (frame <= 2) return 0;
    if (frame <= 100) return frame - 2;
    if (frame == 101) return 98;
    return 99;
}

TEST_F(Burst, SegmentsAndLiveParticlesFollowTheStartUpTimeline) {
    Start(ThreeColours());
    ASSERT_EQ(burst.poolSize, 300);
    for (int frame = 1; frame <= 130; ++frame) {
        const std::vector<RecordedSegment> segments = Frame();
        const int expected = ExpectedSegmentsPerVertex(frame);
        EXPECT_EQ(CountWithColour(segments, 255, 0, 0), expected) << "frame " << frame;
        EXPECT_EQ(CountWithColour(segments, 0, 255, 0), expected) << "frame " << frame;
        EXPECT_EQ(CountWithColour(segments, 0, 0, 255), expected) << "frame " << frame;
        EXPECT_EQ(segments.size(), 3u * expected) << "frame " << frame;
        EXPECT_EQ(CheckedLiveCount(), 3 * (frame < 100 ? frame : 100)) << "frame " << frame;
    }
}

TEST_F(Burst, EmissionTakesTheVertexStateAndTopOfTheFreeStack) {
    Start(ThreeColours());
    EffectDraw();
    // Records were pushed 0 .. n-1, so n-1 is fired first, by vertex 0.
    const TrailParticle* first = &burst.pool[burst.poolSize - 1];
    EXPECT_EQ(burst.liveHead, first);
    EXPECT_EQ(burst.liveTail, &burst.pool[burst.poolSize - 3]);
    for (int i = 0; i < 3; ++i) {
        const TrailParticle* p = &burst.pool[burst.poolSize - 1 - i];
        const MeshVertex& v = sphereMesh.vertices[i];
        EXPECT_EQ(burst.lastEmitted[i], p);
        EXPECT_EQ(p->trailLink, nullptr);
        EXPECT_EQ(p->life, ParticleLife);
        EXPECT_EQ(std::memcmp(p->colour, v.colour, 4), 0);
        EXPECT_EQ(p->position.x, emitter.position.x);
        EXPECT_EQ(p->position.y, emitter.position.y);
        EXPECT_EQ(p->position.z, emitter.position.z);
        EXPECT_EQ(p->velocity.x, v.rotatedDirection.x);
        EXPECT_EQ(p->velocity.y, v.rotatedDirection.y);
        EXPECT_EQ(p->velocity.z, v.rotatedDirection.z);
    }
    EffectDraw();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(burst.lastEmitted[i]->trailLink, &burst.pool[burst.poolSize - 1 - i]);
    }
}

// draw * 10 * pi / 180 is rounded to float once, not after every operation; with
// float steps the z and x components of seed 1 come out one ulp off.
TEST_F(Burst, SpinComesFromThreeSignedDrawsFirstIntoZRoundedOnce) {
    Start(ThreeColours(), 1);  // draws 41, 18467, 6334
    EXPECT_EQ(emitter.spin.z, -0x1.648c88p-3f);
    EXPECT_EQ(emitter.spin.y, 0x1.6ba68ep-6f);
    EXPECT_EQ(emitter.spin.x, -0x1.b6816cp-4f);
    EXPECT_EQ(emitter.velocity.x, 0.5f);
    EXPECT_EQ(emitter.velocity.y, 1.0f);
    EXPECT_EQ(emitter.velocity.z, 0.25f);
}

TEST_F(Burst, EmitterBouncesOffTheCubeWalls) {
    Start(ThreeColours());
    recgl::SetRecording(false);
    for (int frame = 1; frame <= 162; ++frame) {
        EffectDraw();
        switch (frame) {
            case 40:
                EXPECT_EQ(emitter.position.y, 40.0f);
                EXPECT_EQ(emitter.velocity.y, 1.0f) << "landing exactly on the wall is no bounce";
                break;
            case 41:
                EXPECT_EQ(emitter.position.y, 40.0f);
                EXPECT_EQ(emitter.velocity.y, -1.0f);
                break;
            case 42:
                EXPECT_EQ(emitter.position.y, 39.0f);
                break;
            case 80:
                EXPECT_EQ(emitter.position.x, 40.0f);
                EXPECT_EQ(emitter.velocity.x, 0.5f);
                break;
            case 81:
                EXPECT_EQ(emitter.position.x, 40.0f);
                EXPECT_EQ(emitter.velocity.x, -0.5f);
                break;
            case 121:
                EXPECT_EQ(emitter.position.y, -40.0f);
                EXPECT_EQ(emitter.velocity.y, -1.0f);
                break;
            case 122:
                EXPECT_EQ(emitter.position.y, -40.0f);
                EXPECT_EQ(emitter.velocity.y, 1.0f);
                break;
            case 160:
                EXPECT_EQ(emitter.position.z, 40.0f);
                EXPECT_EQ(emitter.velocity.z, 0.25f);
                break;
            case 161:
                EXPECT_EQ(emitter.position.z, 40.0f);
                EXPECT_EQ(emitter.velocity.z, -0.25f);
                break;
            default:
                break;
        }
        ASSERT_LE(emitter.position.x, 40.0f);
        ASSERT_GE(emitter.position.y, -40.0f);
    }
}

TEST_F(Burst, RotationWrapsIntoZeroToTwoPi) {
    Start(ThreeColours());
    emitter.rotation = Vector3(6.2f, 0.1f, 6.0f);
    emitter.spin = Vector3(0.2f, -0.2f, 3 * TwoPi);
    AdvanceRotation();
    EXPECT_EQ(emitter.rotation.x, 0x1.de7880p-4f) << "6.4 - 2 pi";
    EXPECT_EQ(emitter.rotation.y, 0x1.8bb950p+2f) << "2 pi - 0.1";
    EXPECT_EQ(emitter.rotation.z, 0x1.7ffffap+2f) << "several turns come off in one step";

    // Exactly 2 pi and exactly 0 are kept.
    emitter.rotation = Vector3(6.0f, 0.5f, 1.0f);
    emitter.spin = Vector3(TwoPi - 6.0f, -0.5f, 0.25f);
    AdvanceRotation();
    EXPECT_EQ(emitter.rotation.x, TwoPi);
    EXPECT_EQ(emitter.rotation.y, 0.0f);

    // A zero spin leaves even an out-of-range rotation alone.
    emitter.rotation = Vector3(-1.0f, 7.0f, 0.0f);
    emitter.spin = Vector3(0.0f, -0.0f, 0.0f);
    AdvanceRotation();
    EXPECT_EQ(emitter.rotation.x, -1.0f);
    EXPECT_EQ(emitter.rotation.y, 7.0f);
}

TEST_F(Burst, ZeroDirectionTrailTracesTheEmitterPath) {
    Start(MeshFileBytes({Vector3(0, 0, 0), Vector3(1, 0, 0)}, {{0, 0, 0, 10, 20, 30}, {1, 1, 1, 200, 0, 0}}));
    std::vector<Vector3> path(1, Vector3());  // emitter position after each frame; emission happens there
    for (int frame = 1; frame <= 130; ++frame) {
        const std::vector<RecordedSegment> all = Frame();
        path.push_back(emitter.position);
        std::vector<RecordedSegment> trail;
        for (const RecordedSegment& s : all) {
            if (s.red == 10 && s.green == 20 && s.blue == 30) trail.push_back(s);
        }
        // Oldest first: the retiring particle to its predecessor's last place, then
        // every particle of life 98 .. 2 left after this frame to its predecessor.
        std::vector<int> newer;
        if (frame >= 102) newer.push_back(frame - 100);
        const int youngest = frame - 1;
        for (int j = frame >= 101 ? frame - 98 : 2; j <= youngest; ++j) newer.push_back(j);
        ASSERT_EQ(trail.size(), newer.size()) << "frame " << frame;
        for (std::size_t n = 0; n < newer.size(); ++n) {
            const Vector3 from = Subtract(path[newer[n]], EyePosition);
            const Vector3 to = Subtract(path[newer[n] - 1], EyePosition);
            EXPECT_EQ(trail[n].from.x, from.x) << "frame " << frame << " segment " << n;
            EXPECT_EQ(trail[n].from.y, from.y) << "frame " << frame << " segment " << n;
            EXPECT_EQ(trail[n].from.z, from.z) << "frame " << frame << " segment " << n;
            EXPECT_EQ(trail[n].to.x, to.x) << "frame " << frame << " segment " << n;
            EXPECT_EQ(trail[n].to.y, to.y) << "frame " << frame << " segment " << n;
            EXPECT_EQ(trail[n].to.z, to.z) << "frame " << frame << " segment " << n;
        }
    }
}

TEST_F(Burst, UnusedVertexDrawsInBlack) {
    Start(MeshFileBytes({Vector3(1, 0, 0), Vector3(0, 1, 0)}, {{0, 0, 0, 50, 60, 70}}));
    const std::uint8_t none[4] = {0, 0, 0, 0};
    ASSERT_EQ(std::memcmp(sphereMesh.vertices[1].colour, none, 4), 0);
    for (int frame = 1; frame <= 4; ++frame) {
        const std::vector<RecordedSegment> segments = Frame();
        EXPECT_EQ(CountWithColour(segments, 0, 0, 0), ExpectedSegmentsPerVertex(frame));
        EXPECT_EQ(CountWithColour(segments, 50, 60, 70), ExpectedSegmentsPerVertex(frame));
    }
}

TEST_F(Burst, EmptyFreeStackFiresNothing) {
    Start(ThreeColours());
    burst.freeHead = nullptr;
    EmitAll();
    EXPECT_EQ(burst.liveHead, nullptr);
    EXPECT_EQ(burst.liveTail, nullptr);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(burst.lastEmitted[i], nullptr);
}

TEST_F(Burst, SegmentsUseTheHostsViewAndAreDrawnNewerToOlder) {
    Start(MeshFileBytes({Vector3(0, 0, 5)}, {{0, 0, 0, 1, 2, 3}}));
    emitter.spin = Vector3(0.0f, 0.0f, 0.0f);  // directions stay put: every particle flies along +z
    Frame();
    Frame();
    const std::vector<RecordedSegment> segments = Frame();
    ASSERT_EQ(segments.size(), 1u);
    // The newer particle (fired in frame 2, moved once) and the older one (fired in
    // frame 1, moved twice), both seen from the eye at z = 75.
    const Vector3 e1(0.5f, 1.0f, 0.25f);
    const Vector3 e2(1.0f, 2.0f, 0.5f);
    EXPECT_EQ(segments[0].from.x, e2.x);
    EXPECT_EQ(segments[0].from.z, e2.z + 1.0f - 75.0f);
    EXPECT_EQ(segments[0].to.y, e1.y);
    EXPECT_EQ(segments[0].to.z, e1.z + 2.0f - 75.0f);
}

}  // namespace
