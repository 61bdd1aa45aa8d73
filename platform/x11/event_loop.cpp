// The wait the emulated message loop runs on under X11: the process sleeps in
// select() on the X connection (and a stop signal's pipe) until an event arrives
// or the next timer is due, then translates what came (input.cpp).
#include <sys/select.h>

#include <ctime>

#include "platform/x11/daemon_mode.h"
#include "platform/x11/state.h"

namespace plat {

// The emulated layer destroys a window whose X window vanished; done after the
// events are read, never in the middle of translating one. A window with a
// queued WM_CLOSE waits until the loop has taken it: the next poll comes after
// its dispatch.
void ProcessPendingDestroys() {
    PendingDestroy pending[kMaxPeers];
    const int count = x11.pendingDestroyCount;
    for (int i = 0; i < count; ++i) pending[i] = x11.pendingDestroy[i];
    x11.pendingDestroyCount = 0;
    for (int i = 0; i < count; ++i) {
        if (!emu::LookupWindow(pending[i].window)) continue;  // its close handling destroyed it
        if (pending[i].afterClose && emu::IsMessageQueued(pending[i].window, WM_CLOSE)) {
            if (x11.pendingDestroyCount < kMaxPeers) x11.pendingDestroy[x11.pendingDestroyCount++] = pending[i];
            continue;
        }
        DestroyWindow(pending[i].window);
    }
}

namespace emu {

void X11Poll() {
    if (!x11.display) return;
    while (XPending(x11.display) > 0) {
        XEvent event;
        XNextEvent(x11.display, &event);
        TranslateEvent(event);
    }
    ProcessPendingDestroys();
    DaemonPoll();
}

void X11Wait(DWORD timeoutMs) {
    if (!x11.display) {
        timespec delay = {static_cast<time_t>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000) * 1000000L};
        nanosleep(&delay, nullptr);
        return;
    }
    XFlush(x11.display);
    if (XPending(x11.display) > 0) return;
    int fd = ConnectionNumber(x11.display);
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(fd, &readable);
    const int wake = DaemonWakeDescriptor();  // a stop signal ends the wait
    if (wake >= 0) FD_SET(wake, &readable);
    timeval timeout = {static_cast<time_t>(timeoutMs / 1000), static_cast<suseconds_t>(timeoutMs % 1000) * 1000};
    select((wake > fd ? wake : fd) + 1, &readable, nullptr, nullptr, &timeout);
}

}  // namespace emu
}  // namespace plat
