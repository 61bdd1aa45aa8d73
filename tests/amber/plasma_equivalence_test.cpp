// The generator takes a path without wrapping for the grid's interior and passes
// over subdivision steps that cannot write; none of it may change a bit of the
// result or the number of random draws. Held against the plain all-wrapping
// generator for many seeds, sizes, strides and pass counts.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "effects/amber/plasma.h"
#include "effects/amber/plasma_texture.h"
#include "tests/amber/plasma_reference.h"
#include "toolkit/random.h"

using namespace amber;

namespace {

constexpr float kUnset = -std::numeric_limits<float>::infinity();

struct Run {
    std::vector<float> memory;
    int nextDraw;  // the generator's next output: equal only after equally many draws
};

// A grid of `width` x `height` cells `floatsPerCell` floats apart, at float `offset`
// of each cell; the other floats hold a guard value that must survive.
Run Generate(bool reference, std::uint32_t seed, int width, int height, int floatsPerCell, int offset, int passes) {
    Run run;
    run.memory.assign(static_cast<std::size_t>(width) * height * floatsPerCell, 7.5f);
    float* base = run.memory.data() + offset;
    const int stride = floatsPerCell * static_cast<int>(sizeof(float));
    SeedRandom(seed);
    bool done = reference ? plasma_reference::GeneratePlasma(base, 0.0f, 1.0f, width, height, stride, passes)
                          : GeneratePlasma(base, 0.0f, 1.0f, width, height, stride, passes);
    EXPECT_TRUE(done);
    run.nextDraw = Random15();
    return run;
}

bool SameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

void ExpectSame(std::uint32_t seed, int width, int height, int floatsPerCell, int offset, int passes) {
    const Run fast = Generate(false, seed, width, height, floatsPerCell, offset, passes);
    const Run plain = Generate(true, seed, width, height, floatsPerCell, offset, passes);
    EXPECT_TRUE(SameBits(fast.memory, plain.memory)) << width << " x " << height << ", seed " << seed << ", passes "
                                                     << passes << ", " << floatsPerCell << " floats per cell";
    EXPECT_EQ(fast.nextDraw, plain.nextDraw) << width << " x " << height << ", seed " << seed;
}

TEST(PlasmaEquivalence, GridsWithoutInteriorAndOddSizes) {
    // Up to 2 cells across there is no interior at all; odd sizes put the quadrant
    // corners off the middle.
    const int sizes[][2] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {1, 9},   {9, 1},  {2, 7},  {3, 3},
                            {3, 2}, {4, 3}, {5, 5}, {7, 4}, {13, 17}, {31, 9}, {33, 65}};
    for (const auto& size : sizes)
        for (std::uint32_t seed = 0; seed < 40; ++seed)
            for (int passes = 0; passes <= 2; ++passes) ExpectSame(seed * 7919u + 1u, size[0], size[1], 1, 0, passes);
}

TEST(PlasmaEquivalence, SquareGridsInInterleavedChannels) {
    for (int size : {16, 64, 256})
        for (std::uint32_t seed : {0u, 808u, 0xFFFFFFFFu})
            for (int channel = 0; channel < 4; ++channel) ExpectSame(seed + channel, size, size, 4, channel, 1);
}

TEST(PlasmaEquivalence, ManySeedsAtTheTexturesSize) {
    // The seeds the host can give (minute + second + millisecond, 0 .. 1117).
    for (std::uint32_t seed = 1; seed <= 1117; seed += 93) ExpectSame(seed, 256, 256, 4, 3, 1);
    // The subdivision leaves a cell unset for these two, so hole filling runs too.
    ExpectSame(89, 256, 256, 4, 0, 1);
    ExpectSame(146, 256, 256, 4, 2, 1);
}

TEST(PlasmaEquivalence, SeveralPassesOnRectangles) {
    for (std::uint32_t seed : {5u, 6u})
        for (int passes : {3, 5}) {
            ExpectSame(seed, 96, 40, 2, 1, passes);
            ExpectSame(seed, 40, 96, 1, 0, passes);
        }
}

TEST(PlasmaEquivalence, TheTextureIsTheFourPlainLayers) {
    static float plain[kPlasmaTextureSize * kPlasmaTextureSize * 4];
    for (std::uint32_t seed : {0u, 17u, 1117u}) {
        SeedRandom(seed);
        for (int channel = 0; channel < 4; ++channel)
            plasma_reference::GeneratePlasma(&plain[channel], 0.0f, 1.0f, kPlasmaTextureSize, kPlasmaTextureSize,
                                             4 * sizeof(float), 1);
        const int plainNext = Random15();
        SeedRandom(seed);
        GeneratePlasmaTexels();
        EXPECT_EQ(Random15(), plainNext) << "seed " << seed;
        EXPECT_EQ(std::memcmp(plain, plasmaTexels, sizeof plain), 0) << "seed " << seed;
    }
}

// One subdivision step called from outside, on a grid partly set by hand: the step
// may pass over a quadrilateral only when every cell it could write is set.
TEST(PlasmaEquivalence, SingleStepsOnPartlySetGrids) {
    const PlasmaPoint quads[][4] = {
        {{0, 0}, {1, 0}, {1, 1}, {0, 1}},  // a unit square: its centre lands on a corner
        {{2, 2}, {3, 3}, {3, 2}, {2, 3}},  // crossed, corners repeat no cell
        {{1, 1}, {2, 1}, {2, 1}, {1, 1}},  // two cells
        {{0, 0}, {1, 1}, {1, 2}, {0, 2}},  // thin, recurses
        {{0, 0}, {4, 0}, {4, 4}, {0, 4}}, {{6, 7}, {8, 7}, {8, 8}, {6, 8}},  // across the right and bottom edges
    };
    constexpr int kSize = 8;
    // Outside the loops: g++ 12.2 at -O2 can put an assertion's temporary into the
    // stack slot of an array declared in a loop body.
    float fast[kSize * kSize];
    float plain[kSize * kSize];
    for (const auto& q : quads) {
        for (std::uint32_t pattern = 0; pattern < 64; ++pattern) {
            // Cell i is set (to a value of its own) or unset, by the pattern.
            for (int i = 0; i < kSize * kSize; ++i)
                fast[i] = plain[i] = ((pattern * 2654435761u) >> (i % 29)) & 1 ? static_cast<float>(i) : kUnset;
            SeedRandom(pattern);
            BindPlasmaGrid(fast, kSize, kSize, sizeof(float));
            SubdividePlasmaQuad(q[0], q[1], q[2], q[3]);
            const int fastNext = Random15();
            SeedRandom(pattern);
            plasma_reference::BindPlasmaGrid(plain, kSize, kSize, sizeof(float));
            plasma_reference::SubdividePlasmaQuad({q[0].x, q[0].y}, {q[1].x, q[1].y}, {q[2].x, q[2].y},
                                                  {q[3].x, q[3].y});
            EXPECT_EQ(Random15(), fastNext) << "pattern " << pattern;
            EXPECT_EQ(std::memcmp(fast, plain, sizeof fast), 0)
                << "quad from (" << q[0].x << ", " << q[0].y << "), pattern " << pattern;
        }
    }
}

}  // namespace
