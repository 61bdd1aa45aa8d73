// --fps: the frame rate in the lower-left corner, drawn with the X core font
// through GL 1.1 display lists (glXUseXFont) just before each buffer swap. The
// pixels under it are read before it is drawn and put back into the back buffer
// after the swap, so the picture the effect builds on is exactly its own; every
// GL state touched is saved and restored.
#pragma once

namespace plat {

void EnableFpsOverlay();
// Around glXSwapBuffers, with the window's context current. Nothing when off.
void DrawFpsOverlay();
void RestoreUnderFpsOverlay();

}  // namespace plat
