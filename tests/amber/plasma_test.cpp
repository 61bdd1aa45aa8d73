// amber's plasma generator: wrapped access, subdivision steps and whole
// generations, by their properties. Every cell is also compared with the
// reference model (tests/reference/plasma_model_test.cpp).
#include "effects/amber/plasma.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "effects/amber/plasma_texture.h"
#include "tests/amber/random_probe.h"
#include "toolkit/random.h"

using namespace amber;

namespace {

constexpr float kUnset = -std::numeric_limits<float>::infinity();

std::vector<float> Generate(std::uint32_t seed, int width, int height, int passes) {
    std::vector<float> cells(static_cast<std::size_t>(width) * height, 12345.0f);
    SeedRandom(seed);
    EXPECT_TRUE(GeneratePlasma(cells.data(), 0.0f, 1.0f, width, height, sizeof(float), passes));
    return cells;
}

float At(const std::vector<float>& cells, int width, int x, int y) { return cells[y * width + x]; }

// Mean absolute difference between horizontally adjacent cells, x -> x + 1, over
// columns [from, to); and the same across the wrap edge, column W-1 -> column 0.
double MeanColumnStep(const std::vector<float>& cells, int width, int height, int from, int to) {
    double sum = 0.0;
    for (int y = 0; y < height; ++y)
        for (int x = from; x < to; ++x) sum += std::fabs(At(cells, width, x, y) - At(cells, width, (x + 1) % width, y));
    return sum / (height * (to - from));
}

double MeanRowStep(const std::vector<float>& cells, int width, int height, int from, int to) {
    double sum = 0.0;
    for (int y = from; y < to; ++y)
        for (int x = 0; x < width; ++x)
            sum += std::fabs(At(cells, width, x, y) - At(cells, width, x, (y + 1) % height));
    return sum / (width * (to - from));
}

// --- wrapped access --------------------------------------------------------------

class PlasmaAccess : public ::testing::Test {
protected:
    static constexpr int kW = 5;
    static constexpr int kH = 3;
    // Two floats per cell: the grid reads every other float, the second is a guard.
    float memory[kW * kH * 2];

    void SetUp() override {
        for (int i = 0; i < kW * kH; ++i) {
            memory[2 * i] = static_cast<float>(i);
            memory[2 * i + 1] = -7.0f;
        }
        BindPlasmaGrid(memory, kW, kH, 2 * sizeof(float));
    }
    float Cell(int x, int y) const { return memory[2 * (y * kW + x)]; }
};

TEST_F(PlasmaAccess, IndicesWrapAtBothEdges) {
    EXPECT_EQ(PlasmaGet(-1, -1), Cell(4, 2));
    EXPECT_EQ(PlasmaGet(kW, kH), Cell(0, 0));
    EXPECT_EQ(PlasmaGet(kW + 2, 1), Cell(2, 1));
    EXPECT_EQ(PlasmaGet(3, -kH), Cell(3, 0));
}

TEST_F(PlasmaAccess, IndicesSeveralWidthsBelowZeroWrap) {
    EXPECT_EQ(PlasmaGet(-3 * kW - 1, -4 * kH - 2), Cell(4, 1));
    EXPECT_EQ(PlasmaGet(-2 * kW, -2 * kH), Cell(0, 0));
    EXPECT_EQ(PlasmaGet(7 * kW + 3, 9 * kH + 2), Cell(3, 2));
    EXPECT_TRUE(PlasmaSet(-11, -7, 99.0f, false));
    EXPECT_EQ(Cell(4, 2), 99.0f);
}

TEST_F(PlasmaAccess, SetOnlyIfUnsetLeavesFiniteCellsAlone) {
    EXPECT_FALSE(PlasmaSet(2, 1, 50.0f, true));
    EXPECT_EQ(Cell(2, 1), 7.0f);
    memory[2 * (1 * kW + 2)] = kUnset;
    EXPECT_TRUE(PlasmaSet(2 + kW, 1 - kH, 50.0f, true));
    EXPECT_EQ(Cell(2, 1), 50.0f);
    EXPECT_TRUE(PlasmaSet(2, 1, 60.0f, false));
    EXPECT_EQ(Cell(2, 1), 60.0f);
}

TEST_F(PlasmaAccess, StrideSkipsTheBytesBetweenCells) {
    for (int y = -1; y <= kH; ++y)
        for (int x = -1; x <= kW; ++x) PlasmaSet(x, y, 1.0f, false);
    for (int i = 0; i < kW * kH; ++i) EXPECT_EQ(memory[2 * i + 1], -7.0f) << "guard float " << i;
}

// --- subdivision -----------------------------------------------------------------

class PlasmaSubdivision : public ::testing::Test {
protected:
    static constexpr int kSize = 8;
    float cells[kSize * kSize];

