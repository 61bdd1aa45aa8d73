// jade's trail segment.
#pragma once

#include "effects/amber/trail.h"

// One GL_LINES segment from the newer to the older particle, each end in its
// particle's colour and fade; no normal, no texture coordinate.
void DrawTrailLine(const TrailParticle& newer, const TrailParticle& older);
