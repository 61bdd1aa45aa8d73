// cobalt's hooks: the mesh file found at start-up, the reseed from the millisecond
// counter, failed start-ups, repeated start-ups and memory.
#include <gtest/gtest.h>

#include "effects/cobalt/burst.h"
#include "effects/cobalt/mesh.h"
#include "host/effect_hooks.h"
#include "platform/headless/headless.h"
#include "platform/headless/recording_gl.h"
#include "platform/platform.h"
#include "tests/cobalt/mesh_bytes.h"
#include "tests/support/counting_memory.h"
#include "toolkit/random.h"

using namespace cobalt;

namespace {

std::vector<std::uint8_t> FourVertexMesh() {
    return MeshFileBytes({Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(0, 0, 1), Vector3(-1, -1, -1)},
                         {{0, 1, 2, 90, 0, 0}, {1, 2, 3, 0, 90, 0}});
}

class Hooks : public testing::Test {
protected:
    void SetUp() override {
        testmem::Reset();
        recgl::Reset(1u << 12);
        recgl::SetRecording(false);
        // The program lives in an empty folder: only the working directory has a mesh.
        headless::Config config;
        config.programPath = (scratch.path / "bin" / "cobalt").string();
        headless::Reset(config);
    }
    void TearDown() override {
        EffectFree();
        EXPECT_EQ(testmem::LiveBlocks(), 0);
    }

    ScratchDirectory scratch;
    CurrentDirectory inScratch{scratch.path};
};

TEST_F(Hooks, InitFailsWithoutAMeshFileAndFreeIsSafeAfterwards) {
    EXPECT_FALSE(EffectInit());
    EXPECT_EQ(testmem::LiveBlocks(), 0);
    EXPECT_EQ(burst.pool, nullptr);
    EffectFree();
    EffectFree();
}

TEST_F(Hooks, InitFailsOnABrokenMeshFile) {
    std::vector<std::uint8_t> bytes = FourVertexMesh();
    bytes.pop_back();
    WriteBytes(scratch.path / "sphere.3d", bytes);
    EXPECT_FALSE(EffectInit());
    EXPECT_EQ(testmem::LiveBlocks(), 0);
}

TEST_F(Hooks, InitReseedsFromTheMillisecondCounter) {
    WriteBytes(scratch.path / "sphere.3d", FourVertexMesh());
    headless::Config config;
    config.startTickMs = 86400123;
    headless::Reset(config);
    ASSERT_EQ(plat::timeGetTime(), 86400123u);
    SeedRandom(99);
    ASSERT_TRUE(EffectInit());
    const Vector3 spin = emitter.spin;
    SeedRandom(86400123);
    ASSERT_TRUE(InitParticles());
    EXPECT_EQ(spin.x, emitter.spin.x);
    EXPECT_EQ(spin.y, emitter.spin.y);
    EXPECT_EQ(spin.z, emitter.spin.z);
    EXPECT_EQ(burst.poolSize, 400);
    EXPECT_EQ(testmem::LiveBlocks(), 4) << "vertex and face tables, pool, lastEmitted";
}

TEST_F(Hooks, EachFailedAllocationFailsInitAndLeaksNothing) {
    WriteBytes(scratch.path / "sphere.3d", FourVertexMesh());
    for (int nth = 1; nth <= 4; ++nth) {
        testmem::FailAllocation(nth);
        EXPECT_FALSE(EffectInit()) << "allocation " << nth << " failed";
        EXPECT_EQ(testmem::LiveBlocks(), 0) << "allocation " << nth << " failed";
        EffectFree();
    }
    testmem::Reset();
    EXPECT_TRUE(EffectInit());
    EXPECT_EQ(testmem::Allocations(), 4) << "vertex and face tables, pool, lastEmitted";
}

TEST_F(Hooks, InitAfterFreeAndRepeatedInitStartAfresh) {
    WriteBytes(scratch.path / "sphere.3d", FourVertexMesh());
    ASSERT_TRUE(EffectInit());
    for (int frame = 0; frame < 150; ++frame) EffectDraw();
    EffectFree();
    EXPECT_EQ(testmem::LiveBlocks(), 0);
    ASSERT_TRUE(EffectInit());
    ASSERT_TRUE(EffectInit());
    EXPECT_EQ(testmem::LiveBlocks(), 4);
    EXPECT_EQ(burst.liveHead, nullptr);
    EXPECT_EQ(emitter.position.x, 0.0f);
    EffectDraw();
    int live = 0;
    for (const TrailParticle* p = burst.liveHead; p != nullptr; p = p->next) ++live;
    EXPECT_EQ(live, 4);
}

TEST_F(Hooks, AThousandFramesAllocateNothingAndKeepThePoolFull) {
    WriteBytes(scratch.path / "sphere.3d", FourVertexMesh());
    ASSERT_TRUE(EffectInit());
    testmem::Reset();
    for (int frame = 0; frame < 1000; ++frame) EffectDraw();
    EXPECT_EQ(testmem::Allocations(), 0);
    EXPECT_EQ(testmem::NewCalls(), 0);
    int live = 0;
    for (const TrailParticle* p = burst.liveHead; p != nullptr && live <= burst.poolSize; p = p->next) ++live;
    EXPECT_EQ(live, burst.poolSize);
    EXPECT_EQ(burst.freeHead, nullptr);
}

}  // namespace
