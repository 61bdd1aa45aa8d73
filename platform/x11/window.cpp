// Peer X windows of the emulated windows, and windows of other programs.
//
// A full-screen saver (popup without parent) is override-redirect, covers the
// screen and grabs keyboard and pointer. Other top-level windows are managed
// normally, with the title as WM_NAME/_NET_WM_NAME and WM_DELETE_WINDOW. A
// preview's outer window is a child of the caller's X window, whose destruction
// we watch. Each top-level window carries its class in _SAVER_CLASS so that
// another process finds it (FindWindowA).
#include <X11/Xatom.h>
#include <strings.h>

#include <cstdint>
#include <cstring>
#include <ctime>

#include "platform/x11/daemon_mode.h"
#include "platform/x11/screen.h"
#include "platform/x11/state.h"

namespace plat {

namespace {

constexpr long kOuterEvents = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                              ExposureMask | StructureNotifyMask | FocusChangeMask;
constexpr unsigned int kGrabPointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
constexpr std::uintptr_t kLargestXId = 0x1FFFFFFF;  // X resource ids use 29 bits
constexpr int kGrabAttempts = 50;

void SleepMs(long ms) {
    timespec delay = {0, ms * 1000000L};
    nanosleep(&delay, nullptr);
}

Peer* FreePeer() {
    for (Peer& peer : x11.peers) {
        if (!peer.handle) return &peer;
    }
    return nullptr;
}

void SetStringProperty(::Window window, Atom property, Atom type, const char* text) {
    XChangeProperty(x11.display, window, property, type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text), static_cast<int>(std::strlen(text)));
}

void SetIdentity(::Window outer, const emu::Window& window) {
    SetStringProperty(outer, x11.saverClass, XA_STRING, window.className);
    SetStringProperty(outer, x11.wmName, XA_STRING, window.title);
    SetStringProperty(outer, x11.netWmName, x11.utf8String, window.title);
    XClassHint hint;
    char name[] = "saver";
    hint.res_name = name;
    hint.res_class = const_cast<char*>(window.className);
    XSetClassHint(x11.display, outer, &hint);
}

void SetManagedHints(::Window outer, const emu::Window& window) {
    XSetWMProtocols(x11.display, outer, &x11.wmDeleteWindow, 1);
    XSizeHints hints;
    std::memset(&hints, 0, sizeof hints);
    hints.flags = USPosition | USSize;
    hints.x = window.x;
    hints.y = window.y;
    hints.width = window.width;
    hints.height = window.height;
    XSetWMNormalHints(x11.display, outer, &hints);
}

Cursor CurrentCursor() { return x11.cursorHidden ? x11.blankCursor : None; }

// The server refuses a grab while the window is not yet viewable or another
// client holds one; retry briefly so that input reaches the saver.
void GrabInput(Peer& peer) {
    bool keyboard = false, pointer = false;
    for (int attempt = 0; attempt < kGrabAttempts && !(keyboard && pointer); ++attempt) {
        if (attempt > 0) SleepMs(10);
        if (!keyboard) {
            keyboard =
                XGrabKeyboard(x11.display, peer.outer, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
        }
        if (!pointer) {
            pointer = XGrabPointer(x11.display, peer.outer, False, kGrabPointerEvents, GrabModeAsync, GrabModeAsync,
                                   None, CurrentCursor(), CurrentTime) == GrabSuccess;
        }
    }
    x11.grabbed = keyboard || pointer;
}

void ReleaseGrab() {
    if (!x11.grabbed) return;
    XUngrabKeyboard(x11.display, CurrentTime);
    XUngrabPointer(x11.display, CurrentTime);
    x11.grabbed = false;
}

// Showing a top-level window activates it, as on Win32: it takes the input focus
// (a window manager may still refuse or move it).
void MapPeer(Peer& peer) {
    if (peer.outer == None) return;  // drawing on a daemon's window, which is not ours to map
    XMapRaised(x11.display, peer.outer);
    if (!peer.topLevel) return;
    XSync(x11.display, False);
    if (peer.fullScreen && !x11.grabbed) GrabInput(peer);
    BeginErrorTrap();
    XSetInputFocus(x11.display, peer.outer, RevertToParent, CurrentTime);
    EndErrorTrap();
}

}  // namespace

Peer* PeerOfHandle(HWND window) {
    if (!window) return nullptr;
    for (Peer& peer : x11.peers) {
        if (peer.handle == window) return &peer;
    }
    return nullptr;
}

Peer* PeerOfXWindow(::Window window) {
    if (window == None) return nullptr;
    for (Peer& peer : x11.peers) {
        if (peer.handle && (peer.outer == window || peer.gl == window)) return &peer;
    }
    return nullptr;
}

bool IsOurXWindow(::Window window) {
    return PeerOfXWindow(window) || IsMenuPopup(window) || IsMessageBoxWindow(window);
}

::Window ForeignWindowOf(HWND window) {
    auto id = reinterpret_cast<std::uintptr_t>(window);
    if (id == 0 || id > kLargestXId) return None;
    return static_cast<::Window>(id);
}

void ResizeGlChild(Peer& peer) {
    int top = peer.hasBar ? x11.barHeight : 0;
    int height = peer.outerHeight - top;
    XMoveResizeWindow(x11.display, peer.gl, 0, top, peer.outerWidth > 0 ? peer.outerWidth : 1, height > 0 ? height : 1);
}

namespace emu {

void X11CreateWindow(Window& window) {
    window.native = 0;
    Peer* peer = FreePeer();
    if (!peer || !x11.display) return;
    std::memset(peer, 0, sizeof *peer);
    RecheckVisibility();

    ::Window xParent = x11.root;
    bool topLevel = window.parent == nullptr;
    if (!topLevel && !PeerOfHandle(window.parent) && InDaemonMode() &&
        ForeignWindowOf(window.parent) == DaemonWindow()) {
        CreateDaemonPeer(*peer, window);
        return;
    }
    if (!topLevel) {
        if (Peer* parentPeer = PeerOfHandle(window.parent)) {
            xParent = parentPeer->gl;
        } else {
            peer->foreignParent = ForeignWindowOf(window.parent);
            if (peer->foreignParent == None) return;
            xParent = peer->foreignParent;
        }
    }
    peer->topLevel = topLevel;
    peer->fullScreen = topLevel && (window.style & WS_POPUP);
    int width = window.width > 0 ? window.width : 1;
    int height = window.height > 0 ? window.height : 1;

    BeginErrorTrap();
    if (peer->foreignParent != None) XSelectInput(x11.display, peer->foreignParent, StructureNotifyMask);
    XSetWindowAttributes attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.background_pixel =
        topLevel && !peer->fullScreen ? WhitePixel(x11.display, x11.screen) : BlackPixel(x11.display, x11.screen);
    attributes.border_pixel = 0;
    attributes.event_mask = kOuterEvents;
    attributes.override_redirect = peer->fullScreen ? True : False;
    attributes.cursor = CurrentCursor();
    // Top-level windows are placed in screen coordinates, whose origin is the primary monitor's corner.
    const int x = window.x + (topLevel ? ScreenOriginX() : 0);
    const int y = window.y + (topLevel ? ScreenOriginY() : 0);
    peer->outer =
        XCreateWindow(x11.display, xParent, x, y, width, height, 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWBackPixel | CWBorderPixel | CWEventMask | CWOverrideRedirect | CWCursor, &attributes);

    const XVisualInfo* visual = GlVisual();
    XSetWindowAttributes glAttributes;
    std::memset(&glAttributes, 0, sizeof glAttributes);
    glAttributes.background_pixel = 0;
    glAttributes.border_pixel = 0;
    glAttributes.event_mask = ExposureMask | VisibilityChangeMask;
    glAttributes.cursor = CurrentCursor();
    unsigned long glMask = CWBackPixel | CWBorderPixel | CWEventMask | CWCursor;
    if (visual) {
        glAttributes.colormap = x11.glColormap;
        glMask |= CWColormap;
    }
    peer->gl = XCreateWindow(x11.display, peer->outer, 0, 0, width, height, 0, visual ? visual->depth : CopyFromParent,
                             InputOutput, visual ? visual->visual : CopyFromParent, glMask, &glAttributes);
    XMapWindow(x11.display, peer->gl);
    if (!EndErrorTrap()) {
        // The parent vanished between the caller's check and now.
        peer->outer = None;
        return;
    }

    SetIdentity(peer->outer, window);
    if (topLevel && !peer->fullScreen) SetManagedHints(peer->outer, window);
    peer->handle = window.handle;
    peer->outerWidth = width;
    peer->outerHeight = height;
    window.native = peer->outer;
    XFlush(x11.display);
}

void X11DestroyWindow(Window& window) {
    Peer* peer = PeerOfHandle(window.handle);
    window.native = 0;
    if (!peer) return;
    CloseMenuPopup();
    if (peer->fullScreen) ReleaseGrab();
    BeginErrorTrap();
    if (!peer->gone && peer->outer != None) XDestroyWindow(x11.display, peer->outer);
    if (peer->foreignParent != None) XSelectInput(x11.display, peer->foreignParent, NoEventMask);
    EndErrorTrap();
    std::memset(peer, 0, sizeof *peer);
}

void X11ShowWindow(Window& window, bool visible) {
    Peer* peer = PeerOfHandle(window.handle);
    if (!peer || peer->gone) return;
    if (visible) {
        MapPeer(*peer);
    } else {
        if (peer->fullScreen) ReleaseGrab();
        XUnmapWindow(x11.display, peer->outer);
    }
    XFlush(x11.display);
}

void X11SetForeground(Window& window) {
    Peer* peer = PeerOfHandle(window.handle);
    if (!peer || peer->gone) return;
    XRaiseWindow(x11.display, peer->outer);
    if (peer->fullScreen && !x11.grabbed) GrabInput(*peer);
    BeginErrorTrap();
    XSetInputFocus(x11.display, peer->outer, RevertToParent, CurrentTime);
    EndErrorTrap();
}

void X11MenuChanged(Window& window) {
    Peer* peer = PeerOfHandle(window.handle);
    if (!peer || peer->gone || peer->fullScreen || !peer->topLevel) return;
    bool hasBar = window.menu != nullptr;
    if (hasBar != peer->hasBar) {
        peer->hasBar = hasBar;
        ResizeGlChild(*peer);
        int top = hasBar ? x11.barHeight : 0;
        NativeResized(window.handle, window.x, window.y, peer->outerWidth, peer->outerHeight - top);
    }
    if (hasBar) PaintMenuBar(*peer);
    XFlush(x11.display);
}

void X11SetCursorHidden(bool hidden) {
    if (!x11.display || hidden == x11.cursorHidden) return;
    x11.cursorHidden = hidden;
    Cursor cursor = CurrentCursor();
    for (Peer& peer : x11.peers) {
        if (!peer.handle || peer.gone || DrawsOnDaemonWindow(peer)) continue;
        XDefineCursor(x11.display, peer.outer, cursor);
        XDefineCursor(x11.display, peer.gl, cursor);
    }
    if (x11.grabbed) XChangeActivePointerGrab(x11.display, kGrabPointerEvents, cursor, CurrentTime);
    XFlush(x11.display);
}

bool X11IsForeignWindow(HWND window) {
    ::Window id = ForeignWindowOf(window);
    if (id == None || !x11.display) return false;
    if (id == DaemonWindow()) return !DaemonWindowGone();
    XWindowAttributes attributes;
    BeginErrorTrap();
    Status status = XGetWindowAttributes(x11.display, id, &attributes);
    return EndErrorTrap() && status != 0;
}

bool X11ForeignClientRect(HWND window, RECT* rect) {
    ::Window id = ForeignWindowOf(window);
    if (id == None || !x11.display || !rect) return false;
    if (id == DaemonWindow()) {
        if (DaemonWindowGone()) return false;
        *rect = RECT{0, 0, DaemonWidth(), DaemonHeight()};
        return true;
    }
    XWindowAttributes attributes;
    BeginErrorTrap();
    Status status = XGetWindowAttributes(x11.display, id, &attributes);
    if (!EndErrorTrap() || status == 0) return false;
    *rect = RECT{0, 0, attributes.width, attributes.height};
    return true;
}

// Another program's window gets the message as a _SAVER_MESSAGE client message
// (message, word and long parameter); whether it reads it is its own affair.
BOOL X11PostForeign(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ::Window id = ForeignWindowOf(window);
    if (id == None || !x11.display) return 0;
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = id;
    event.xclient.message_type = x11.saverMessage;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(message);
    event.xclient.data.l[1] = static_cast<long>(wParam);
    event.xclient.data.l[2] = static_cast<long>(lParam);
    BeginErrorTrap();
    XSendEvent(x11.display, id, False, NoEventMask, &event);
    return EndErrorTrap() ? 1 : 0;
}

namespace {

bool PropertyEquals(::Window window, Atom property, const char* expected) {
    if (!expected) return true;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x11.display, window, property, 0, kTitleMax, False, AnyPropertyType, &type, &format, &count,
                           &after, &data) != Success) {
        return false;
    }
    // Class and title compare without regard to case, as FindWindowA does.
    bool equal = data && format == 8 && count == std::strlen(expected) &&
                 strncasecmp(reinterpret_cast<const char*>(data), expected, count) == 0;
    if (data) XFree(data);
    return equal;
}

}  // namespace

