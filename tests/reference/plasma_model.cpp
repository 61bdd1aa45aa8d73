#include "tests/reference/plasma_model.h"

#include <cmath>
#include <limits>

namespace model {

namespace {

struct Point {
    int x, y;
};

// The grid being generated.
struct Grid {
    unsigned char* base;
    int w, h, stride;
    RandomStream* stream;
};

const float kMinusInfinity = -std::numeric_limits<float>::infinity();
const float kPlusInfinity = std::numeric_limits<float>::infinity();

float& CellAt(Grid& g, int x, int y) {
    while (x < 0) x += g.w;
    while (y < 0) y += g.h;
    x = x % g.w;
    y = y % g.h;
    return *reinterpret_cast<float*>(g.base + (static_cast<long long>(y) * g.w + x) * g.stride);
}

float Get(Grid& g, Point p) { return CellAt(g, p.x, p.y); }

bool Set(Grid& g, Point p, float value, bool onlyIfUnset) {
    float& cell = CellAt(g, p.x, p.y);
    if (onlyIfUnset && cell != kMinusInfinity) return false;
    cell = value;
    return true;
}

float Weight(int dx, int dy) { return static_cast<float>(std::exp(-static_cast<double>(dx * dx + dy * dy))); }

float Area(Point p0, Point p1, Point p2, Point p3) {
    const int s =
        p0.x * p1.y - p1.x * p0.y + p1.x * p2.y - p2.x * p1.y + p2.x * p3.y - p3.x * p2.y + p3.x * p0.y - p0.x * p3.y;
    const float half = static_cast<float>(s) * 0.5f;
    return half < 0.0f ? -half : half;
}

float CornerMean(Grid& g, Point p0, Point p1, Point p2, Point p3) {
    float sum = Get(g, p0);
    sum = sum + Get(g, p1);
    sum = sum + Get(g, p2);
    sum = sum + Get(g, p3);
    return sum / 4.0f;
}

float DisplacedMean(Grid& g, Point p0, Point p1, Point p2, Point p3) {
    const float area = Area(p0, p1, p2, p3);
    const float share = area / static_cast<float>(g.w * g.h);
    const float root = static_cast<float>(std::sqrt(static_cast<double>(share)));
    const float amplitude = 3.0f * root * 256.0f;
    const float mean = CornerMean(g, p0, p1, p2, p3);
    const float draw = DrawSigned(*g.stream);
    return mean + draw * amplitude;
}

Point Halfway(Point from, Point to) { return {from.x + (to.x - from.x) / 2, from.y + (to.y - from.y) / 2}; }

void Subdivide(Grid& g, Point p0, Point p1, Point p2, Point p3) {
    const Point m01 = Halfway(p0, p1);
    const Point m32 = Halfway(p3, p2);
    const Point m12 = Halfway(p1, p2);
    const Point m03 = Halfway(p0, p3);

    const float u = DrawSigned(*g.stream) * 0.25f + 0.5f;
    const float v = DrawSigned(*g.stream) * 0.25f + 0.5f;
    const float ax = static_cast<float>(p0.x) + u * static_cast<float>(p1.x - p0.x);
    const float ay = static_cast<float>(p0.y) + u * static_cast<float>(p1.y - p0.y);
    const float bx = static_cast<float>(p3.x) + u * static_cast<float>(p2.x - p3.x);
    const float by = static_cast<float>(p3.y) + u * static_cast<float>(p2.y - p3.y);
    const float cx = ax + v * (bx - ax);
    const float cy = ay + v * (by - ay);
    const Point c = {static_cast<int>(cx), static_cast<int>(cy)};

    Set(g, c, CornerMean(g, p0, p1, p2, p3), true);
    Set(g, m01, DisplacedMean(g, p0, p1, p2, p3), true);
    Set(g, m03, DisplacedMean(g, p0, p1, p2, p3), true);
    Set(g, m32, DisplacedMean(g, p0, p1, p2, p3), true);
    Set(g, m12, DisplacedMean(g, p0, p1, p2, p3), true);

    if (Area(p0, p1, p2, p3) <= 1.0f) return;
    Subdivide(g, p0, m01, c, m03);
    Subdivide(g, m01, p1, m12, c);
    Subdivide(g, m03, c, m32, p3);
    Subdivide(g, c, m12, p2, m32);
}

int FillHoles(Grid& g) {
    int holes = 0;
    for (int y = 0; y < g.h; ++y) {
        for (int x = 0; x < g.w; ++x) {
            if (Get(g, {x, y}) != kMinusInfinity) continue;
            ++holes;
            float weights = 0.0f;
            float weighted = 0.0f;
            for (int nx = x - 1; nx <= x + 1; ++nx) {
                for (int ny = y - 1; ny <= y + 1; ++ny) {
                    const float value = Get(g, {nx, ny});
                    if (value == kMinusInfinity) continue;
                    const float w = Weight(nx - x, ny - y);
                    weights = weights + w;
                    weighted = weighted + value * w;
                }
            }
            if (weights != 0.0f) Set(g, {x, y}, weighted / weights, false);
        }
    }
    return holes;
}

void SmoothCell(Grid& g, int x, int y) {
    float weights = 0.0f;
    float weighted = 0.0f;
    for (int nx = x - 1; nx <= x + 1; ++nx) {
        for (int ny = y - 1; ny <= y + 1; ++ny) {
            const float w = Weight(nx - x, ny - y);
            weights = weights + w;
            weighted = weighted + Get(g, {nx, ny}) * w;
        }
    }
    Set(g, {x, y}, weighted / weights, false);
}

void SmoothingPass(Grid& g) {
    const bool rowsAscending = DrawBit(*g.stream) == 1;
    for (int i = 0; i < g.h; ++i) {
        const int y = rowsAscending ? i : g.h - 1 - i;
        const bool columnsAscending = DrawBit(*g.stream) == 1;
        for (int j = 0; j < g.w; ++j) SmoothCell(g, columnsAscending ? j : g.w - 1 - j, y);
    }
}

void Normalise(Grid& g, float low, float high) {
    float lowest = kPlusInfinity;
    float highest = kMinusInfinity;
    for (int y = 0; y < g.h; ++y) {
        for (int x = 0; x < g.w; ++x) {
            const float value = Get(g, {x, y});
            if (value < lowest) lowest = value;
            if (value > highest) highest = value;
        }
    }
    for (int y = 0; y < g.h; ++y) {
        for (int x = 0; x < g.w; ++x) {
            float& cell = CellAt(g, x, y);
            if (highest == lowest) {
                cell = low;
                continue;
            }
            const float offset = cell - lowest;
            const float span = highest - lowest;
            const float fraction = offset / span;
            cell = low + (high - low) * fraction;
        }
    }
}

}  // namespace

bool Plasma(RandomStream& stream, float* base, float low, float high, int width, int height, int strideBytes,
            int passes, int* holesFilled) {
    if (base == nullptr || width < 1 || height < 1) return false;
    Grid g = {reinterpret_cast<unsigned char*>(base), width, height, strideBytes, &stream};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) Set(g, {x, y}, kMinusInfinity, false);

