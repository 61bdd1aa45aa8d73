#include "toolkit/vector3.h"

#include <cmath>

float Vector3::Length() const {
    const float sum = (x * x + y * y) + z * z;
    return static_cast<float>(std::sqrt(static_cast<double>(sum)));
}

Vector3& Vector3::Scale(float s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
}

void Vector3::Normalize() {
    const float len = Length();
    if (len != 0.0f) {
        const float r = 1.0f / len;
        Scale(r);
    }
}

void Vector3::SetCross(Vector3 a, Vector3 b) {
    x = a.y * b.z - a.z * b.y;
    y = a.z * b.x - a.x * b.z;
    z = a.x * b.y - a.y * b.x;
}

Vector3 Splat(float s) { return Vector3(s, s, s); }
Vector3 Add(Vector3 a, Vector3 b) { return Vector3(a.x + b.x, a.y + b.y, a.z + b.z); }
Vector3 Subtract(Vector3 a, Vector3 b) { return Vector3(a.x - b.x, a.y - b.y, a.z - b.z); }
Vector3 Negate(Vector3 v) { return Vector3(-v.x, -v.y, -v.z); }
Vector3 Multiply(Vector3 v, float s) { return Vector3(v.x * s, v.y * s, v.z * s); }
Vector3 Divide(Vector3 v, float s) { return Vector3(v.x / s, v.y / s, v.z / s); }

Vector3 Normalized(Vector3 v) {
    const float len = v.Length();
    if (len != 0.0f) return Divide(v, len);
    return Splat(0.0f);
}

bool IsNonZero(Vector3 v) { return v.x != 0.0f || v.y != 0.0f || v.z != 0.0f; }

static float Sin(float a) { return static_cast<float>(std::sin(static_cast<double>(a))); }
static float Cos(float a) { return static_cast<float>(std::cos(static_cast<double>(a))); }

void RotateXYZ(Vector3 v, Vector3& out, Vector3 angles) {
    const float sx = Sin(angles.x), cx = Cos(angles.x);
    const float sy = Sin(angles.y), cy = Cos(angles.y);
    const float sz = Sin(angles.z), cz = Cos(angles.z);
    const float y1 = v.y * cx - v.z * sx;
    const float z1 = v.y * sx + v.z * cx;
    const float x2 = v.x * cy + z1 * sy;
    const float z2 = z1 * cy - v.x * sy;
    const float x3 = x2 * cz - y1 * sz;
    const float y3 = x2 * sz + y1 * cz;
    out = Vector3(x3, y3, z2);
}

Vector3 RotateX(Vector3 v, float a) {
    const float s = Sin(a), c = Cos(a);
    return Vector3(v.x, v.y * c - v.z * s, v.y * s + v.z * c);
}

Vector3 RotateY(Vector3 v, float a) {
    const float s = Sin(a), c = Cos(a);
    return Vector3(v.x * c + v.z * s, v.y, v.z * c - v.x * s);
}

Vector3 RotateZ(Vector3 v, float a) {
    const float s = Sin(a), c = Cos(a);
    return Vector3(v.x * c - v.y * s, v.x * s + v.y * c, v.z);
}

Vector3 FromAngles(float elevation, float heading, float radius) {
    const float sp = Sin(elevation), cp = Cos(elevation);
    const float sq = Sin(heading), cq = Cos(heading);
    return Vector3(-radius * cp * sq, radius * sp, radius * cp * cq);
}

Vector3 CrossProduct(Vector3 a, Vector3 b) {
    Vector3 r;
    r.SetCross(a, b);
    return r;
}

float DotProduct(Vector3 a, Vector3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

float TenDegreeTurn(float draw) { return static_cast<float>(static_cast<double>(draw) * 10.0 * 3.1415927f / 180.0); }
