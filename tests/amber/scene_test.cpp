// amber's hooks: what the reference model cannot see. Their GL calls, the texels
// and every frame are compared with the model (tests/reference/); the failures
// and memory of EffectInit and of frames are in tests/trail/trail_test.cpp.
#include <gtest/gtest.h>

#include "host/effect_hooks.h"
#include "platform/headless/headless.h"
#include "platform/headless/recording_gl.h"
#include "tests/support/counting_memory.h"
#include "toolkit/random.h"

namespace {

TEST(AmberScene, SetupAllocatesNothing) {
    headless::Reset();
    recgl::Reset(64);
    SeedRandom(7);
    testmem::Reset();
    EffectSetupGL();
    EXPECT_EQ(recgl::CountOf("glTexImage2D"), 1u);
    EXPECT_EQ(testmem::Allocations(), 0) << "the texel array is fixed storage";
    EXPECT_EQ(testmem::NewCalls(), 0);
}

}  // namespace
