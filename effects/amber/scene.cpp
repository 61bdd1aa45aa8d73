// amber's effect hooks: the plasma texture for the host's fade overlay, ten
// ribbon trails drawn as additive quads seen from (0, 20, 0).
#include "effects/amber/plasma_texture.h"
#include "effects/amber/trail_quad.h"
#include "effects/trail/trail.h"
#include "effects/trail/trail_frame.h"
#include "host/effect_hooks.h"
#include "platform/gl.h"

namespace amber {
namespace {

const Vector3 EyePosition(0.0f, 20.0f, 0.0f);

const trail::TrailSettings amberTrail = {10, 40.0f, EyePosition, true, DrawTrailQuad};

}  // namespace
}  // namespace amber

void EffectSetupGL() { amber::BuildPlasmaTexture(); }

bool EffectInit() {
    if (!trail::InitPoints(amber::amberTrail)) return false;
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    // Selected but never switched on.
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    return true;
}

void EffectDraw() { trail::DrawTrailFrame(); }

void EffectFree() { trail::FreeTrail(); }
