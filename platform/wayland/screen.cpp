// The screen of a saver process is its output: the primary and the virtual
// screen are both the output's size in device pixels, with (0, 0) at its
// corner, so each output gets the whole picture at its own size. No other
// program's windows can be seen from a Wayland client.
#include "platform/wayland/state.h"

namespace plat {

int WaylandGetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
        case SM_CXVIRTUALSCREEN:
            return wayland.width;
        case SM_CYSCREEN:
        case SM_CYVIRTUALSCREEN:
            return wayland.height;
        default:
            return 0;
    }
}

int WaylandGetClipBox(HDC dc, RECT* rect) {
    return emu::ClipBoxOf(dc, RECT{0, 0, wayland.width, wayland.height}, rect);
}

namespace emu {

bool WaylandIsForeignWindow(HWND) { return false; }
bool WaylandForeignClientRect(HWND, RECT*) { return false; }
BOOL WaylandPostForeign(HWND, UINT, WPARAM, LPARAM) { return 0; }
// The one-saver-at-a-time check is the supervisor's lock (instance_lock.h).
HWND WaylandFindForeignWindow(const char*, const char*) { return nullptr; }
BOOL WaylandSetForegroundForeign(HWND) { return 0; }
HWND WaylandForegroundWindow() { return wayland.keyboardFocus ? wayland.window : nullptr; }

}  // namespace emu
}  // namespace plat
