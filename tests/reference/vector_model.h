// The model's vector steps, written from the rules alone and sharing nothing
// with toolkit/vector3. Every stored result is a float. Where the rules leave the
// precision of intermediate arithmetic free, the model pins the project's
// choice: sums, differences and products are float operations, one at a time,
// in the order the rules write them; sqrt, sin and cos take the float widened
// to double and their results are rounded to float.
#pragma once

namespace model {

struct Vec {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

Vec MakeVec(float x, float y, float z);

float LengthOf(Vec v);                   // sqrt((x*x + y*y) + z*z)
void ScaleInPlace(Vec& v, float s);      // Scale
void NormalizeInPlace(Vec& v);           // Normalize: times the reciprocal; zero stays
Vec NormalizedCopy(Vec v);               // Normalized: divided by the length; zero gives zero
void CrossInto(Vec& out, Vec a, Vec b);  // SetCross: x, then y, then z
Vec Sum(Vec a, Vec b);
Vec Difference(Vec a, Vec b);  // a - b
Vec Negated(Vec v);
Vec Times(Vec v, float s);                         // Multiply
Vec Over(Vec v, float s);                          // Divide: three divisions
Vec Same(float s);                                 // Splat
bool AnyNonZero(Vec v);                            // IsNonZero
void RotateByAngles(Vec v, Vec& out, Vec angles);  // RotateXYZ: X, then Y, then Z

Vec TurnX(Vec v, float a);
Vec TurnY(Vec v, float a);
Vec TurnZ(Vec v, float a);
Vec FromElevationHeading(float p, float q, float r);  // FromAngles
Vec Cross(Vec a, Vec b);                              // CrossProduct
float Dot(Vec a, Vec b);                              // DotProduct

}  // namespace model
