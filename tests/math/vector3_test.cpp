#include "host/vector3.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const float kHalfPi = 1.5707964f;

void ExpectNear(Vector3 v, float x, float y, float z, float tolerance = 1e-6f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

TEST(Vector3, LengthAndBothNormalisations) {
    EXPECT_EQ(Vector3(3, 0, 4).Length(), 5.0f);
    ExpectNear(Normalized(Vector3(3, 0, 4)), 0.6f, 0.0f, 0.8f);

    Vector3 v(3, 0, 4);
    v.Normalize();
    ExpectNear(v, 0.6f, 0.0f, 0.8f);

    // Zero stays zero in place; the free form returns a fresh zero.
    Vector3 zero;
    zero.Normalize();
    EXPECT_FALSE(IsNonZero(zero));
    EXPECT_FALSE(IsNonZero(Normalized(Vector3())));
    EXPECT_FALSE(std::isnan(Normalized(Vector3()).x));
}

TEST(Vector3, NormalizeMultipliesByTheReciprocalWhileNormalizedDivides) {
    // For a length whose reciprocal is inexact the two operations may round
    // differently; both must agree with their own definition exactly.
    const Vector3 v(1.0f, 2.0f, 2.5f);
    const float len = v.Length();
    Vector3 byReciprocal = v;
    byReciprocal.Normalize();
    const float r = 1.0f / len;
    EXPECT_EQ(byReciprocal.x, v.x * r);
    EXPECT_EQ(byReciprocal.z, v.z * r);
    const Vector3 byDivision = Normalized(v);
    EXPECT_EQ(byDivision.x, v.x / len);
    EXPECT_EQ(byDivision.z, v.z / len);
}

TEST(Vector3, ArithmeticKeepsOperandOrder) {
    ExpectNear(Subtract(Vector3(5, 7, 9), Vector3(1, 2, 3)), 4, 5, 6);
    ExpectNear(Add(Vector3(1, 2, 3), Vector3(4, 5, 6)), 5, 7, 9);
    ExpectNear(Negate(Vector3(1, -2, 0)), -1, 2, 0);
    ExpectNear(Multiply(Vector3(1, 2, 3), 2), 2, 4, 6);
    ExpectNear(Divide(Vector3(1, 2, 3), 4), 0.25f, 0.5f, 0.75f);
    ExpectNear(Splat(1.5f), 1.5f, 1.5f, 1.5f);
    Vector3 s(1, 2, 3);
    s.Scale(-1).Scale(2);
    ExpectNear(s, -2, -4, -6);
    s.Clear();
    ExpectNear(s, 0, 0, 0);
    EXPECT_EQ(DotProduct(Vector3(1, 2, 3), Vector3(4, -5, 6)), 12.0f);
}

TEST(Vector3, CrossProductOrderMatters) {
    Vector3 c;
    c.SetCross(Vector3(1, 0, 0), Vector3(0, 1, 0));
    ExpectNear(c, 0, 0, 1);
    c.SetCross(Vector3(0, 1, 0), Vector3(1, 0, 0));
    ExpectNear(c, 0, 0, -1);
    ExpectNear(CrossProduct(Vector3(0, 1, 0), Vector3(0, 0, 1)), 1, 0, 0);
}

TEST(Vector3, IsNonZeroComparesExactly) {
    EXPECT_FALSE(IsNonZero(Vector3(0.0f, -0.0f, 0.0f)));
    EXPECT_TRUE(IsNonZero(Vector3(0.0f, 0.0f, 1e-30f)));
}

TEST(Vector3, RotateXYZAppliesXThenYThenZ) {
    Vector3 out;
    RotateXYZ(Vector3(0, 1, 0), out, Vector3(kHalfPi, kHalfPi, 0));
    ExpectNear(out, 1, 0, 0);  // Y first would leave (0, 0, 1)
    RotateXYZ(Vector3(1, 0, 0), out, Vector3(0, 0, kHalfPi));
    ExpectNear(out, 0, 1, 0);
    RotateXYZ(Vector3(0, 0, 1), out, Vector3(0, kHalfPi, 0));
    ExpectNear(out, 1, 0, 0);
    // Z after Y: (0, 0, 1) -> (1, 0, 0) about Y -> (0, 1, 0) about Z.
    RotateXYZ(Vector3(0, 0, 1), out, Vector3(0, kHalfPi, kHalfPi));
    ExpectNear(out, 0, 1, 0);
}

TEST(Vector3, RotateXYZMayWriteIntoItsOwnSource) {
    Vector3 v(0, 1, 0);
    RotateXYZ(v, v, Vector3(kHalfPi, 0, 0));
    ExpectNear(v, 0, 0, 1);
}

TEST(Vector3, RotateXYZMatchesTheSingleAxisRotations) {
    const Vector3 v(0.3f, -0.7f, 0.2f);
    const Vector3 angles(0.4f, -1.1f, 2.5f);
    Vector3 out;
    RotateXYZ(v, out, angles);
    const Vector3 stepwise = RotateZ(RotateY(RotateX(v, angles.x), angles.y), angles.z);
    ExpectNear(out, stepwise.x, stepwise.y, stepwise.z, 1e-6f);
    EXPECT_NEAR(out.Length(), v.Length(), 1e-6f);
}

TEST(Vector3, FromAnglesPointsAlongZAtZeroAngles) {
    ExpectNear(FromAngles(0, 0, 2), 0, 0, 2);
    ExpectNear(FromAngles(kHalfPi, 0, 1), 0, 1, 0);
    ExpectNear(FromAngles(0, kHalfPi, 1), -1, 0, 0);
}

}  // namespace
