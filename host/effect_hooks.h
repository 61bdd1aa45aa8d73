// The contract between the GL host and the one effect linked into a deliverable.
// All four run on the window's thread with the rendering context current:
//   EffectSetupGL  once per GL start-up, after the first projection: textures and
//                  GL state that last the whole run
//   EffectInit     once per start-up, after EffectSetupGL: allocate and seed the
//                  effect's state; false when that fails
//   EffectDraw     once per frame, after the clear and the model-view reset:
//                  advance one fixed step and draw
//   EffectFree     first step of the GL shutdown: release what EffectInit made;
//                  safe after a failed or repeated start-up
//
// GL state: the host's fade overlay saves and restores every attribute it
// changes and draws with the 2D texture that is bound when it runs. An effect
// may leave exactly that behind for it: the texture it binds in EffectSetupGL
// (amber's plasma) stays bound for the whole run. Blending, texturing and
// texture generation are the overlay's own to set; the effect sets what it
// draws with in EffectInit or EffectDraw.
#pragma once

void EffectSetupGL();
bool EffectInit();
void EffectDraw();
void EffectFree();
