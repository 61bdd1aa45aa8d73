// The model of amber's plasma generator, written step by step from the rules:
// randomised midpoint subdivision on a wrapping grid, hole filling, smoothing
// passes and normalisation. It shares no code with effects/amber/plasma and
// draws from its own random stream.
//
// Choices the rules leave free, pinned here once:
// - the grid arithmetic is float, one operation at a time in the order the
//   rules write it (area = |S * 0.5|, share = area / (W * H), the amplitude
//   3 * float(sqrt(share)) * 256);
// - a field whose cells all end with one value normalises to `low` everywhere;
// - an empty grid or a null base is refused: false, nothing written.
#pragma once

#include "tests/reference/gl_calls.h"
#include "tests/reference/random_model.h"

namespace model {

// `holesFilled`, when given, counts the cells that hole filling had to fill: a
// test can tell that its grid still leaves the hole it is about.
bool Plasma(RandomStream& stream, float* base, float low, float high, int width, int height, int strideBytes,
            int passes, int* holesFilled = nullptr);

// One subdivision step, with its recursion, of the quadrilateral corners[0] ->
// corners[1] -> corners[2] -> corners[3] (x, y each) on a grid set as the caller
// left it.
void PlasmaStep(RandomStream& stream, float* base, int width, int height, int strideBytes, const int corners[4][2]);

// amber's texel array: four layers, red, green, blue, alpha, each 256 x 256 with
// values in [0, 1] and one smoothing pass, drawn one after another.
constexpr int kTextureSize = 256;
void PlasmaTexels(RandomStream& stream, float* texels);  // 256 * 256 * 4 floats

// The GL calls of amber's EffectSetupGL after the texels; `name` is the texture
// name GL hands out.
void PlasmaTextureCalls(GlCalls& calls, double name);

}  // namespace model