    const int hw = width / 2;
    const int hh = height / 2;
    const Point seeds[4] = {{0, 0}, {hw, 0}, {0, hh}, {hw, hh}};
    for (const Point& p : seeds) Set(g, p, DrawUnit(stream) * 256.0f, true);

    Subdivide(g, {0, 0}, {hw, 0}, {hw, hh}, {0, hh});
    Subdivide(g, {hw, 0}, {width, 0}, {width, hh}, {hw, hh});
    Subdivide(g, {0, hh}, {hw, hh}, {hw, height}, {0, height});
    Subdivide(g, {hw, hh}, {width, hh}, {width, height}, {hw, height});

    const int holes = FillHoles(g);
    if (holesFilled != nullptr) *holesFilled = holes;
    for (int pass = 0; pass < passes; ++pass) SmoothingPass(g);
    Normalise(g, low, high);
    return true;
}

void PlasmaStep(RandomStream& stream, float* base, int width, int height, int strideBytes, const int corners[4][2]) {
    Grid g = {reinterpret_cast<unsigned char*>(base), width, height, strideBytes, &stream};
    Subdivide(g, {corners[0][0], corners[0][1]}, {corners[1][0], corners[1][1]}, {corners[2][0], corners[2][1]},
              {corners[3][0], corners[3][1]});
}

void PlasmaTexels(RandomStream& stream, float* texels) {
    for (int channel = 0; channel < 4; ++channel)
        Plasma(stream, texels + channel, 0.0f, 1.0f, kTextureSize, kTextureSize, 4 * sizeof(float), 1);
}

void PlasmaTextureCalls(GlCalls& calls, double name) {
    Call(calls, "glEnable", kGlTexture2D);
    Call(calls, "glTexEnvf", kGlTextureEnv, kGlTextureEnvMode, kGlModulate);
    Call(calls, "glGenTextures", 1, name);
    Call(calls, "glBindTexture", kGlTexture2D, name);
    Call(calls, "glTexParameterf", kGlTexture2D, kGlTextureMinFilter, kGlLinear);
    Call(calls, "glTexParameterf", kGlTexture2D, kGlTextureMagFilter, kGlLinear);
    calls.Add({"glTexImage2D", 8, {kGlTexture2D, 0, 4, kTextureSize, kTextureSize, 0, kGlRgba, kGlFloat}});
    Call(calls, "glDisable", kGlTexture2D);
}

}  // namespace model
