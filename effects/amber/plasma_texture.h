// amber's only texture: four independent plasma layers in the red, green, blue and
// alpha channels of one 256 x 256 float texture, rebuilt at every GL start-up.
#pragma once

namespace amber {

constexpr int kPlasmaTextureSize = 256;

// The texel array: row after row, row 0 first, four floats (r, g, b, a) per texel.
// Fixed storage for the whole run.
extern float plasmaTexels[kPlasmaTextureSize * kPlasmaTextureSize * 4];

// Generates the four layers from the shared random stream into plasmaTexels.
void GeneratePlasmaTexels();
// Generates the texels, uploads them as a new texture with linear filtering and
// modulate mode, and leaves it bound with 2D texturing off.
void BuildPlasmaTexture();

}  // namespace amber
