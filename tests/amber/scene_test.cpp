// amber's hooks as the GL host sees them: the GL calls they make, in order.
#include <gtest/gtest.h>

#include <vector>

#include "host/effect_hooks.h"
#include "platform/gl.h"
#include "platform/headless/headless.h"
#include "platform/headless/recording_gl.h"
#include "tests/support/counting_memory.h"
#include "toolkit/random.h"

namespace {

struct Expected {
    const char* name;
    std::vector<double> args;
};

void ExpectCalls(const std::vector<Expected>& expected, std::size_t first = 0) {
    ASSERT_GE(recgl::Stored(), first + expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const recgl::Call& call = recgl::At(first + i);
        ASSERT_TRUE(recgl::Is(call, expected[i].name)) << "call " << i << " is " << call.name;
        for (std::size_t k = 0; k < expected[i].args.size(); ++k)
            EXPECT_EQ(call.args[k], expected[i].args[k]) << expected[i].name << " argument " << k;
    }
}

class AmberScene : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        testmem::Reset();
        recgl::Reset(1u << 16);
        SeedRandom(7);
    }
    void TearDown() override { EffectFree(); }
};

TEST_F(AmberScene, SetupBuildsAndBindsThePlasmaTexture) {
    EffectSetupGL();
    ASSERT_EQ(recgl::Count(), 8u);
    ExpectCalls({
        {"glEnable", {GL_TEXTURE_2D}},
        {"glTexEnvf", {GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE}},
        {"glGenTextures", {1}},
        {"glBindTexture", {GL_TEXTURE_2D, recgl::At(2).args[1]}},
        {"glTexParameterf", {GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR}},
        {"glTexParameterf", {GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}},
        {"glTexImage2D", {GL_TEXTURE_2D, 0, 4, 256, 256, 0, GL_RGBA, GL_FLOAT}},
        {"glDisable", {GL_TEXTURE_2D}},
    });
    EXPECT_NE(recgl::At(2).args[1], 0.0);
    EXPECT_EQ(testmem::Allocations(), 0) << "the texel array is fixed storage";
}

TEST_F(AmberScene, InitSetsAdditiveBlendingAndSelectsSphereMapping) {
    ASSERT_TRUE(EffectInit());
    ASSERT_EQ(recgl::Count(), 5u);
    ExpectCalls({
        {"glBlendFunc", {GL_SRC_ALPHA, GL_ONE}},
        {"glDisable", {GL_TEXTURE_2D}},
        {"glEnable", {GL_BLEND}},
        {"glTexGeni", {GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP}},
        {"glTexGeni", {GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP}},
    });
    EXPECT_EQ(recgl::CountOf("glEnable"), 1u) << "texture generation is never switched on";
}

TEST_F(AmberScene, FailedInitSetsNoGlState) {
    testmem::FailAllocation(1);
    EXPECT_FALSE(EffectInit());
    EXPECT_EQ(recgl::Count(), 0u);
}

TEST_F(AmberScene, EveryFrameResetsTheTransformAndLooksFromTheEye) {
    ASSERT_TRUE(EffectInit());
    for (int f = 0; f < 4; ++f) {
        recgl::Reset(1u << 16);
        EffectDraw();
        ExpectCalls({{"glLoadIdentity", {}}, {"glTranslatef", {0.0, -20.0, 0.0}}});
    }
    EXPECT_EQ(recgl::CountOf("glBegin"), 20u);
    EXPECT_EQ(recgl::CountOf("glEnd"), 20u);
    EXPECT_EQ(recgl::CountOf("glEnable") + recgl::CountOf("glDisable"), 0u) << "a frame changes no GL switch";
}

}  // namespace
