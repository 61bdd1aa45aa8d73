// State and helpers shared by the wayland backend's files.
//
// A saver on Wayland is one process per output. The process the desktop
// started (supervisor.cpp) runs no shell and draws nothing: it holds the
// one-saver-at-a-time lock, watches the outputs and forks one saver process per
// output. Each of those runs the shell's full-screen saver with this backend:
// one connection, one output, one surface, one effect, so the effects keep
// their process-wide state.
//
// Has: the full-screen saver window (a wlr-layer-shell OVERLAY surface, else a
// full-screen xdg_toplevel) at the output's device resolution, also at a
// fractional scale (wp_fractional_scale_v1 with wp_viewporter), key, button,
// motion and wheel input, keyboard or pointer loss as deactivation, the hidden cursor, EGL
// on wl_egl_window with the last frame kept for the next, sleep while the
// compositor shows nothing of the surface, failures as stderr lines.
// Lacks: the preview, the windowed demo and foreign windows (those modes run on
// X11), menus, message boxes one can click, the --fps overlay.
#pragma once

#include <cstdint>

#include "platform/emulated/backend.h"
#include "platform/linux/entry_options.h"
#include "platform/wayland/protocols.h"

namespace plat {

// The exit status of a saver process whose output went away: its end does not
// end the others.
constexpr int kOutputGoneStatus = 3;

struct WaylandState {
    char program[64];
    wl_display* display;
    wl_registry* registry;
    wl_compositor* compositor;
    zwlr_layer_shell_v1* layerShell;  // null: full-screen xdg_toplevel instead
    xdg_wm_base* wmBase;
    wp_viewporter* viewporter;                               // with the next, fractional scales:
    wp_fractional_scale_manager_v1* fractionalScaleManager;  // null when either is missing
    wl_seat* seat;
    wl_pointer* pointer;
    wl_keyboard* keyboard;

    // The output this process draws on.
    std::uint32_t outputName;  // its name in the registry
    wl_output* output;
    int modeWidth, modeHeight;  // current mode, device pixels, before the transform
    int transform;
    int scale;  // the output's integer scale
    bool outputDone;

    // The saver window's surface.
    HWND window;
    wl_surface* surface;
    zwlr_layer_surface_v1* layerSurface;
    xdg_surface* xdgSurface;
    xdg_toplevel* toplevel;
    wp_viewport* viewport;  // fractional scales: the buffer shown at the configured size
    wp_fractional_scale_v1* fractionalScale;
    int preferredScale;  // the compositor's scale for the surface in 120ths; 0 until it says
    wl_egl_window* eglWindow;
    bool configured;
    int logicalWidth, logicalHeight;  // the last configure
    int bufferScale;                  // applied to the surface
    double pixelsPerUnit;             // buffer pixels per surface unit (pointer positions)
    int width, height;                // device pixels: the screen, the buffer, the window
    bool resizePending;               // a configure or scale change not yet applied
    bool keyboardRequested;           // re-request the keyboard with the next commit
    wl_callback* frameCallback;       // requested with the last frame, not yet done
    DWORD frameRequestedMs;

    // Input.
    bool cursorHidden;
    std::uint32_t pointerSerial;  // of the last enter, for set_cursor
    bool pointerKnown;            // the pointer was seen over the surface
    int originX, originY;         // where it was first seen, device pixels
    int pointerX, pointerY;       // where it is now, device pixels
    bool keyboardFocus;
    bool leavePending;  // the keyboard left; decided after a round trip
    bool pointerFocus;
    bool pointerLeavePending;  // the pointer left; decided after a round trip
    bool altDown;

    int controlFd;  // the supervisor's channel; -1 when none
    int signalFd;   // SIGTERM, SIGINT, SIGHUP
    bool failed;    // a failure was reported: the exit status becomes 1
};

extern WaylandState wayland;

// connection.cpp
// Connects this saver process to the compositor and finds its output. False
// with the exit status in *status (after one line on stderr, or quietly with
// kOutputGoneStatus when the output has gone already).
bool ConnectOutputProcess(const char* program, std::uint32_t outputName, int controlFd, int signalFd, int* status);
// Ends the process when the connection has failed; a protocol error is named.
void CheckConnection();
// The output's size in device pixels as the compositor shows it (mode and transform).
void OutputDeviceSize(int* width, int* height);
void RoundTrip();
[[noreturn]] void EndQuietly(int status);

// window.cpp
void ApplySurfaceSize();  // after a configure or a scale change; sends WM_SIZE
void RequestKeyboard();   // from the supervisor: take the keyboard again

// input.cpp
void BindSeat(std::uint32_t name, std::uint32_t version);
void ApplyCursor();  // hides the cursor over the surface when it should be
void SettleKeyboardLeave();
void SettlePointerLeave();

// gl_surface.cpp
void ResizeKeptFrame(int width, int height);  // the frame kept between swaps follows the buffer
void ReleaseGl();

// event_loop.cpp
void ReportToSupervisor(char message);

// The functions of the waylandWindowSystem table (window_system_table.cpp).
bool WaylandStart(const EntryOptions& options, const char* program, ShellArguments* shell, int* status);
namespace emu {
void WaylandPoll();
void WaylandWait(DWORD timeoutMs);
bool WaylandDisplayAsleep();
void WaylandCreateWindow(Window& window);
void WaylandDestroyWindow(Window& window);
void WaylandShowWindow(Window& window, bool visible);
void WaylandSetForeground(Window& window);
void WaylandMenuChanged(Window& window);
void WaylandSetCursorHidden(bool hidden);
bool WaylandIsForeignWindow(HWND window);
bool WaylandForeignClientRect(HWND window, RECT* rect);
BOOL WaylandPostForeign(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HWND WaylandFindForeignWindow(const char* className, const char* title);
BOOL WaylandSetForegroundForeign(HWND window);
HWND WaylandForegroundWindow();
}  // namespace emu
int WaylandGetSystemMetrics(int index);
BOOL WaylandGetCursorPos(POINT* point);
int WaylandGetClipBox(HDC dc, RECT* rect);
int WaylandChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd);
BOOL WaylandSetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* pfd);
int WaylandDescribePixelFormat(HDC dc, int format, UINT size, PIXELFORMATDESCRIPTOR* pfd);
HGLRC WaylandCreateContext(HDC dc);
BOOL WaylandMakeCurrent(HDC dc, HGLRC context);
BOOL WaylandDeleteContext(HGLRC context);
BOOL WaylandSwapBuffers(HDC dc);
int WaylandMessageBox(HWND owner, const char* text, const char* caption, UINT type);
void WaylandExitProcess(UINT code);

}  // namespace plat
