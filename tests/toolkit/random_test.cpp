#include "toolkit/random.h"

#include <gtest/gtest.h>

namespace {

TEST(Random, SequenceFromSeedOne) {
    SeedRandom(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724};
    for (int value : expected) EXPECT_EQ(Random15(), value);
}

TEST(Random, SequenceFromSeedZero) {
    SeedRandom(0);
    const int expected[] = {38, 7719, 21238, 2437};
    for (int value : expected) EXPECT_EQ(Random15(), value);
}

TEST(Random, StaysIn15BitsOverAFullPeriodSample) {
    SeedRandom(0xDEADBEEF);
    int low = 32767, high = 0;
    for (int i = 0; i < 200000; ++i) {
        const int r = Random15();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
        low = r < low ? r : low;
        high = r > high ? r : high;
    }
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 32767);
}

// Finds a seed whose first draw is `wanted`, so the draws can be checked at the ends.
std::uint32_t SeedGiving(int wanted) {
    for (std::uint32_t seed = 0;; ++seed) {
        SeedRandom(seed);
        if (Random15() == wanted) return seed;
    }
}

TEST(Random, SignedDrawsReachBothEndsAndNeverZero) {
    SeedRandom(SeedGiving(0));
    EXPECT_EQ(RandSigned(), -1.0f);
    SeedRandom(SeedGiving(32767));
    EXPECT_EQ(RandSigned(), 1.0f);
    SeedRandom(SeedGiving(16383));
    const float below = RandSigned();
    SeedRandom(SeedGiving(16384));
    const float above = RandSigned();
    // 16383 / 32767 rounds to 0.5 - 2^-16 as a float, 16384 / 32767 to 0.5 + 2^-16.
    EXPECT_EQ(below, -0x1p-15f);
    EXPECT_EQ(above, 0x1p-15f);
}

TEST(Random, UnitAndBitUseOneDrawEach) {
    SeedRandom(1);
    EXPECT_EQ(RandUnit(), 0x1.480290p-10f);  // 41 / 32767
    EXPECT_EQ(RandBit(), 1);                 // 18467 is odd
    EXPECT_EQ(RandUnit(), 0x1.8be318p-3f);   // 6334 / 32767
}

TEST(Random, SignedVectorPutsTheFirstDrawInZ) {
    SeedRandom(1);
    const Vector3 v = RandSignedVector();
    EXPECT_EQ(v.x, -0x1.3a0e74p-1f);  // 6334: about -0.6134
    EXPECT_EQ(v.y, 0x1.047210p-3f);   // 18467: about 0.1272
    EXPECT_EQ(v.z, -0x1.feb7fep-1f);  // 41: about -0.9975
    EXPECT_EQ(Random15(), 26500);     // exactly three draws were used
}

// The seed whose first draw is `wanted`: the state after it is wanted << 16, and the
// generator's step x -> 214013 x + 2531011 is undone with the inverse of 214013.
std::uint32_t SeedBefore(int wanted) {
    std::uint32_t inverse = 214013u;
    for (int i = 0; i < 5; ++i) inverse *= 2u - 214013u * inverse;
    return (static_cast<std::uint32_t>(wanted) << 16) * inverse - 2531011u * inverse;
}

TEST(Random, EveryDrawIsTheFloatNearestToItsQuotient) {
    for (int r = 0; r <= 32767; ++r) {
        SeedRandom(SeedBefore(r));
        const float unit = RandUnit();
        ASSERT_EQ(unit, static_cast<float>(r / 32767.0)) << "draw " << r;
        SeedRandom(SeedBefore(r));
        ASSERT_EQ(RandSigned(), unit * 2.0f - 1.0f) << "draw " << r;
    }
}

TEST(Random, SkippingEqualsDrawing) {
    for (std::uint32_t seed : {0u, 1u, 12345u, 0xFFFFFFFFu}) {
        for (int draws = 0; draws <= 40; ++draws) {
            SeedRandom(seed);
            for (int i = 0; i < draws; ++i) Random15();
            const int expected = Random15();
            SeedRandom(seed);
            SkipRandom(draws);
            EXPECT_EQ(Random15(), expected) << "seed " << seed << ", " << draws << " draws";
        }
    }
}

TEST(Random, ASeriesIsThatManySignedDraws) {
    // Declared once: g++ 12.2 at -O2 put a temporary of the assertions below into
    // the stack slot of an array declared inside the loop.
    float expected[40];
    float series[40];
    for (std::uint32_t seed : {0u, 7u, 0xFFFFFFFFu}) {
        for (int count = 0; count <= 40; ++count) {
            SeedRandom(seed);
            for (int i = 0; i < count; ++i) expected[i] = RandSigned();
            const int next = Random15();
            SeedRandom(seed);
            RandSignedSeries(series, count);
            for (int i = 0; i < count; ++i) EXPECT_EQ(series[i], expected[i]) << "seed " << seed << ", draw " << i;
            EXPECT_EQ(Random15(), next) << "seed " << seed << ", " << count << " draws";
        }
    }
}

}  // namespace
