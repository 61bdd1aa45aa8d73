// cobalt's burst: edge cases of the rules (bounces off the walls, the rotation's
// wrap, a vertex no face uses, an empty free stack). The timeline (every record,
// link and GL call of every frame) is the reference model's to check
// (tests/reference/cobalt_model_test.cpp); failures and memory are in
// hooks_test.cpp.
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
};

// Three vertices with one colour each.
std::vector<std::uint8_t> ThreeColours() {
    return MeshFileBytes({Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(0, 0, 1)},
                         {{0, 0, 0, 255, 0, 0}, {1, 1, 1, 0, 255, 0}, {2, 2, 2, 0, 0, 255}});
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

// A vertex that no face uses keeps colour (0, 0, 0, 0); its trail is drawn like
// any other, in black, and adds nothing to the picture.
TEST_F(Burst, UnusedVertexDrawsInBlack) {
    Start(MeshFileBytes({Vector3(1, 0, 0), Vector3(0, 1, 0)}, {{0, 0, 0, 50, 60, 70}}));
    const std::uint8_t none[4] = {0, 0, 0, 0};
    ASSERT_EQ(std::memcmp(sphereMesh.vertices[1].colour, none, 4), 0);
    int black = 0;
    for (int frame = 1; frame <= 4; ++frame) {
        const std::vector<RecordedSegment> segments = Frame();
        EXPECT_EQ(segments.size(), 2u * CountWithColour(segments, 50, 60, 70)) << "frame " << frame;
        black += CountWithColour(segments, 0, 0, 0);
    }
    EXPECT_GT(black, 0);
}

TEST_F(Burst, EmptyFreeStackFiresNothing) {
    Start(ThreeColours());
    burst.freeHead = nullptr;
    EmitAll();
    EXPECT_EQ(burst.liveHead, nullptr);
    EXPECT_EQ(burst.liveTail, nullptr);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(burst.lastEmitted[i], nullptr);
}

}  // namespace
