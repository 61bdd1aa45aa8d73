#include "tests/reference/vector_model.h"

#include <cmath>

namespace model {

namespace {

float Root(float x) { return static_cast<float>(std::sqrt(static_cast<double>(x))); }
float Sine(float a) { return static_cast<float>(std::sin(static_cast<double>(a))); }
float Cosine(float a) { return static_cast<float>(std::cos(static_cast<double>(a))); }

}  // namespace

Vec MakeVec(float x, float y, float z) {
    Vec v;
    v.x = x;
    v.y = y;
    v.z = z;
    return v;
}

float LengthOf(Vec v) {
    const float xx = v.x * v.x;
    const float yy = v.y * v.y;
    const float zz = v.z * v.z;
    const float firstTwo = xx + yy;
    return Root(firstTwo + zz);
}

void ScaleInPlace(Vec& v, float s) {
    v.x = v.x * s;
    v.y = v.y * s;
    v.z = v.z * s;
}

void NormalizeInPlace(Vec& v) {
    const float len = LengthOf(v);
    if (len == 0.0f) return;
    const float r = 1.0f / len;
    ScaleInPlace(v, r);
}

Vec NormalizedCopy(Vec v) {
    const float len = LengthOf(v);
    if (len == 0.0f) return Same(0.0f);
    return Over(v, len);
}

void CrossInto(Vec& out, Vec a, Vec b) {
    out.x = a.y * b.z - a.z * b.y;
    out.y = a.z * b.x - a.x * b.z;
    out.z = a.x * b.y - a.y * b.x;
}

Vec Sum(Vec a, Vec b) { return MakeVec(a.x + b.x, a.y + b.y, a.z + b.z); }
Vec Difference(Vec a, Vec b) { return MakeVec(a.x - b.x, a.y - b.y, a.z - b.z); }
Vec Negated(Vec v) { return MakeVec(-v.x, -v.y, -v.z); }
Vec Times(Vec v, float s) { return MakeVec(v.x * s, v.y * s, v.z * s); }
Vec Over(Vec v, float s) { return MakeVec(v.x / s, v.y / s, v.z / s); }
Vec Same(float s) { return MakeVec(s, s, s); }

bool AnyNonZero(Vec v) { return v.x != 0.0f || v.y != 0.0f || v.z != 0.0f; }

void RotateByAngles(Vec v, Vec& out, Vec angles) {
    const float sx = Sine(angles.x);
    const float cx = Cosine(angles.x);
    const float sy = Sine(angles.y);
    const float cy = Cosine(angles.y);
    const float sz = Sine(angles.z);
    const float cz = Cosine(angles.z);
    const float y1 = v.y * cx - v.z * sx;
    const float z1 = v.y * sx + v.z * cx;
    const float x2 = v.x * cy + z1 * sy;
    const float z2 = z1 * cy - v.x * sy;
    const float x3 = x2 * cz - y1 * sz;
    const float y3 = x2 * sz + y1 * cz;
    out = MakeVec(x3, y3, z2);
}

Vec TurnX(Vec v, float a) {
    const float s = Sine(a);
    const float c = Cosine(a);
    return MakeVec(v.x, v.y * c - v.z * s, v.y * s + v.z * c);
}

Vec TurnY(Vec v, float a) {
    const float s = Sine(a);
    const float c = Cosine(a);
    return MakeVec(v.x * c + v.z * s, v.y, v.z * c - v.x * s);
}

Vec TurnZ(Vec v, float a) {
    const float s = Sine(a);
    const float c = Cosine(a);
    return MakeVec(v.x * c - v.y * s, v.x * s + v.y * c, v.z);
}

Vec FromElevationHeading(float p, float q, float r) {
    const float minusR = -r;
    return MakeVec(minusR * Cosine(p) * Sine(q), r * Sine(p), r * Cosine(p) * Cosine(q));
}

Vec Cross(Vec a, Vec b) {
    Vec out;
    CrossInto(out, a, b);
    return out;
}

float Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

}  // namespace model