HWND X11FindForeignWindow(const char* className, const char* title) {
    if (!x11.display) return nullptr;
    ::Window rootReturn, parentReturn;
    ::Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(x11.display, x11.root, &rootReturn, &parentReturn, &children, &count)) return nullptr;
    HWND found = nullptr;
    BeginErrorTrap();
    for (unsigned int i = 0; i < count && !found; ++i) {
        ::Window child = children[i];
        if (IsOurXWindow(child)) continue;
        if (PropertyEquals(child, x11.saverClass, className) && PropertyEquals(child, x11.wmName, title)) {
            found = HandleFromNumber(static_cast<std::uint32_t>(child));
        }
    }
    EndErrorTrap();
    if (children) XFree(children);
    return found;
}

BOOL X11SetForegroundForeign(HWND window) {
    ::Window id = ForeignWindowOf(window);
    if (id == None || !x11.display) return 0;
    BeginErrorTrap();
    XRaiseWindow(x11.display, id);
    return EndErrorTrap() ? 1 : 0;
}

HWND X11ForegroundWindow() {
    if (!x11.display) return nullptr;
    ::Window active = None;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x11.display, x11.root, x11.netActiveWindow, 0, 1, False, XA_WINDOW, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
        if (format == 32 && count == 1) active = static_cast<::Window>(*reinterpret_cast<unsigned long*>(data));
        XFree(data);
    }
    if (active == None) {
        int revert = 0;
        XGetInputFocus(x11.display, &active, &revert);
        if (active == PointerRoot) active = None;
    }
    if (active == None) return nullptr;
    if (Peer* peer = PeerOfXWindow(active)) return peer->handle;
    return HandleFromNumber(static_cast<std::uint32_t>(active));
}

}  // namespace emu
}  // namespace plat
