// jade's effect hooks: amber's trail engine with 25 points on a wider path, seen
// from (0, 0, 42), each pair of particles joined by one additive line. The host's
// black fade overlay does the rest; jade has no texture.
#include "effects/jade/trail_line.h"
#include "effects/trail/trail.h"
#include "effects/trail/trail_frame.h"
#include "host/effect_hooks.h"
#include "platform/gl.h"

namespace jade {
namespace {

const Vector3 EyePosition(0.0f, 0.0f, 42.0f);

// No normals: jade's particles carry none (see trail::TrailParticle).
const trail::TrailSettings jadeTrail = {25, 50.0f, EyePosition, false, DrawTrailLine};

}  // namespace
}  // namespace jade

void EffectSetupGL() {}

// A ring that cannot be allocated is handled as in amber: the engine reports it and
// ends the program through the message loop, and no frame touches the ring.
bool EffectInit() {
    if (!trail::InitPoints(jade::jadeTrail)) return false;
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    return true;
}

void EffectDraw() { trail::DrawTrailFrame(); }

void EffectFree() { trail::FreeTrail(); }
