// Screen coordinates over X: see screen.cpp.
#pragma once

namespace plat {

// Reads the monitors (RandR 1.5) once the display is open.
void ReadMonitorLayout();
// Root-window position of screen coordinate (0, 0): the primary monitor's corner.
int ScreenOriginX();
int ScreenOriginY();

}  // namespace plat