    void SetUp() override {
        for (float& cell : cells) cell = kUnset;
        BindPlasmaGrid(cells, kSize, kSize, sizeof(float));
    }
};

TEST_F(PlasmaSubdivision, UnitQuadSkipsMidpointsOnItsCornersAndDrawsSix) {
    PlasmaSet(0, 0, 1.0f, false);
    PlasmaSet(1, 0, 2.0f, false);
    PlasmaSet(1, 1, 3.0f, false);
    PlasmaSet(0, 1, 4.0f, false);
    SeedRandom(77);
    SubdividePlasmaQuad({0, 0}, {1, 0}, {1, 1}, {0, 1});
    EXPECT_EQ(DrawsSince(77), 6);
    EXPECT_EQ(PlasmaGet(0, 0), 1.0f);
    EXPECT_EQ(PlasmaGet(1, 0), 2.0f);
    EXPECT_EQ(PlasmaGet(1, 1), 3.0f);
    EXPECT_EQ(PlasmaGet(0, 1), 4.0f);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            if (x > 1 || y > 1) {
                EXPECT_EQ(PlasmaGet(x, y), kUnset);
            }
}

TEST_F(PlasmaSubdivision, ZeroAreaQuadStopsAtOnce) {
    PlasmaSet(2, 2, 5.0f, false);
    SeedRandom(5);
    SubdividePlasmaQuad({2, 2}, {2, 2}, {2, 2}, {2, 2});
    EXPECT_EQ(DrawsSince(5), 6);
}

TEST_F(PlasmaSubdivision, ThinQuadRecursionEndsAfterARandomNumberOfRounds) {
    int fewest = 1 << 30;
    int most = 0;
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        SetUp();
        PlasmaSet(0, 0, 1.0f, false);
        PlasmaSet(1, 1, 2.0f, false);
        PlasmaSet(1, 2, 3.0f, false);
        PlasmaSet(0, 2, 4.0f, false);
        SeedRandom(seed);
        SubdividePlasmaQuad({0, 0}, {1, 1}, {1, 2}, {0, 2});
        int draws = DrawsSince(seed);
        ASSERT_GT(draws, 0);
        EXPECT_EQ(draws % 6, 0) << "every step draws six values";
        fewest = std::min(fewest, draws);
        most = std::max(most, draws);
    }
    EXPECT_LT(fewest, most) << "the quad comes back as its own child for some seeds";
}

// --- whole generation ------------------------------------------------------------

TEST(PlasmaGeneration, EveryCellIsSetAndTheRangeIsExact) {
    std::vector<float> cells = Generate(321, 64, 48, 1);
    float minimum = cells[0];
    float maximum = cells[0];
    for (float value : cells) {
        ASSERT_TRUE(std::isfinite(value));
        minimum = std::min(minimum, value);
        maximum = std::max(maximum, value);
    }
    EXPECT_EQ(minimum, 0.0f);
    EXPECT_EQ(maximum, 1.0f);
}

