// The emulated window system (windows, classes, procedures, posted and sent
// messages, default processing, paint, timers, menus) shared by the x11,
// wayland, headless and web platforms, and the contract between it and the
// backend beneath.
//
// platform/emulated implements the plat:: services of these groups: window classes
// and windows, the message loop, window timers, menus, SetCursor, GetDC/ReleaseDC,
// BeginPaint/EndPaint, and the message parameters every backend packs alike. Each
// backend implements every other plat:: service itself (system, GL surface,
// message box, libraries, registry, metrics, cursor position) plus the Backend*
// functions below; on Linux, x11 and wayland do so through the window-system
// table of platform/linux, which also keeps the one clock.
//
// Everything runs on the one thread that owns the windows; nothing is locked.
#pragma once

#include "platform/platform.h"

namespace plat {
namespace emu {

constexpr int kClassNameMax = 64;
constexpr int kTitleMax = 128;
constexpr int kMenuTextMax = 32;
constexpr UINT kTimerFloorMs = 10;  // USER_TIMER_MINIMUM: shorter periods are raised to it

// One emulated window. The emulated layer owns the table; backends read it and may
// store their own peer in `native`.
struct Window {
    HWND handle;
    char className[kClassNameMax];
    char title[kTitleMax];
    DWORD style;
    DWORD exStyle;
    HWND parent;  // an emulated window, a foreign window, or null
    int x, y;     // relative to the parent's client area, or to the screen
    int width, height;
    WNDPROC proc;
    bool visible;
    bool needsPaint;
    HMENU menu;
    std::uintptr_t native;  // backend peer (X window id); 0 when none
};

struct MenuItem {
    char text[kMenuTextMax];
    UINT_PTR id;  // command identifier, or the popup's HMENU for a popup item
    HMENU popup;  // null for a command item
};

// --- Provided by the emulated layer to backends -------------------------------

Window* LookupWindow(HWND window);  // live emulated window, or null
// Visits every live emulated window in creation order; stop by returning false.
void ForEachWindow(bool (*visit)(Window& window, void* context), void* context);

// Appends a message to the thread's posted queue, exactly like PostMessageA, for
// input and notifications that a backend translates from its native events.
void QueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// True while a posted `message` for `window` waits in the queue.
bool IsMessageQueued(HWND window, UINT message);
// Sets a window's size (and position) as the native system reports it; sends
// WM_SIZE with the new client size when the size changed.
void NativeResized(HWND window, int x, int y, int width, int height);
void InvalidateWindow(HWND window);  // WM_PAINT is generated when the queue is empty
// A point as a mouse message's long parameter: x in the low word, y in the high.
LPARAM PointParam(int x, int y);
// The key state of a mouse message's short parameter, and one wheel notch.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;
constexpr int WHEEL_DELTA = 120;
// WM_MOUSEWHEEL's short parameter: the turn (WHEEL_DELTA a notch, away from the
// user positive) in the high word, the key state in the low.
WPARAM WheelParam(int delta, WPARAM keys);
// The message of a key going down or up (WM_SYSKEY* for a system key: Alt held,
// or F10) and its long parameter: a repeat count of 1, the scan code, and on
// release the previous-state and transition bits.
struct KeyMessage {
    UINT message;
    LPARAM lParam;
};
KeyMessage KeyMessageOf(bool press, bool system, unsigned scanCode);
// A screen point as the long parameter of a mouse message for `window`: in its
// client coordinates, or unchanged for a window not in the table.
LPARAM ClientPointParam(HWND window, int screenX, int screenY);

// The one pixel format of the emulated platforms: a double-buffered RGBA window
// format with these channel sizes (and shifts, where the platform knows them).
constexpr int kOnlyPixelFormat = 1;
struct PixelFormatBits {
    BYTE color, red, green, blue, alpha, depth, stencil;
    BYTE redShift = 0, greenShift = 0, blueShift = 0, alphaShift = 0;  // 0 where unknown
};
// DescribePixelFormat of that format: fills *pfd and returns the number of
// formats (1); 0 for another format or a size too small. A null pfd only asks
// for the number.
int DescribeOnlyPixelFormat(int format, UINT size, PIXELFORMATDESCRIPTOR* pfd, const PixelFormatBits& bits);

int MenuItemCount(HMENU menu);
const MenuItem* MenuItemAt(HMENU menu, int index);

// Device contexts handed out by GetDC: the window a DC belongs to (null for the
// screen's DC from GetDC(null) and for unknown values), and whether a DC is the
// screen's.
HWND WindowFromDC(HDC dc);
bool IsScreenDC(HDC dc);

// GetClipBox as every backend answers it: the screen's DC clips to `screen`, a
// window's DC to the window's client area; 0 (ERROR) for anything else, else
// SIMPLEREGION.
int ClipBoxOf(HDC dc, const RECT& screen, RECT* rect);

// --- Provided by each backend to the emulated layer ---------------------------

DWORD BackendTickMs();              // millisecond counter used for timers and GetTickCount
void BackendPoll();                 // translate pending native events; never blocks
void BackendWait(DWORD timeoutMs);  // block up to timeoutMs for a native event
                                    // (headless: advances its virtual clock)
// True while nothing drawn could be seen (the display is powered down; on x11
// also while every window drawn in is unmapped or covered; on wayland while the
// compositor has shown no frame of the surface for a second): no timer comes
// due, so nothing is drawn and the loop sleeps; due timers fire once it shows
// again.
bool BackendDisplayAsleep();

void BackendCreateWindow(Window& window);   // before WM_CREATE is sent
void BackendDestroyWindow(Window& window);  // after WM_DESTROY was sent
void BackendShowWindow(Window& window, bool visible);
void BackendSetForeground(Window& window);
void BackendMenuChanged(Window& window);   // SetMenu or DrawMenuBar
void BackendSetCursorHidden(bool hidden);  // SetCursor(null) hides, any cursor shows

// Windows that are not in the emulated table (another program's window).
bool BackendIsForeignWindow(HWND window);
bool BackendForeignClientRect(HWND window, RECT* rect);
BOOL BackendPostForeign(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HWND BackendFindForeignWindow(const char* className, const char* title);
BOOL BackendSetForegroundForeign(HWND window);  // SetForegroundWindow of a foreign window
HWND BackendForegroundWindow();                 // may be an emulated window's handle

}  // namespace emu
}  // namespace plat
