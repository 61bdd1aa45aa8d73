#include "effects/amber/plasma_texture.h"

#include "effects/amber/plasma.h"
#include "platform/gl.h"

namespace amber {

float plasmaTexels[kPlasmaTextureSize * kPlasmaTextureSize * 4];

void GeneratePlasmaTexels() {
    constexpr int kTexelBytes = 4 * sizeof(float);
    for (int channel = 0; channel < 4; ++channel)
        GeneratePlasma(&plasmaTexels[channel], 0.0f, 1.0f, kPlasmaTextureSize, kPlasmaTextureSize, kTexelBytes, 1);
}

void BuildPlasmaTexture() {
    GeneratePlasmaTexels();
    glEnable(GL_TEXTURE_2D);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, kPlasmaTextureSize, kPlasmaTextureSize, 0, GL_RGBA, GL_FLOAT, plasmaTexels);
    // The texture stays bound for the host's fade overlay; its default repeat wrap
    // is seamless because the pattern tiles.
    glDisable(GL_TEXTURE_2D);
}

}  // namespace amber
