// The fixture of the trail engine's tests, shared by amber's and jade's: a fresh
// headless platform, counting allocator and recording GL, the random source at
// the suite's seed, and the effect freed after every test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "effects/trail/trail.h"
#include "host/effect_hooks.h"
#include "platform/headless/headless.h"
#include "platform/headless/recording_gl.h"
#include "tests/support/counting_memory.h"
#include "toolkit/random.h"

template <std::uint32_t Seed>
class TrailFixture : public ::testing::Test {
protected:
    static constexpr std::size_t kCallCapacity = 1u << 17;
    static constexpr std::uint32_t kSeed = Seed;

    void SetUp() override {
        headless::Reset();
        testmem::Reset();
        recgl::Reset(kCallCapacity);
        SeedRandom(Seed);
    }
    void TearDown() override { EffectFree(); }

    // Runs one frame, not recorded, and returns how many segments it drew.
    static std::size_t Frame() {
        recgl::Reset(kCallCapacity);
        recgl::SetRecording(false);
        EffectDraw();
        return recgl::CountOf("glBegin");
    }
};

inline void ExpectSame(Vector3 a, Vector3 b, const char* what) {
    EXPECT_EQ(a.x, b.x) << what;
    EXPECT_EQ(a.y, b.y) << what;
    EXPECT_EQ(a.z, b.z) << what;
}
