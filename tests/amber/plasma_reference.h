// The plasma generator written the plain way: every read and write of a cell goes
// through the wrapping accessors. The tests hold the fast generator to it bit for
// bit, and the plasma benchmark times it beside the fast one.
#pragma once

namespace plasma_reference {

struct PlasmaPoint {
    int x;
    int y;
};

// Same contract, random draws and result as ::GeneratePlasma; its own grid state.
bool GeneratePlasma(float* base, float low, float high, int width, int height, int stride, int passes);
void BindPlasmaGrid(float* base, int width, int height, int stride);
float PlasmaGet(int x, int y);
bool PlasmaSet(int x, int y, float value, bool onlyIfUnset);
float DisplacedAverage(PlasmaPoint p0, PlasmaPoint p1, PlasmaPoint p2, PlasmaPoint p3);
void SubdividePlasmaQuad(PlasmaPoint p0, PlasmaPoint p1, PlasmaPoint p2, PlasmaPoint p3);

}  // namespace plasma_reference
