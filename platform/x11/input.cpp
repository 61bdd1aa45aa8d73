// X events to window messages: keys, buttons, motion, focus, the close button,
// destruction and size changes.
#include <X11/keysym.h>

#include <cstdint>

#include "platform/x11/daemon_mode.h"
#include "platform/x11/key_map.h"
#include "platform/x11/screen.h"
#include "platform/x11/state.h"

namespace plat {

namespace {

using emu::MK_CONTROL;
using emu::MK_LBUTTON;
using emu::MK_MBUTTON;
using emu::MK_RBUTTON;
using emu::MK_SHIFT;

WPARAM MouseKeys(unsigned int state) {
    WPARAM keys = 0;
    if (state & Button1Mask) keys |= MK_LBUTTON;
    if (state & Button2Mask) keys |= MK_MBUTTON;
    if (state & Button3Mask) keys |= MK_RBUTTON;
    if (state & ShiftMask) keys |= MK_SHIFT;
    if (state & ControlMask) keys |= MK_CONTROL;
    return keys;
}

// Client-area coordinates: events on the outer window are offset by the strip.
LPARAM ClientPoint(const Peer& peer, ::Window window, int x, int y) {
    if (window == peer.outer && peer.hasBar) y -= x11.barHeight;
    return emu::PointParam(x, y);
}

void TranslateKey(const Peer& peer, XKeyEvent& key, bool press) {
    KeySym keysym = XLookupKeysym(&key, 0);
    bool system = (key.state & Mod1Mask) || IsSystemKey(keysym);
    const unsigned scanCode = key.keycode >= 8 ? key.keycode - 8 : 0;
    const emu::KeyMessage message = emu::KeyMessageOf(press, system, scanCode);
    emu::QueueMessage(peer.handle, message.message, VirtualKeyFromKeysym(keysym), message.lParam);
}

void TranslateButton(const Peer& peer, XButtonEvent& button, bool press) {
    WPARAM keys = MouseKeys(button.state);
    UINT message = 0;
    switch (button.button) {
        case Button1:
            message = press ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            break;
        case Button2:
            message = press ? WM_MBUTTONDOWN : WM_MBUTTONUP;
            break;
        case Button3:
            message = press ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            break;
        case Button4:
        case Button5: {
            if (!press) return;
            const int delta = button.button == Button4 ? emu::WHEEL_DELTA : -emu::WHEEL_DELTA;
            emu::QueueMessage(peer.handle, WM_MOUSEWHEEL, emu::WheelParam(delta, keys),
                              emu::PointParam(button.x_root - ScreenOriginX(), button.y_root - ScreenOriginY()));
            return;
        }
        default:
            return;
    }
    emu::QueueMessage(peer.handle, message, keys, ClientPoint(peer, button.window, button.x, button.y));
}

// Focus that moves to another client deactivates the application; moves caused
// by grabs, or to one of our own windows, do not.
void TranslateFocusOut(const Peer& peer, XFocusChangeEvent& focus) {
    if (focus.mode == NotifyGrab || focus.mode == NotifyUngrab) return;
    if (focus.detail == NotifyInferior || focus.detail == NotifyPointer) return;
    ::Window now = None;
    int revert = 0;
    XGetInputFocus(x11.display, &now, &revert);
    if (now == None || now == PointerRoot || IsOurXWindow(now)) return;
    emu::QueueMessage(peer.handle, WM_ACTIVATEAPP, 0, 0);
}

void ScheduleDestroy(Peer& peer, bool closeFirst) {
    if (peer.gone) return;
    peer.gone = true;
    bool afterClose = closeFirst && PostMessageA(peer.handle, WM_CLOSE, 0, 0);
    if (x11.pendingDestroyCount < kMaxPeers) x11.pendingDestroy[x11.pendingDestroyCount++] = {peer.handle, afterClose};
}

// A preview parent that is destroyed takes our window with it. A window that
// another client destroys (Win32 never lets one) is first closed as the close
// button closes it, so that each window procedure ends the way its close rules
// say, and then destroyed.
void TranslateDestroy(XDestroyWindowEvent& destroyed) {
    if (destroyed.window == DaemonWindow()) NoteDaemonWindowGone();
    for (Peer& peer : x11.peers) {
        if (!peer.handle) continue;
        if (peer.outer == destroyed.window) {
            ScheduleDestroy(peer, true);
        } else if (peer.foreignParent != None && peer.foreignParent == destroyed.window) {
            ScheduleDestroy(peer, false);
        }
    }
}

void TranslateConfigure(Peer& peer, XConfigureEvent& configure) {
    if (configure.window != peer.outer) return;
    if (configure.width == peer.outerWidth && configure.height == peer.outerHeight) return;
    peer.outerWidth = configure.width;
    peer.outerHeight = configure.height;
    ResizeGlChild(peer);
    int top = peer.hasBar ? x11.barHeight : 0;
    emu::NativeResized(peer.handle, configure.x, configure.y, configure.width, configure.height - top);
}

}  // namespace

void TranslateEvent(XEvent& event) {
    if (event.type == DestroyNotify) {
        TranslateDestroy(event.xdestroywindow);
        return;
    }
    if (event.type == MapNotify || event.type == UnmapNotify) RecheckVisibility();
    if (TranslateVisibility(event)) return;
    if (DaemonHandlesEvent(event)) return;
    if (MenuBarHandlesEvent(event)) return;
    Peer* peer = PeerOfXWindow(event.xany.window);
    if (!peer || peer->gone) return;
    switch (event.type) {
        case KeyPress:
        case KeyRelease:
            TranslateKey(*peer, event.xkey, event.type == KeyPress);
            break;
        case ButtonPress:
        case ButtonRelease:
            TranslateButton(*peer, event.xbutton, event.type == ButtonPress);
            break;
        case MotionNotify:
            emu::QueueMessage(peer->handle, WM_MOUSEMOVE, MouseKeys(event.xmotion.state),
                              ClientPoint(*peer, event.xmotion.window, event.xmotion.x, event.xmotion.y));
            break;
        case FocusOut:
            TranslateFocusOut(*peer, event.xfocus);
            break;
        case Expose:
            if (event.xexpose.window == peer->outer && peer->hasBar) {
                if (event.xexpose.count == 0) PaintMenuBar(*peer);
            } else {
                emu::InvalidateWindow(peer->handle);
            }
            break;
        case ConfigureNotify:
            TranslateConfigure(*peer, event.xconfigure);
            break;
        case ClientMessage:
            if (event.xclient.message_type == x11.wmProtocols &&
                static_cast<Atom>(event.xclient.data.l[0]) == x11.wmDeleteWindow) {
                emu::QueueMessage(peer->handle, WM_CLOSE, 0, 0);
            }
            break;
        default:
            break;
    }
}

}  // namespace plat
