// Whether anything the saver draws can be seen. Nothing can while every window
// we draw in (each peer's `gl`) is unmapped, has an unmapped ancestor or is
// covered completely by other windows: the emulated layer then holds the
// timers, as while the monitor sleeps (power_saving.cpp), so a saver draws
// nothing and its loop sleeps until the window shows again. Covering is what
// VisibilityNotify says of `gl`; the map state is asked of the server when a
// window we watch is mapped, unmapped or made, and every half second, since an
// ancestor's unmapping sends us no event.
#include "platform/x11/state.h"

namespace plat {

namespace {

constexpr DWORD kRecheckMs = 500;

struct VisibilityState {
    bool recheck;
    DWORD checkedAtMs;
};

VisibilityState visibility = {true, 0};

bool DrawnIn(const Peer& peer) { return peer.handle && !peer.gone && peer.gl != None; }

void AskMapStates() {
    for (Peer& peer : x11.peers) {
        if (!DrawnIn(peer)) continue;
        // A window that vanished is not viewable; its DestroyNotify follows.
        XWindowAttributes attributes;
        peer.viewable =
            XGetWindowAttributes(x11.display, peer.gl, &attributes) != 0 && attributes.map_state == IsViewable;
    }
}

}  // namespace

void RecheckVisibility() { visibility.recheck = true; }

bool TranslateVisibility(const XEvent& event) {
    if (event.type != VisibilityNotify) return false;
    for (Peer& peer : x11.peers) {
        if (DrawnIn(peer) && peer.gl == event.xvisibility.window) {
            peer.obscured = event.xvisibility.state == VisibilityFullyObscured;
        }
    }
    return true;
}

bool SaverWindowsHidden() {
    if (!x11.display) return false;
    const DWORD now = emu::BackendTickMs();
    if (visibility.recheck || now - visibility.checkedAtMs >= kRecheckMs) {
        visibility.recheck = false;
        visibility.checkedAtMs = now;
        AskMapStates();
    }
    bool drawing = false;
    for (const Peer& peer : x11.peers) {
        if (!DrawnIn(peer)) continue;
        if (peer.viewable && !peer.obscured) return false;
        drawing = true;
    }
    return drawing;
}

namespace emu {

bool X11DisplayAsleep() { return MonitorAsleep() || SaverWindowsHidden(); }

}  // namespace emu
}  // namespace plat
