#include "toolkit/vector3.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const float kHalfPi = 1.5707964f;
// cos(kHalfPi) rounded to float: pi / 2 as a float is a little above pi / 2.
// Its sine rounds to exactly 1.
const float kCosHalfPi = -0x1.777a5cp-25f;

void ExpectVector(Vector3 v, float x, float y, float z) {
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

TEST(Vector3, LengthAndBothNormalisations) {
    EXPECT_EQ(Vector3(3, 0, 4).Length(), 5.0f);
    ExpectVector(Normalized(Vector3(3, 0, 4)), 0.6f, 0.0f, 0.8f);

    Vector3 v(3, 0, 4);
    v.Normalize();
    ExpectVector(v, 0.6f, 0.0f, 0.8f);

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
    ExpectVector(Subtract(Vector3(5, 7, 9), Vector3(1, 2, 3)), 4, 5, 6);
    ExpectVector(Add(Vector3(1, 2, 3), Vector3(4, 5, 6)), 5, 7, 9);
    ExpectVector(Negate(Vector3(1, -2, 0)), -1, 2, 0);
    ExpectVector(Multiply(Vector3(1, 2, 3), 2), 2, 4, 6);
    ExpectVector(Divide(Vector3(1, 2, 3), 4), 0.25f, 0.5f, 0.75f);
    ExpectVector(Splat(1.5f), 1.5f, 1.5f, 1.5f);
    Vector3 s(1, 2, 3);
    s.Scale(-1).Scale(2);
    ExpectVector(s, -2, -4, -6);
    s.Clear();
    ExpectVector(s, 0, 0, 0);
    EXPECT_EQ(DotProduct(Vector3(1, 2, 3), Vector3(4, -5, 6)), 12.0f);
}

TEST(Vector3, CrossProductOrderMatters) {
    Vector3 c;
    c.SetCross(Vector3(1, 0, 0), Vector3(0, 1, 0));
    ExpectVector(c, 0, 0, 1);
    c.SetCross(Vector3(0, 1, 0), Vector3(1, 0, 0));
    ExpectVector(c, 0, 0, -1);
    ExpectVector(CrossProduct(Vector3(0, 1, 0), Vector3(0, 0, 1)), 1, 0, 0);
}

TEST(Vector3, IsNonZeroComparesExactly) {
    EXPECT_FALSE(IsNonZero(Vector3(0.0f, -0.0f, 0.0f)));
    EXPECT_TRUE(IsNonZero(Vector3(0.0f, 0.0f, 1e-30f)));
}

// A quarter turn leaves the cosine of the float pi / 2 where an exact turn
// would leave 0.
TEST(Vector3, RotateXYZAppliesXThenYThenZ) {
    Vector3 out;
    RotateXYZ(Vector3(0, 1, 0), out, Vector3(kHalfPi, kHalfPi, 0));
    ExpectVector(out, 1, kCosHalfPi, kCosHalfPi);  // Y first would leave about (0, 0, 1)
    RotateXYZ(Vector3(1, 0, 0), out, Vector3(0, 0, kHalfPi));
    ExpectVector(out, kCosHalfPi, 1, 0);
    RotateXYZ(Vector3(0, 0, 1), out, Vector3(0, kHalfPi, 0));
    ExpectVector(out, 1, 0, kCosHalfPi);
    // Z after Y: (0, 0, 1) -> about (1, 0, 0) about Y -> about (0, 1, 0) about Z.
    RotateXYZ(Vector3(0, 0, 1), out, Vector3(0, kHalfPi, kHalfPi));
    ExpectVector(out, kCosHalfPi, 1, kCosHalfPi);
}

TEST(Vector3, RotateXYZMayWriteIntoItsOwnSource) {
    Vector3 v(0, 1, 0);
    RotateXYZ(v, v, Vector3(kHalfPi, 0, 0));
    ExpectVector(v, 0, kCosHalfPi, 1);
}

// The three single-axis turns make the same steps with the same roundings.
TEST(Vector3, RotateXYZIsTheSingleAxisRotationsInOrder) {
    const Vector3 v(0.3f, -0.7f, 0.2f);
    const Vector3 angles(0.4f, -1.1f, 2.5f);
    Vector3 out;
    RotateXYZ(v, out, angles);
    const Vector3 stepwise = RotateZ(RotateY(RotateX(v, angles.x), angles.y), angles.z);
    ExpectVector(out, stepwise.x, stepwise.y, stepwise.z);
}

TEST(Vector3, FromAnglesPointsAlongZAtZeroAngles) {
    ExpectVector(FromAngles(0, 0, 2), 0, 0, 2);
    ExpectVector(FromAngles(kHalfPi, 0, 1), 0, 1, kCosHalfPi);
    ExpectVector(FromAngles(0, kHalfPi, 1), -1, 0, kCosHalfPi);
}

}  // namespace
