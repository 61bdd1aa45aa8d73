// One frame of the trail engine, as amber and jade draw it.
#pragma once

namespace trail {

// Moves the emitter, turns the points, looks from settings.eyePosition (the
// model-view transform is reset first), moves, ages and draws every slot, then
// emits one particle per point; those are first drawn in the next frame.
void DrawTrailFrame();

}  // namespace trail
