// Wrapping plasma heightfield: randomised midpoint subdivision of quadrilaterals on
// a grid whose indices wrap at both edges, then hole filling, smoothing passes and
// normalisation to [low, high]. The grid lives in the caller's memory with any
// stride, so several grids can share one texel array (one per colour channel).
// One grid at a time: the module keeps the grid being generated, so generation
// is not re-entrant.
#pragma once

namespace amber {

struct PlasmaPoint {
    int x;
    int y;
};

// Fills a width x height grid of floats, cell (x, y) at base + (y*width + x)*stride
// bytes, with a pattern that tiles seamlessly and spans exactly [low, high].
// Draws from the shared random source. False (and nothing written) only for an
// empty grid or a null base.
bool GeneratePlasma(float* base, float low, float high, int width, int height, int stride, int passes);

// Makes a grid current without generating: the first step of GeneratePlasma.
void BindPlasmaGrid(float* base, int width, int height, int stride);

// Cell access through wrapped indices: -1 is the last column (row), width (height)
// is column (row) 0, and indices any number of widths out of range wrap as well.
float PlasmaGet(int x, int y);
// Writes and returns true; with onlyIfUnset, a cell that is not -infinity is left
// alone and the result is false.
bool PlasmaSet(int x, int y, float value, bool onlyIfUnset);

// Average of the quadrilateral's four corner values plus one random displacement
// whose amplitude falls with the square root of its share of the grid.
float DisplacedAverage(PlasmaPoint p0, PlasmaPoint p1, PlasmaPoint p2, PlasmaPoint p3);
// One recursive subdivision step of the quadrilateral p0 -> p1 -> p2 -> p3.
void SubdividePlasmaQuad(PlasmaPoint p0, PlasmaPoint p1, PlasmaPoint p2, PlasmaPoint p3);

}  // namespace amber
