// The window system a Linux program runs on, chosen once at start-up: X11
// (platform/x11) or Wayland (platform/wayland). Each fills one table of the
// functions that differ between them: the emulated layer's backend contract
// (emulated/backend.h) and the plat:: services that reach the screen, the GL
// surface, message boxes and the process's end. window_system.cpp implements
// those names by calling through the table; everything else (system, libraries,
// registry) is shared and lives beside it.
#pragma once

#include "platform/emulated/backend.h"

namespace plat {

struct WindowSystem {
    const char* name;  // "x11", "wayland"

    // The emulated layer's backend contract, in the order of emulated/backend.h.
    DWORD (*tickMs)();
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

// Makes `system` the one every call goes to, for the rest of the process. Until
// then it is X11.
void UseWindowSystem(const WindowSystem& system);
const WindowSystem& CurrentWindowSystem();

}  // namespace plat
