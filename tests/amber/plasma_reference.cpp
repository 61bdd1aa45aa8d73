// Today's generator kept as it was written: every read and write wraps.
#include "tests/amber/plasma_reference.h"

#include <cmath>
#include <cstddef>
#include <limits>

#include "toolkit/random.h"

namespace plasma_reference {

namespace {

// The grid being generated: set by BindPlasmaGrid, read by every accessor.
struct PlasmaGrid {
    unsigned char* base = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

PlasmaGrid grid;

// Weight of a neighbour at offset (dx, dy): exp(-(dx^2 + dy^2)) rounded to float.
float neighbourWeight[3][3];

constexpr float kUnset = -std::numeric_limits<float>::infinity();

int Wrap(int index, int size) {
    if (static_cast<unsigned>(index) < static_cast<unsigned>(size)) return index;
    int wrapped = index % size;
    return wrapped < 0 ? wrapped + size : wrapped;
}

float* Cell(int x, int y) {
    std::ptrdiff_t offset = (static_cast<std::ptrdiff_t>(Wrap(y, grid.height)) * grid.width + Wrap(x, grid.width)) *
                            static_cast<std::ptrdiff_t>(grid.stride);
    return reinterpret_cast<float*>(grid.base + offset);
}

void ComputeWeights() {
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            neighbourWeight[dx + 1][dy + 1] = static_cast<float>(std::exp(-static_cast<double>(dx * dx + dy * dy)));
}

// Twice the signed area of the quadrilateral (shoelace sum).
int ShoelaceSum(PlasmaPoint p0, PlasmaPoint p1, PlasmaPoint p2, PlasmaPoint p3) {
    return p0.x * p1.y - p1.x * p0.y + p1.x * p2.y - p2.x * p1.y + p2.x * p3.y - p3.x * p2.y + p3.x * p0.y -
           p0.x * p3.y;
}

float QuadArea(PlasmaPoint p0, PlasmaPoint p1, PlasmaPoint p2, PlasmaPoint p3) {
    return std::fabs(static_cast<float>(ShoelaceSum(p0, p1, p2, p3)) * 0.5f);
}

float CornerAverage(PlasmaPoint p0, PlasmaPoint p1, PlasmaPoint p2, PlasmaPoint p3) {
    return (PlasmaGet(p0.x, p0.y) + PlasmaGet(p1.x, p1.y) + PlasmaGet(p2.x, p2.y) + PlasmaGet(p3.x, p3.y)) / 4.0f;
}

// Displacement of a quadrilateral's midpoints: 3 * sqrt(its share of the grid) * 256.
float DisplacementAmplitude(float area) {
    float share = area / static_cast<float>(grid.width * grid.height);
    return 3.0f * static_cast<float>(std::sqrt(static_cast<double>(share))) * 256.0f;
}

PlasmaPoint Midpoint(PlasmaPoint from, PlasmaPoint to) {
    return {from.x + (to.x - from.x) / 2, from.y + (to.y - from.y) / 2};
}

void SetAll(float value) {
    for (int y = 0; y < grid.height; ++y)
        for (int x = 0; x < grid.width; ++x) *Cell(x, y) = value;
}

// Each unset cell takes the weighted mean of its set neighbours. Works in place, row
// by row, so every cell after (0, 0) has a set neighbour by the time it is visited.
void FillHoles() {
    for (int y = 0; y < grid.height; ++y) {
        for (int x = 0; x < grid.width; ++x) {
            if (PlasmaGet(x, y) != kUnset) continue;
            float weightSum = 0.0f;
            float valueSum = 0.0f;
            for (int dx = -1; dx <= 1; ++dx) {
                for (int dy = -1; dy <= 1; ++dy) {
                    float value = PlasmaGet(x + dx, y + dy);
                    if (value == kUnset) continue;
                    float weight = neighbourWeight[dx + 1][dy + 1];
                    weightSum += weight;
                    valueSum += value * weight;
                }
            }
            if (weightSum != 0.0f) PlasmaSet(x, y, valueSum / weightSum, false);
        }
    }
}

void SmoothCell(int x, int y) {
    float weightSum = 0.0f;
    float valueSum = 0.0f;
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            float weight = neighbourWeight[dx + 1][dy + 1];
            weightSum += weight;
            valueSum += PlasmaGet(x + dx, y + dy) * weight;
        }
    }
    PlasmaSet(x, y, valueSum / weightSum, false);
}

// One in-place pass; the row order and each row's column order are random.
void SmoothPass() {
    bool rowsUp = RandBit() == 1;
    for (int r = 0; r < grid.height; ++r) {
        int y = rowsUp ? r : grid.height - 1 - r;
        bool columnsUp = RandBit() == 1;
        for (int c = 0; c < grid.width; ++c) SmoothCell(columnsUp ? c : grid.width - 1 - c, y);
    }
}

// A field of one value has no range to stretch: every cell becomes low.
void Normalise(float low, float high) {
    float minimum = std::numeric_limits<float>::infinity();
    float maximum = -std::numeric_limits<float>::infinity();
    for (int y = 0; y < grid.height; ++y) {
        for (int x = 0; x < grid.width; ++x) {
            float value = *Cell(x, y);
            if (value < minimum) minimum = value;
            if (value > maximum) maximum = value;
        }
    }
    if (!(maximum > minimum)) {
        SetAll(low);
        return;
    }
    for (int y = 0; y < grid.height; ++y) {
        for (int x = 0; x < grid.width; ++x) {
            float* cell = Cell(x, y);
            *cell = low + (high - low) * ((*cell - minimum) / (maximum - minimum));
        }
    }
}

}  // namespace

