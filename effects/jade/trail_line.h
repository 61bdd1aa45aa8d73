// jade's trail segment.
#pragma once

#include "effects/trail/trail.h"

namespace jade {

// One GL_LINES segment from the newer to the older particle, each end in its
// particle's colour and fade; no normal, no texture coordinate.
void DrawTrailLine(const trail::TrailParticle& newer, const trail::TrailParticle& older);

}  // namespace jade
