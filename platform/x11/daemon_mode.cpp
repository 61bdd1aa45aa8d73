#include "platform/x11/daemon_mode.h"

#include <GL/glx.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "platform/linux/stop_signals.h"

namespace plat {

namespace {

// The daemon's window is watched from the moment it is accepted: size changes
// and its destruction, and whether it is covered (for drawing on it directly).
constexpr long kDaemonWindowEvents = StructureNotifyMask | VisibilityChangeMask;

struct DaemonState {
    bool active;
    ::Window window;
    int width, height;   // the size last seen, by the first look or an event since
    bool gone;           // the window was destroyed after it was accepted
    bool drawsDirectly;  // the window's own visual has a GL config we can use
    bool failed;         // a failure was reported; the exit status becomes 1
    char program[64];
};

DaemonState daemon;

// Xlib ends the process if this returns; the daemon took the display away, which
// is an ordinary end for a program it runs.
int OnConnectionLost(Display*) { _exit(0); }

bool HasGlConfig(Display* display, XVisualInfo* info) {
    int useGl = 0, rgba = 0, doubleBuffer = 0;
    if (glXGetConfig(display, info, GLX_USE_GL, &useGl) != 0 || !useGl) return false;
    if (glXGetConfig(display, info, GLX_RGBA, &rgba) != 0 || !rgba) return false;
    return glXGetConfig(display, info, GLX_DOUBLEBUFFER, &doubleBuffer) == 0 && doubleBuffer;
}

// XScreenSaver gives programs marked "GL:" a window with a GL visual; drawing on
// it directly needs no window of ours at all.
void AdoptWindowVisual(const XWindowAttributes& attributes) {
    XVisualInfo wanted;
    std::memset(&wanted, 0, sizeof wanted);
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    wanted.screen = x11.screen;
    int count = 0;
    XVisualInfo* info = XGetVisualInfo(x11.display, VisualIDMask | VisualScreenMask, &wanted, &count);
    if (info == nullptr) return;
    if (count > 0 && HasGlConfig(x11.display, info)) {
        x11.glVisual = info;
        x11.glVisualChosen = true;
        daemon.drawsDirectly = true;
        return;
    }
    XFree(info);
}

Peer* DaemonPeer() {
    for (Peer& peer : x11.peers) {
        if (peer.handle && peer.foreignParent == daemon.window) return &peer;
    }
    return nullptr;
}

void DestroySaverWindows() {
    HWND windows[kMaxPeers];
    int count = 0;
    for (const Peer& peer : x11.peers) {
        if (peer.handle) windows[count++] = peer.handle;
    }
    for (int i = 0; i < count; ++i) {
        if (emu::LookupWindow(windows[i])) DestroyWindow(windows[i]);
    }
}

}  // namespace

bool BeginDaemonMode(::Window window, const char* program) {
    std::snprintf(daemon.program, sizeof daemon.program, "%s", program ? program : "saver");
    XWindowAttributes attributes;
    Status status = 0;
    if (window != None) {
        BeginErrorTrap();
        // Watched before it is looked at: no change after the look goes unseen.
        XSelectInput(x11.display, window, kDaemonWindowEvents);
        status = XGetWindowAttributes(x11.display, window, &attributes);
        if (!EndErrorTrap()) status = 0;
    }
    if (status == 0) {
        std::fprintf(stderr, "%s: no window has the id 0x%lx\n", daemon.program, static_cast<unsigned long>(window));
        return false;
    }
    if (attributes.c_class == InputOnly) {
        std::fprintf(stderr, "%s: window 0x%lx is an InputOnly window, which nothing can be drawn on\n", daemon.program,
                     static_cast<unsigned long>(window));
        return false;
    }
    x11.screen = XScreenNumberOfScreen(attributes.screen);
    x11.root = attributes.root;
    daemon.active = true;
    daemon.window = window;
    daemon.width = attributes.width;
    daemon.height = attributes.height;
    AdoptWindowVisual(attributes);
    XSetIOErrorHandler(OnConnectionLost);
    InstallStopSignals();
    DeferStopSignals();
    return true;
}

bool InDaemonMode() { return daemon.active; }

::Window DaemonWindow() { return daemon.active ? daemon.window : None; }

bool DaemonWindowGone() { return daemon.gone; }

void NoteDaemonWindowGone() {
    if (daemon.active) daemon.gone = true;
}

int DaemonWidth() { return daemon.width; }

int DaemonHeight() { return daemon.height; }

bool DrawsOnDaemonWindow(const Peer& peer) {
    return peer.outer == None && peer.gl != None && peer.gl == peer.foreignParent;
}

void CreateDaemonPeer(Peer& peer, emu::Window& window) {
    peer.foreignParent = daemon.window;
    const int width = daemon.width > 0 ? daemon.width : 1;
    const int height = daemon.height > 0 ? daemon.height : 1;
    BeginErrorTrap();
    if (daemon.drawsDirectly) {
        peer.outer = None;
        peer.gl = daemon.window;
    } else {
        const XVisualInfo* visual = GlVisual();
        XSetWindowAttributes attributes;
        std::memset(&attributes, 0, sizeof attributes);
        attributes.background_pixel = BlackPixel(x11.display, x11.screen);
        attributes.event_mask = StructureNotifyMask;
        // A child of the root window is a top-level window: keep window managers off it.
        attributes.override_redirect = daemon.window == x11.root ? True : False;
        peer.outer = XCreateWindow(x11.display, daemon.window, 0, 0, width, height, 0, CopyFromParent, InputOutput,
                                   CopyFromParent, CWBackPixel | CWEventMask | CWOverrideRedirect, &attributes);
        XSetWindowAttributes glAttributes;
        std::memset(&glAttributes, 0, sizeof glAttributes);
        glAttributes.event_mask = VisibilityChangeMask;
        unsigned long glMask = CWBackPixel | CWBorderPixel | CWEventMask;
        if (visual) {
            glAttributes.colormap = x11.glColormap;
            glMask |= CWColormap;
        }
        peer.gl =
            XCreateWindow(x11.display, peer.outer, 0, 0, width, height, 0, visual ? visual->depth : CopyFromParent,
                          InputOutput, visual ? visual->visual : CopyFromParent, glMask, &glAttributes);
        XMapWindow(x11.display, peer.gl);
    }
    if (!EndErrorTrap()) {
        // The daemon's window went away before the saver got going.
        peer.outer = None;
        peer.gl = None;
        peer.foreignParent = None;
        daemon.gone = true;
        return;
    }
    peer.handle = window.handle;
    peer.outerWidth = width;
    peer.outerHeight = height;
    window.native = daemon.drawsDirectly ? peer.gl : peer.outer;
    XFlush(x11.display);
}

bool DaemonHandlesEvent(const XEvent& event) {
    if (!daemon.active || event.type != ConfigureNotify || event.xconfigure.window != daemon.window) return false;
    const int width = event.xconfigure.width, height = event.xconfigure.height;
    if (width == daemon.width && height == daemon.height) return true;
    daemon.width = width;
    daemon.height = height;
    Peer* peer = DaemonPeer();
    if (peer == nullptr || peer->gone) return true;
    peer->outerWidth = width;
    peer->outerHeight = height;
    if (!DrawsOnDaemonWindow(*peer)) {
        XResizeWindow(x11.display, peer->outer, width > 0 ? width : 1, height > 0 ? height : 1);
        ResizeGlChild(*peer);
    }
    emu::NativeResized(peer->handle, 0, 0, width, height);
    return true;
}

void DaemonPoll() {
    if (!daemon.active || !StopRequested()) return;
    char drain[64];
    while (read(StopWakeDescriptor(), drain, sizeof drain) > 0) {
    }
    DestroySaverWindows();
}

int DaemonWakeDescriptor() { return daemon.active ? StopWakeDescriptor() : -1; }

void ReportDaemonFailure(const char* caption, const char* text) {
    // Without its window the saver cannot start; that is the daemon's doing.
    if (daemon.gone) return;
    daemon.failed = true;
    std::fprintf(stderr, "%s: %s: %s\n", daemon.program, caption ? caption : "", text ? text : "");
}

unsigned DaemonExitCode(unsigned code) { return daemon.failed && (code & 0xFF) == 0 ? 1 : code; }

}  // namespace plat
