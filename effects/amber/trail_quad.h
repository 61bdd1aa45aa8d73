// amber's trail segment.
#pragma once

#include "effects/trail/trail.h"

namespace amber {

// One GL_QUADS primitive: the outer edge runs between the two particles in their
// colours, the inner edge (the outer one scaled by 0.75 about the origin) is fully
// transparent.
void DrawTrailQuad(const trail::TrailParticle& newer, const trail::TrailParticle& older);

}  // namespace amber
