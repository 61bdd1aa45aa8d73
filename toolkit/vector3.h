// Three single-precision floats, contiguous, handed to GL as a float pointer.
// Operations round what they store to float; sqrt, sin and cos run in double.
#pragma once

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vector3() = default;
    Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    void Clear() { x = y = z = 0.0f; }
    float Length() const;
    Vector3& Scale(float s);
    void Normalize();                     // multiplies by 1/length; a zero vector stays zero
    void SetCross(Vector3 a, Vector3 b);  // this = a x b; this must be neither a nor b

    const float* Data() const { return &x; }
    float* Data() { return &x; }
};

static_assert(sizeof(Vector3) == 3 * sizeof(float), "Vector3 is three packed floats");

Vector3 Splat(float s);
Vector3 Add(Vector3 a, Vector3 b);
Vector3 Subtract(Vector3 a, Vector3 b);
Vector3 Negate(Vector3 v);
Vector3 Multiply(Vector3 v, float s);
Vector3 Divide(Vector3 v, float s);
Vector3 Normalized(Vector3 v);  // divides by the length; zero gives (0, 0, 0)
bool IsNonZero(Vector3 v);
// out = Rz(angles.z) * Ry(angles.y) * Rx(angles.x) * v.
void RotateXYZ(Vector3 v, Vector3& out, Vector3 angles);
// A draw times 10 degrees, in radians: (draw * 10) * pi / 180 in double, with pi
// the float 3.1415927, rounded to float once. The effects' spin per frame.
float TenDegreeTurn(float draw);

Vector3 RotateX(Vector3 v, float a);
Vector3 RotateY(Vector3 v, float a);
Vector3 RotateZ(Vector3 v, float a);
Vector3 FromAngles(float elevation, float heading, float radius);
Vector3 CrossProduct(Vector3 a, Vector3 b);
float DotProduct(Vector3 a, Vector3 b);