void BindPlasmaGrid(float* base, int width, int height, int stride) {
    grid.base = reinterpret_cast<unsigned char*>(base);
    grid.width = width;
    grid.height = height;
    grid.stride = stride;
}

float PlasmaGet(int x, int y) { return *Cell(x, y); }

bool PlasmaSet(int x, int y, float value, bool onlyIfUnset) {
    float* cell = Cell(x, y);
    if (onlyIfUnset && *cell != kUnset) return false;
    *cell = value;
    return true;
}

float DisplacedAverage(PlasmaPoint p0, PlasmaPoint p1, PlasmaPoint p2, PlasmaPoint p3) {
    return CornerAverage(p0, p1, p2, p3) + RandSigned() * DisplacementAmplitude(QuadArea(p0, p1, p2, p3));
}

void SubdividePlasmaQuad(PlasmaPoint p0, PlasmaPoint p1, PlasmaPoint p2, PlasmaPoint p3) {
    PlasmaPoint m01 = Midpoint(p0, p1);
    PlasmaPoint m32 = Midpoint(p3, p2);
    PlasmaPoint m12 = Midpoint(p1, p2);
    PlasmaPoint m03 = Midpoint(p0, p3);

    float u = RandSigned() * 0.25f + 0.5f;
    float v = RandSigned() * 0.25f + 0.5f;
    float ax = static_cast<float>(p0.x) + u * static_cast<float>(p1.x - p0.x);
    float ay = static_cast<float>(p0.y) + u * static_cast<float>(p1.y - p0.y);
    float bx = static_cast<float>(p3.x) + u * static_cast<float>(p2.x - p3.x);
    float by = static_cast<float>(p3.y) + u * static_cast<float>(p2.y - p3.y);
    PlasmaPoint centre = {static_cast<int>(ax + v * (bx - ax)), static_cast<int>(ay + v * (by - ay))};

    // The corners are set before a step and only unset cells are written, so the
    // average and the amplitude of DisplacedAverage hold for the whole step.
    float average = CornerAverage(p0, p1, p2, p3);
    float area = QuadArea(p0, p1, p2, p3);
    float amplitude = DisplacementAmplitude(area);
    PlasmaSet(centre.x, centre.y, average, true);
    // Every midpoint draws its displacement, also when its cell is already set.
    PlasmaSet(m01.x, m01.y, average + RandSigned() * amplitude, true);
    PlasmaSet(m03.x, m03.y, average + RandSigned() * amplitude, true);
    PlasmaSet(m32.x, m32.y, average + RandSigned() * amplitude, true);
    PlasmaSet(m12.x, m12.y, average + RandSigned() * amplitude, true);

    if (area <= 1.0f) return;
    SubdividePlasmaQuad(p0, m01, centre, m03);
    SubdividePlasmaQuad(m01, p1, m12, centre);
    SubdividePlasmaQuad(m03, centre, m32, p3);
    SubdividePlasmaQuad(centre, m12, p2, m32);
}

bool GeneratePlasma(float* base, float low, float high, int width, int height, int stride, int passes) {
    if (base == nullptr || width < 1 || height < 1) return false;
    BindPlasmaGrid(base, width, height, stride);
    ComputeWeights();
    SetAll(kUnset);

    int hw = width / 2;
    int hh = height / 2;
    PlasmaSet(0, 0, RandUnit() * 256.0f, true);
    PlasmaSet(hw, 0, RandUnit() * 256.0f, true);
    PlasmaSet(0, hh, RandUnit() * 256.0f, true);
    PlasmaSet(hw, hh, RandUnit() * 256.0f, true);

    // Coordinates width and height wrap to 0: the pattern tiles without a seam.
    SubdividePlasmaQuad({0, 0}, {hw, 0}, {hw, hh}, {0, hh});
    SubdividePlasmaQuad({hw, 0}, {width, 0}, {width, hh}, {hw, hh});
    SubdividePlasmaQuad({0, hh}, {hw, hh}, {hw, height}, {0, height});
    SubdividePlasmaQuad({hw, hh}, {width, hh}, {width, height}, {hw, height});

    FillHoles();
    for (int pass = 0; pass < passes; ++pass) SmoothPass();
    Normalise(low, high);
    return true;
}

}  // namespace plasma_reference
