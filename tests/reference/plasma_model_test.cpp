// amber's plasma generator against the model: every cell bit for bit, for
// several grid sizes, strides, ranges, pass counts and seeds; the texture's four
// layers and the GL calls that upload them; a golden checksum per seed.
#include "tests/reference/plasma_model.h"

#include <gtest/gtest.h>

#include <vector>

#include "effects/amber/plasma.h"
#include "effects/amber/plasma_texture.h"
#include "host/effect_hooks.h"
#include "platform/headless/headless.h"
#include "platform/headless/recording_gl.h"
#include "tests/reference/side_by_side.h"
#include "toolkit/random.h"

namespace {

struct Grid {
    int width, height, floatsPerCell;
    float low, high;
};

// Runs program and model on the same grid and seed; the first cell that differs,
// or empty. The program also has to draw exactly as many values as the model.
std::string Compare(const Grid& g, int passes, std::uint32_t seed) {
    const std::size_t floats = static_cast<std::size_t>(g.width) * g.height * g.floatsPerCell;
    std::vector<float> engine(floats, 7.0f), expected(floats, 7.0f);
    const int stride = g.floatsPerCell * static_cast<int>(sizeof(float));
    SeedRandom(seed);
    const bool made = amber::GeneratePlasma(engine.data(), g.low, g.high, g.width, g.height, stride, passes);
    model::RandomStream stream{seed};
    const bool modelled = model::Plasma(stream, expected.data(), g.low, g.high, g.width, g.height, stride, passes);
    if (made != modelled) return "result differs";
    if (Random15() != model::Draw15(stream)) return "a different number of draws";
    model::Mismatch m;
    for (std::size_t i = 0; i < floats; ++i) m.Float("cell float", static_cast<long>(i), engine[i], expected[i]);
    return m.what;
}

TEST(PlasmaModel, EveryGridSizeStrideRangeAndPassCount) {
    const Grid grids[] = {
        {1, 1, 1, 0.0f, 1.0f},   {2, 2, 1, 0.0f, 1.0f},   {3, 5, 1, -2.5f, 4.0f},  {5, 3, 3, 0.0f, 1.0f},
        {8, 8, 2, 0.0f, 1.0f},   {16, 16, 1, 0.0f, 1.0f}, {17, 31, 4, 0.0f, 1.0f}, {64, 48, 1, -1.0f, 1.0f},
        {100, 7, 1, 0.0f, 1.0f}, {7, 100, 2, 0.0f, 1.0f},
    };
    for (const Grid& g : grids)
        for (int passes : {0, 1, 3})
            for (std::uint32_t seed : {1u, 2024u, 1117u})
                ASSERT_EQ(Compare(g, passes, seed), "") << g.width << " x " << g.height << ", " << g.floatsPerCell
                                                        << " floats a cell, " << passes << " passes, seed " << seed;
}

TEST(PlasmaModel, AnEmptyGridIsRefusedByBoth) {
    EXPECT_EQ(Compare({0, 4, 1, 0.0f, 1.0f}, 1, 3), "");
    EXPECT_EQ(Compare({4, 0, 1, 0.0f, 1.0f}, 1, 3), "");
}

// The texture of one GL start-up: the four layers, then the upload.
class PlasmaTextureModel : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(PlasmaTextureModel, TexelsAndUploadAgreeWithTheModel) {
    const std::uint32_t seed = GetParam();
    headless::Reset();
    recgl::Reset(64);
    SeedRandom(seed);
    EffectSetupGL();

    static float expected[model::kTextureSize * model::kTextureSize * 4];
    model::RandomStream stream{seed};
    model::PlasmaTexels(stream, expected);
    model::Mismatch m;
    m.Floats("texel float", 0, amber::plasmaTexels, expected, model::kTextureSize * model::kTextureSize * 4);
    EXPECT_EQ(m.what, "");

    model::GlCalls calls;
    model::PlasmaTextureCalls(calls, recgl::At(2).args[1]);
    EXPECT_EQ(model::FirstCallDifference(calls), "");
    EXPECT_NE(recgl::At(2).args[1], 0.0) << "a texture name";

    // Guards against the program and the model drifting together.
    model::Checksum sum;
    sum.Add(amber::plasmaTexels, sizeof amber::plasmaTexels);
    const std::uint64_t golden = seed == 0     ? 0x9931ac8a1acb609eull
                                 : seed == 321 ? 0x625fe0f8889a30b7ull
                                               : 0x8253cfca30585ea3ull;
    EXPECT_EQ(sum.value, golden) << std::hex << "seed " << std::dec << seed << ": 0x" << std::hex << sum.value;
}

INSTANTIATE_TEST_SUITE_P(Seeds, PlasmaTextureModel, ::testing::Values(0u, 321u, 1117u));

}  // namespace
