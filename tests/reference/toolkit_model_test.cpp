// The random source and the vector steps against the model, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "tests/reference/random_model.h"
#include "tests/reference/side_by_side.h"
#include "toolkit/random.h"
#include "toolkit/vector3.h"

namespace {

using model::Vec;

Vec AsModel(Vector3 v) { return model::MakeVec(v.x, v.y, v.z); }

::testing::AssertionResult Same(Vector3 engine, Vec expected) {
    model::Mismatch m;
    m.Vector("vector", 0, engine, expected);
    if (m.what.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << m.what;
}

::testing::AssertionResult Same(float engine, float expected) {
    if (model::SameBits(engine, expected)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << engine << ", expected " << expected;
}

TEST(ToolkitModel, EveryDrawFollowsTheModelsStream) {
    for (std::uint32_t seed : {0u, 1u, 1117u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        SeedRandom(seed);
        model::RandomStream stream{seed};
        for (int i = 0; i < 20000; ++i) {
            switch (i % 5) {
                case 0:
                    ASSERT_EQ(Random15(), model::Draw15(stream)) << "seed " << seed << " draw " << i;
                    break;
                case 1:
                    ASSERT_TRUE(Same(RandUnit(), model::DrawUnit(stream))) << "seed " << seed << " draw " << i;
                    break;
                case 2:
                    ASSERT_TRUE(Same(RandSigned(), model::DrawSigned(stream))) << "seed " << seed << " draw " << i;
                    break;
                case 3:
                    ASSERT_EQ(RandBit(), model::DrawBit(stream)) << "seed " << seed << " draw " << i;
                    break;
                default:
                    ASSERT_TRUE(Same(RandSignedVector(), model::DrawSignedVec(stream)))
                        << "seed " << seed << " draw " << i;
                    break;
            }
        }
    }
}

// Inputs of every kind the effects produce, and the edges: zero of both signs,
// tiny and huge magnitudes, exact small integers.
std::vector<float> Inputs() {
    std::vector<float> values = {0.0f,    -0.0f, 1.0f,  -1.0f,  0.5f,       3.0f,       4.0f,       1e-30f,
                                 -1e-30f, 1e20f, 40.0f, -40.0f, 6.2831855f, 1.5707964f, 0.17453293f};
    std::mt19937 inputs(12345);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::uniform_real_distribution<float> wide(-100.0f, 100.0f);
    for (int i = 0; i < 600; ++i) values.push_back(i % 2 ? unit(inputs) : wide(inputs));
    return values;
}

TEST(ToolkitModel, VectorStepsAgreeBitForBit) {
    const std::vector<float> in = Inputs();
    const std::size_t n = in.size();
    for (std::size_t i = 0; i + 8 < n; ++i) {
        const Vector3 a(in[i], in[i + 1], in[i + 2]);
        const Vector3 b(in[i + 3], in[i + 4], in[i + 5]);
        const float s = in[i + 6];
        const Vec ma = AsModel(a), mb = AsModel(b);
        SCOPED_TRACE(::testing::Message() << "inputs from " << i);

        ASSERT_TRUE(Same(a.Length(), model::LengthOf(ma)));
        Vector3 scaled = a;
        Vec mScaled = ma;
        scaled.Scale(s);
        model::ScaleInPlace(mScaled, s);
        ASSERT_TRUE(Same(scaled, mScaled));
        Vector3 normalised = a;
        Vec mNormalised = ma;
        normalised.Normalize();
        model::NormalizeInPlace(mNormalised);
        ASSERT_TRUE(Same(normalised, mNormalised));
        ASSERT_TRUE(Same(Normalized(a), model::NormalizedCopy(ma)));
        Vector3 cross;
        Vec mCross;
        cross.SetCross(a, b);
        model::CrossInto(mCross, ma, mb);
        ASSERT_TRUE(Same(cross, mCross));
        ASSERT_TRUE(Same(CrossProduct(a, b), model::Cross(ma, mb)));
        ASSERT_TRUE(Same(Add(a, b), model::Sum(ma, mb)));
        ASSERT_TRUE(Same(Subtract(a, b), model::Difference(ma, mb)));
        ASSERT_TRUE(Same(Negate(a), model::Negated(ma)));
        ASSERT_TRUE(Same(Multiply(a, s), model::Times(ma, s)));
        ASSERT_TRUE(Same(Divide(a, s), model::Over(ma, s)));
        ASSERT_TRUE(Same(Splat(s), model::Same(s)));
        ASSERT_EQ(IsNonZero(a), model::AnyNonZero(ma));
        ASSERT_TRUE(Same(DotProduct(a, b), model::Dot(ma, mb)));

        // Angles as the effects use them: in [0, 2 pi] and beyond.
        const Vector3 angles(in[i + 6] / 10.0f, in[i + 7] / 10.0f, in[i + 8] / 10.0f);
        Vector3 rotated;
        Vec mRotated;
        RotateXYZ(a, rotated, angles);
        model::RotateByAngles(ma, mRotated, AsModel(angles));
        ASSERT_TRUE(Same(rotated, mRotated));
        ASSERT_TRUE(Same(RotateX(a, angles.x), model::TurnX(ma, angles.x)));
        ASSERT_TRUE(Same(RotateY(a, angles.y), model::TurnY(ma, angles.y)));
        ASSERT_TRUE(Same(RotateZ(a, angles.z), model::TurnZ(ma, angles.z)));
        ASSERT_TRUE(Same(FromAngles(angles.x, angles.y, s), model::FromElevationHeading(angles.x, angles.y, s)));
    }
}

TEST(ToolkitModel, RotationMayOverwriteItsOwnSource) {
    Vector3 v(0.3f, -0.7f, 0.2f);
    const Vector3 angles(0.4f, -1.1f, 2.5f);
    Vec expected;
    model::RotateByAngles(AsModel(v), expected, AsModel(angles));
    RotateXYZ(v, v, angles);
    EXPECT_TRUE(Same(v, expected));
}

}  // namespace
