// The window system a Linux program runs on, chosen once at start-up: X11
// (platform/x11) or Wayland (platform/wayland). Each fills one table of the
// functions that differ between them: its start, the emulated layer's backend
// contract (emulated/backend.h) and the plat:: services that reach the screen,
// the GL surface, message boxes and the process's end. window_system.cpp
// implements those names by calling through the table; everything else (the
// clock, system, libraries, registry, entry options, stop signals) is shared and
// lives beside it. x11/ and wayland/ include this folder's headers and never
// each other's; this folder includes neither.
#pragma once

#include "platform/emulated/backend.h"
#include "platform/linux/entry_options.h"

namespace plat {

struct WindowSystem {
    const char* name;  // "x11", "wayland"

    // Called once the table is the current one: connects to the window system.
    // In daemon mode X11 replaces *shell with the preview of the daemon's
    // window. Returns true when the shell is to run (in a Wayland saver process
    // for one output); false when the run is over or could not start, with the
    // exit status in *status (after one line on stderr for a failure).
    bool (*start)(const EntryOptions& options, const char* program, ShellArguments* shell, int* status);

    // The emulated layer's backend contract, in the order of emulated/backend.h
    // (the clock is shared: tick_clock.cpp).
    void (*poll)();
    void (*wait)(DWORD timeoutMs);
    bool (*displayAsleep)();
    void (*createWindow)(emu::Window& window);
    void (*destroyWindow)(emu::Window& window);
    void (*showWindow)(emu::Window& window, bool visible);
    void (*setForeground)(emu::Window& window);
    void (*menuChanged)(emu::Window& window);
    void (*setCursorHidden)(bool hidden);
    bool (*isForeignWindow)(HWND window);
    bool (*foreignClientRect)(HWND window, RECT* rect);
    BOOL (*postForeign)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND (*findForeignWindow)(const char* className, const char* title);
    BOOL (*setForegroundForeign)(HWND window);
    HWND (*foregroundWindow)();

    // Screen.
    int (*getSystemMetrics)(int index);
    BOOL (*getCursorPos)(POINT* point);
    int (*getClipBox)(HDC dc, RECT* rect);

    // GL surface.
    int (*choosePixelFormat)(HDC dc, const PIXELFORMATDESCRIPTOR* pfd);
    BOOL (*setPixelFormat)(HDC dc, int format, const PIXELFORMATDESCRIPTOR* pfd);
    int (*describePixelFormat)(HDC dc, int format, UINT size, PIXELFORMATDESCRIPTOR* pfd);
    HGLRC (*createContext)(HDC dc);
    BOOL (*makeCurrent)(HDC dc, HGLRC context);
    BOOL (*deleteContext)(HGLRC context);
    BOOL (*swapBuffers)(HDC dc);

    // Dialogs and the process's end.
    int (*messageBox)(HWND owner, const char* text, const char* caption, UINT type);
    void (*exitProcess)(UINT code);  // does not return
};

extern const WindowSystem x11WindowSystem;
extern const WindowSystem waylandWindowSystem;
extern const WindowSystem lockPictureWindowSystem;  // the lock's picture processes (wayland/picture_*.cpp)

// Makes `system` the one every call goes to, for the rest of the process. Until
// then none is: only ExitProcess may be called.
void UseWindowSystem(const WindowSystem& system);
const WindowSystem& CurrentWindowSystem();

}  // namespace plat
