// The screen services: metrics, cursor position and clip box. Screen
// coordinates are Win32's: (0, 0) is the primary monitor's top-left corner
// (RandR's primary monitor, else the first), and the virtual screen spans every
// monitor. For a daemon the screen is the daemon's window.
#include "platform/x11/screen.h"

#include <X11/extensions/Xrandr.h>

#include "platform/x11/daemon_mode.h"
#include "platform/x11/monitor_layout.h"
#include "platform/x11/state.h"

namespace plat {

namespace {

constexpr int kMaxMonitors = 16;

MonitorLayout layout;

}  // namespace

void ReadMonitorLayout() {
    const int rootWidth = DisplayWidth(x11.display, x11.screen);
    const int rootHeight = DisplayHeight(x11.display, x11.screen);
    MonitorRect monitors[kMaxMonitors];
    int count = 0;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (XRRQueryExtension(x11.display, &eventBase, &errorBase) && XRRQueryVersion(x11.display, &major, &minor) &&
        (major > 1 || (major == 1 && minor >= 5))) {
        int found = 0;
        XRRMonitorInfo* info = XRRGetMonitors(x11.display, x11.root, True, &found);
        for (int i = 0; info != nullptr && i < found && count < kMaxMonitors; ++i) {
            monitors[count++] = MonitorRect{info[i].x, info[i].y, info[i].width, info[i].height, info[i].primary != 0};
        }
        if (info != nullptr) XRRFreeMonitors(info);
    }
    layout = LayoutOfMonitors(monitors, count, rootWidth, rootHeight);
}

int ScreenOriginX() { return InDaemonMode() ? 0 : layout.originX; }

int ScreenOriginY() { return InDaemonMode() ? 0 : layout.originY; }

int X11GetSystemMetrics(int index) {
    if (!x11.display) return 0;
    if (InDaemonMode()) {
        switch (index) {
            case SM_CXSCREEN:
            case SM_CXVIRTUALSCREEN:
                return DaemonWidth();
            case SM_CYSCREEN:
            case SM_CYVIRTUALSCREEN:
                return DaemonHeight();
            default:
                return 0;
        }
    }
    switch (index) {
        case SM_CXSCREEN:
            return layout.primaryWidth;
        case SM_CYSCREEN:
            return layout.primaryHeight;
        case SM_XVIRTUALSCREEN:
            return layout.virtualLeft;
        case SM_YVIRTUALSCREEN:
            return layout.virtualTop;
        case SM_CXVIRTUALSCREEN:
            return layout.virtualWidth;
        case SM_CYVIRTUALSCREEN:
            return layout.virtualHeight;
        default:
            return 0;
    }
}

BOOL X11GetCursorPos(POINT* point) {
    if (!point || !x11.display) return 0;
    ::Window rootReturn, child;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int mask = 0;
    if (!XQueryPointer(x11.display, x11.root, &rootReturn, &child, &rootX, &rootY, &x, &y, &mask)) return 0;
    point->x = rootX - ScreenOriginX();
    point->y = rootY - ScreenOriginY();
    return 1;
}

int X11GetClipBox(HDC dc, RECT* rect) {
    return emu::ClipBoxOf(dc, RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, rect);
}

}  // namespace plat
