// The monitors of an X screen seen as Win32 sees them: the primary monitor is
// the screen (SM_CXSCREEN, SM_CYSCREEN) with its top-left corner at (0, 0) of
// screen coordinates, and the virtual screen is the union of all monitors,
// whose left and top may be negative. Pure: the RandR query is in screen.cpp.
#pragma once

namespace plat {

struct MonitorRect {
    int x, y, width, height;  // in root-window pixels
    bool primary;
};

struct MonitorLayout {
    int originX, originY;  // root-window position of screen coordinate (0, 0)
    int primaryWidth, primaryHeight;
    int virtualLeft, virtualTop, virtualWidth, virtualHeight;  // in screen coordinates
};

// The primary monitor is the one marked primary, else the first; monitors with
// no area are ignored. Without any, the whole root window of the given size.
MonitorLayout LayoutOfMonitors(const MonitorRect* monitors, int count, int rootWidth, int rootHeight);

}  // namespace plat