TEST(PlasmaGeneration, CustomRangeIsExact) {
    std::vector<float> cells(32 * 32);
    SeedRandom(9);
    ASSERT_TRUE(GeneratePlasma(cells.data(), -2.5f, 4.0f, 32, 32, sizeof(float), 2));
    float minimum = cells[0];
    float maximum = cells[0];
    for (float value : cells) minimum = std::min(minimum, value), maximum = std::max(maximum, value);
    EXPECT_EQ(minimum, -2.5f);
    EXPECT_EQ(maximum, 4.0f);
}

TEST(PlasmaGeneration, TilesWithoutASeam) {
    const int size = 128;
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        std::vector<float> cells = Generate(seed, size, size, 1);
        double interiorColumns = MeanColumnStep(cells, size, size, 0, size - 1);
        double seamColumns = MeanColumnStep(cells, size, size, size - 1, size);
        double interiorRows = MeanRowStep(cells, size, size, 0, size - 1);
        double seamRows = MeanRowStep(cells, size, size, size - 1, size);
        EXPECT_LT(seamColumns, 2.0 * interiorColumns) << "seed " << seed;
        EXPECT_LT(seamRows, 2.0 * interiorRows) << "seed " << seed;
    }
}

TEST(PlasmaGeneration, SameSeedSamePatternOtherSeedOther) {
    EXPECT_EQ(Generate(42, 32, 32, 1), Generate(42, 32, 32, 1));
    EXPECT_NE(Generate(42, 32, 32, 1), Generate(43, 32, 32, 1));
}

TEST(PlasmaGeneration, EachPassDrawsRowAndColumnOrdersAndSmooths) {
    const int size = 64;
    std::vector<float> none = Generate(11, size, size, 0);
    int afterNone = DrawsSince(11);
    std::vector<float> three = Generate(11, size, size, 3);
    int afterThree = DrawsSince(11);
    EXPECT_EQ(afterThree - afterNone, 3 * (1 + size));
    EXPECT_LT(MeanColumnStep(three, size, size, 0, size), MeanColumnStep(none, size, size, 0, size));
    EXPECT_LT(MeanRowStep(three, size, size, 0, size), MeanRowStep(none, size, size, 0, size));
}

TEST(PlasmaGeneration, FieldOfOneValueBecomesLow) {
    float cell = 3.0f;
    SeedRandom(4);
    ASSERT_TRUE(GeneratePlasma(&cell, 0.25f, 0.75f, 1, 1, sizeof(float), 1));
    EXPECT_EQ(cell, 0.25f);
}

TEST(PlasmaGeneration, EmptyGridIsRejectedUntouched) {
    float cell = 3.0f;
    EXPECT_FALSE(GeneratePlasma(&cell, 0.0f, 1.0f, 0, 4, sizeof(float), 1));
    EXPECT_FALSE(GeneratePlasma(&cell, 0.0f, 1.0f, 4, -1, sizeof(float), 1));
    EXPECT_FALSE(GeneratePlasma(nullptr, 0.0f, 1.0f, 4, 4, sizeof(float), 1));
    EXPECT_EQ(cell, 3.0f);
}

TEST(PlasmaTexture, FourDifferentLayersEachSpanningZeroToOne) {
    SeedRandom(1000);
    GeneratePlasmaTexels();
    const int texels = kPlasmaTextureSize * kPlasmaTextureSize;
    for (int channel = 0; channel < 4; ++channel) {
        float minimum = 1e9f;
        float maximum = -1e9f;
        for (int i = 0; i < texels; ++i) {
            float value = plasmaTexels[4 * i + channel];
            ASSERT_TRUE(std::isfinite(value)) << "channel " << channel << " texel " << i;
            minimum = std::min(minimum, value);
            maximum = std::max(maximum, value);
        }
        EXPECT_EQ(minimum, 0.0f) << "channel " << channel;
        EXPECT_EQ(maximum, 1.0f) << "channel " << channel;
    }
    int sameRedGreen = 0;
    for (int i = 0; i < texels; ++i) sameRedGreen += plasmaTexels[4 * i] == plasmaTexels[4 * i + 1];
    EXPECT_LT(sameRedGreen, texels / 100);
}

}  // namespace
