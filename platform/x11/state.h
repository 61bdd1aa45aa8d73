// State and helpers shared by the x11 backend's files: the X connection, the peer
// X windows of the emulated windows, the GL visual, the menu bar.
//
// Every emulated window has two X windows: `outer`, which carries the window's
// identity (class, title, decorations, input) and, when the window has a menu, the
// menu-bar strip at its top; and `gl`, a child below the strip with the GL visual,
// which is the window's client area and the drawable of its GL context.
//
// A preview of a screen-saver daemon's window (daemon_mode.h) may have no outer
// window: `gl` is then the daemon's window itself.
//
// Has: full-screen saver with input grabs, preview inside another program's
// window, daemon mode, managed demo window with our own menu bar, blank cursor,
// modal message box, GLX surface, RandR monitors, DPMS sleep, no frames while
// nothing drawn can be seen, the --fps overlay.
// Lacks (reported absent to callers): power events, the Windows 9x family and
// its password provider, registry, loadable libraries, icons.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "platform/emulated/backend.h"
#include "platform/linux/entry_options.h"
#include "platform/platform.h"

namespace plat {

constexpr int kMaxPeers = 64;

struct Peer {
    HWND handle;  // null: slot free
    ::Window outer;
    ::Window gl;
    ::Window foreignParent;  // the X window of a preview parent, or None
    bool topLevel;           // a child of the root window
    bool fullScreen;         // override-redirect, screen-sized, grabs input
    bool hasBar;             // a menu is attached: the strip is visible
    bool gone;               // the X window was destroyed by someone else
    bool obscured;           // `gl` is covered completely by other windows
    bool viewable;           // `gl` and every ancestor are mapped, as last asked
    int outerWidth, outerHeight;
};

// A window whose X window vanished, destroyed after the poll that saw it go.
struct PendingDestroy {
    HWND window;
    bool afterClose;  // a WM_CLOSE was queued first: destroyed once it was taken
};

// The backend's one state record.
struct X11State {
    Display* display;
    int screen;
    ::Window root;
    Atom wmProtocols, wmDeleteWindow, wmName, netWmName, utf8String, netActiveWindow, saverClass, saverMessage;
    XVisualInfo* glVisual;  // chosen on first use; null when GL has none
    bool glVisualChosen;
    Colormap glColormap;
    Cursor blankCursor;
    bool cursorHidden;
    bool grabbed;       // keyboard and pointer grabbed by a full-screen window
    XFontStruct* font;  // core font for the menu bar and message boxes; may be null
    int barHeight;
    int lastError;  // error code caught by the error trap, 0 when none
    Peer peers[kMaxPeers];
    PendingDestroy pendingDestroy[kMaxPeers];
    int pendingDestroyCount;
};

extern X11State x11;

// connection.cpp
bool OpenDisplay();  // false when there is no X server
void CloseDisplay();
void BeginErrorTrap();
bool EndErrorTrap();  // true when no X error happened since BeginErrorTrap
const XVisualInfo* GlVisual();

// window.cpp
Peer* PeerOfHandle(HWND window);
Peer* PeerOfXWindow(::Window window);  // outer or gl window of a live peer
bool IsOurXWindow(::Window window);    // a peer, a menu popup or a message box
::Window ForeignWindowOf(HWND window);
void ResizeGlChild(Peer& peer);

// input.cpp
void TranslateEvent(XEvent& event);

// event_loop.cpp
void ProcessPendingDestroys();

// power_saving.cpp
bool MonitorAsleep();  // DPMS reports the monitor in standby, suspend or off

// window_visibility.cpp
void RecheckVisibility();                       // a window was mapped, unmapped or created: ask again
bool TranslateVisibility(const XEvent& event);  // true when the event was a VisibilityNotify
bool SaverWindowsHidden();

// menu_bar.cpp
void PaintMenuBar(Peer& peer);
bool MenuBarHandlesEvent(XEvent& event);  // popup events and clicks on a bar
void CloseMenuPopup();
bool IsMenuPopup(::Window window);

// message_box.cpp
bool IsMessageBoxWindow(::Window window);

// gl_surface.cpp
void ReleaseCurrentContext();

// The functions of the x11WindowSystem table (window_system_table.cpp), one per
// entry of platform/linux/window_system.h, defined in the files named there.
bool X11Start(const EntryOptions& options, const char* program, ShellArguments* shell, int* status);
namespace emu {
void X11Poll();
void X11Wait(DWORD timeoutMs);
bool X11DisplayAsleep();
void X11CreateWindow(Window& window);
void X11DestroyWindow(Window& window);
void X11ShowWindow(Window& window, bool visible);
void X11SetForeground(Window& window);
void X11MenuChanged(Window& window);
void X11SetCursorHidden(bool hidden);
bool X11IsForeignWindow(HWND window);
bool X11ForeignClientRect(HWND window, RECT* rect);
BOOL X11PostForeign(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HWND X11FindForeignWindow(const char* className, const char* title);
BOOL X11SetForegroundForeign(HWND window);
HWND X11ForegroundWindow();
}  // namespace emu
int X11GetSystemMetrics(int index);
BOOL X11GetCursorPos(POINT* point);
int X11GetClipBox(HDC dc, RECT* rect);
int X11ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd);
BOOL X11SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* pfd);
int X11DescribePixelFormat(HDC dc, int format, UINT size, PIXELFORMATDESCRIPTOR* pfd);
HGLRC X11CreateContext(HDC dc);
BOOL X11MakeCurrent(HDC dc, HGLRC context);
BOOL X11DeleteContext(HGLRC context);
BOOL X11SwapBuffers(HDC dc);
int X11MessageBox(HWND owner, const char* text, const char* caption, UINT type);
void X11ExitProcess(UINT code);  // connection.cpp; does not return

}  // namespace plat
