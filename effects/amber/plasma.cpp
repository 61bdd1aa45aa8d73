#include "effects/amber/plasma.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

#include "toolkit/random.h"

namespace amber {

namespace {

// The grid being generated: set by BindPlasmaGrid, read by every accessor.
struct PlasmaGrid {
    unsigned char* base = nullptr;
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;    // bytes from a cell to the next one in its row
    std::ptrdiff_t rowBytes = 0;  // bytes from a cell to the one below it
};

PlasmaGrid grid;

// Weight of a neighbour at offset (dx, dy): exp(-(dx^2 + dy^2)) rounded to float.
float neighbourWeight[3][3];
// The nine weights added in neighbourhood order: the divisor of every smoothed cell.
float fullWeightSum;

constexpr float kUnset = -std::numeric_limits<float>::infinity();

inline int Wrap(int index, int size) {
    if (static_cast<unsigned>(index) < static_cast<unsigned>(size)) return index;
    int wrapped = index % size;
    return wrapped < 0 ? wrapped + size : wrapped;
}

inline float* CellInRange(int x, int y) {
    return reinterpret_cast<float*>(grid.base + y * grid.rowBytes + x * grid.stride);
}

inline float* Cell(int x, int y) { return CellInRange(Wrap(x, grid.width), Wrap(y, grid.height)); }

// An unset cell, tested without a branch: -infinity has exactly one bit pattern.
inline bool IsUnset(const float* cell) {
    std::uint32_t bits;
    std::memcpy(&bits, cell, sizeof bits);
    return bits == 0xff800000u;
}

void ComputeWeights() {
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            neighbourWeight[dx + 1][dy + 1] = static_cast<float>(std::exp(-static_cast<double>(dx * dx + dy * dy)));
    fullWeightSum = 0.0f;
    for (int k = 0; k < 9; ++k) fullWeightSum += neighbourWeight[k / 3][k % 3];
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
    return (*Cell(p0.x, p0.y) + *Cell(p1.x, p1.y) + *Cell(p2.x, p2.y) + *Cell(p3.x, p3.y)) / 4.0f;
}

// Displacement of a quadrilateral's midpoints: 3 * sqrt(its share of the grid) * 256.
float DisplacementAmplitude(float area) {
    float share = area / static_cast<float>(grid.width * grid.height);
    return 3.0f * static_cast<float>(std::sqrt(static_cast<double>(share))) * 256.0f;
}

PlasmaPoint Midpoint(PlasmaPoint from, PlasmaPoint to) {
    return {from.x + (to.x - from.x) / 2, from.y + (to.y - from.y) / 2};
}

// Random draws of one subdivision step: the jitter u and v, then four displacements.
constexpr int kStepDraws = 6;

// True for a step that ends the recursion and writes nothing: a quadrilateral whose
// corners span at most one column and one row (so its area is at most 1), the up
// to four cells they span all set. Its midpoints are its corners and its centre
// lies among those cells.
inline bool IsSilentLeaf(PlasmaPoint p0, PlasmaPoint p1, PlasmaPoint p2, PlasmaPoint p3) {
    int left = std::min(std::min(p0.x, p1.x), std::min(p2.x, p3.x));
    int right = std::max(std::max(p0.x, p1.x), std::max(p2.x, p3.x));
    int top = std::min(std::min(p0.y, p1.y), std::min(p2.y, p3.y));
    int bottom = std::max(std::max(p0.y, p1.y), std::max(p2.y, p3.y));
    if ((right - left > 1) | (bottom - top > 1)) return false;
    return !(IsUnset(Cell(left, top)) | IsUnset(Cell(right, top)) | IsUnset(Cell(left, bottom)) |
             IsUnset(Cell(right, bottom)));
}

// Writes the value into an unset cell; a set cell keeps its value.
inline void SetIfUnset(float* cell, float value) { *cell = IsUnset(cell) ? value : *cell; }

void SetAll(float value) {
    for (int y = 0; y < grid.height; ++y)
        for (int x = 0; x < grid.width; ++x) *CellInRange(x, y) = value;
}

inline float Value(const unsigned char* cell, std::ptrdiff_t offset) {
    return *reinterpret_cast<const float*>(cell + offset);
}

// Each unset cell takes the weighted mean of its set neighbours (3x3, indices
// wrapping, column x-1 to x+1 outer, row y-1 to y+1 inner). Works in place, row by
// row, so every cell after (0, 0) has a set neighbour by the time it is visited.
// The subdivision seldom leaves a hole, so only the scan for them needs to be quick.
void FillHoles() {
    for (int y = 0; y < grid.height; ++y) {
        for (int x = 0; x < grid.width; ++x) {
            if (!IsUnset(CellInRange(x, y))) continue;
            float weightSum = 0.0f;
            float valueSum = 0.0f;
            for (int dx = -1; dx <= 1; ++dx) {
                for (int dy = -1; dy <= 1; ++dy) {
                    float value = *Cell(x + dx, y + dy);
                    if (value == kUnset) continue;
                    float weight = neighbourWeight[dx + 1][dy + 1];
                    weightSum += weight;
                    valueSum += value * weight;
                }
            }
            if (weightSum != 0.0f) *CellInRange(x, y) = valueSum / weightSum;
        }
    }
}

// Smoothing of a cell on the border: the weighted mean of its whole 3x3 neighbourhood,
// itself included, indices wrapping, summed in the order of hole filling.
void SmoothBorderCell(int x, int y) {
    float valueSum = 0.0f;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) valueSum += *Cell(x + dx, y + dy) * neighbourWeight[dx + 1][dy + 1];
    *Cell(x, y) = valueSum / fullWeightSum;
}

// The same for a cell off the border (0 < x < width - 1, 0 < y < height - 1), whose
// neighbours are fixed offsets away; written out in that order.
inline void SmoothInteriorCell(unsigned char* cell) {
    const std::ptrdiff_t s = grid.stride, r = grid.rowBytes;
    const float(&w)[3][3] = neighbourWeight;
    float valueSum = 0.0f;
    valueSum += Value(cell, -s - r) * w[0][0];
    valueSum += Value(cell, -s) * w[0][1];
    valueSum += Value(cell, -s + r) * w[0][2];
    valueSum += Value(cell, -r) * w[1][0];
    valueSum += Value(cell, 0) * w[1][1];
    valueSum += Value(cell, r) * w[1][2];
    valueSum += Value(cell, s - r) * w[2][0];
    valueSum += Value(cell, s) * w[2][1];
    valueSum += Value(cell, s + r) * w[2][2];
    *reinterpret_cast<float*>(cell) = valueSum / fullWeightSum;
}

// One row of a smoothing pass: the two border columns wrap, the cells between do not.
void SmoothRow(int y, bool columnsUp) {
    const int last = grid.width - 1;
    if (y == 0 || y == grid.height - 1 || last < 2) {
        for (int c = 0; c <= last; ++c) SmoothBorderCell(columnsUp ? c : last - c, y);
        return;
    }
    SmoothBorderCell(columnsUp ? 0 : last, y);
    const std::ptrdiff_t step = columnsUp ? grid.stride : -grid.stride;
    unsigned char* cell = reinterpret_cast<unsigned char*>(CellInRange(columnsUp ? 1 : last - 1, y));
    for (int c = 1; c < last; ++c, cell += step) SmoothInteriorCell(cell);
    SmoothBorderCell(columnsUp ? last : 0, y);
}

// One in-place pass; the row order and each row's column order are random.
void SmoothPass() {
    bool rowsUp = RandBit() == 1;
    for (int r = 0; r < grid.height; ++r) {
        int y = rowsUp ? r : grid.height - 1 - r;
        SmoothRow(y, RandBit() == 1);
    }
}

// A field of one value has no range to stretch: every cell becomes low.
void Normalise(float low, float high) {
    float minimum = std::numeric_limits<float>::infinity();
    float maximum = -std::numeric_limits<float>::infinity();
    for (int y = 0; y < grid.height; ++y) {
        for (int x = 0; x < grid.width; ++x) {
            float value = *CellInRange(x, y);
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
            float* cell = CellInRange(x, y);
            *cell = low + (high - low) * ((*cell - minimum) / (maximum - minimum));
        }
    }
}

void Subdivide(PlasmaPoint p0, PlasmaPoint p1, PlasmaPoint p2, PlasmaPoint p3);

// Runs the step on a child quadrilateral unless it is a silent leaf, whose draws
// are added to the ones still to skip; returns the draws still to skip.
int SubdivideChild(int skipped, PlasmaPoint p0, PlasmaPoint p1, PlasmaPoint p2, PlasmaPoint p3) {
    if (IsSilentLeaf(p0, p1, p2, p3)) return skipped + kStepDraws;
    if (skipped > 0) SkipRandom(skipped);
    Subdivide(p0, p1, p2, p3);
    return 0;
}

// One subdivision step on a quadrilateral that is not a silent leaf.
void Subdivide(PlasmaPoint p0, PlasmaPoint p1, PlasmaPoint p2, PlasmaPoint p3) {
    PlasmaPoint m01 = Midpoint(p0, p1);
    PlasmaPoint m32 = Midpoint(p3, p2);
    PlasmaPoint m12 = Midpoint(p1, p2);
    PlasmaPoint m03 = Midpoint(p0, p3);

    // The step's draws: the jitter u and v, then the displacements of M01, M03, M32
    // and M12, taken also for a midpoint whose cell is already set.
    float draws[kStepDraws];
    RandSignedSeries(draws, kStepDraws);
    float u = draws[0] * 0.25f + 0.5f;
    float v = draws[1] * 0.25f + 0.5f;
    float ax = static_cast<float>(p0.x) + u * static_cast<float>(p1.x - p0.x);
    float ay = static_cast<float>(p0.y) + u * static_cast<float>(p1.y - p0.y);
    float bx = static_cast<float>(p3.x) + u * static_cast<float>(p2.x - p3.x);
    float by = static_cast<float>(p3.y) + u * static_cast<float>(p2.y - p3.y);
    PlasmaPoint centre = {static_cast<int>(ax + v * (bx - ax)), static_cast<int>(ay + v * (by - ay))};

    // Only unset cells are written; most steps write nothing.
    float* targets[5] = {Cell(centre.x, centre.y), Cell(m01.x, m01.y), Cell(m03.x, m03.y), Cell(m32.x, m32.y),
                         Cell(m12.x, m12.y)};
    bool writes =
        IsUnset(targets[0]) | IsUnset(targets[1]) | IsUnset(targets[2]) | IsUnset(targets[3]) | IsUnset(targets[4]);
    float area = QuadArea(p0, p1, p2, p3);
    if (writes) {
        // The corners are set before a step and only unset cells are written, so the
        // average and the amplitude of DisplacedAverage hold for the whole step.
        float average = CornerAverage(p0, p1, p2, p3);
        float amplitude = DisplacementAmplitude(area);
        SetIfUnset(targets[0], average);
        for (int m = 1; m < 5; ++m) SetIfUnset(targets[m], average + draws[m + 1] * amplitude);
    }

    if (area <= 1.0f) return;
    int skipped = SubdivideChild(0, p0, m01, centre, m03);
    skipped = SubdivideChild(skipped, m01, p1, m12, centre);
    skipped = SubdivideChild(skipped, m03, centre, m32, p3);
    skipped = SubdivideChild(skipped, centre, m12, p2, m32);
    if (skipped > 0) SkipRandom(skipped);
}

}  // namespace

void BindPlasmaGrid(float* base, int width, int height, int stride) {
    grid.base = reinterpret_cast<unsigned char*>(base);
    grid.width = width;
    grid.height = height;
    grid.stride = stride;
    grid.rowBytes = static_cast<std::ptrdiff_t>(width) * stride;
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
    if (IsSilentLeaf(p0, p1, p2, p3)) {
        SkipRandom(kStepDraws);
    } else {
        Subdivide(p0, p1, p2, p3);
    }
}

bool GeneratePlasma(float* base, float low, float high, int width, int height, int stride, int passes) {
    if (base == nullptr || width < 1 || height < 1) return false;
    BindPlasmaGrid(base, width, height, stride);
    ComputeWeights();
    SetAll(kUnset);

    int hw = width / 2;
    int hh = height / 2;
    SetIfUnset(Cell(0, 0), RandUnit() * 256.0f);
    SetIfUnset(Cell(hw, 0), RandUnit() * 256.0f);
    SetIfUnset(Cell(0, hh), RandUnit() * 256.0f);
    SetIfUnset(Cell(hw, hh), RandUnit() * 256.0f);

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

}  // namespace amber
