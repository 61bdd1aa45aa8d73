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
#pragma once

void EffectSetupGL();
bool EffectInit();
void EffectDraw();
void EffectFree();
