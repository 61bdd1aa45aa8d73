#include "platform/wayland/read_loop.h"

#include <cerrno>
#include <ctime>

namespace plat {

namespace {

void OnSyncDone(void* data, wl_callback* callback, std::uint32_t) {
    *static_cast<bool*>(data) = true;
    wl_callback_destroy(callback);
}

const wl_callback_listener kSyncListener = {OnSyncDone};

long long NowMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

bool ReadDisplayTurn(wl_display* display, pollfd* fds, nfds_t count, int timeoutMs) {
    for (nfds_t i = 0; i < count; ++i) fds[i].revents = 0;
    while (wlLib.displayPrepareRead(display) != 0) {
        if (wlLib.displayDispatchPending(display) < 0) return false;
    }
    // A full socket (EAGAIN) is sent on a later turn, when poll says it may. A
    // compositor that closed the connection (EPIPE) leaves no display error.
    const bool unsent = wlLib.displayFlush(display) < 0;
    if (unsent && errno != EAGAIN) {
        wlLib.displayCancelRead(display);
        return false;
    }
    fds[0] = pollfd{wlLib.displayGetFd(display), static_cast<short>(POLLIN | (unsent ? POLLOUT : 0)), 0};
    if (poll(fds, count, timeoutMs) < 0) {
        wlLib.displayCancelRead(display);
        for (nfds_t i = 0; i < count; ++i) fds[i].revents = 0;
        return errno == EINTR;
    }
    if ((fds[0].revents & POLLIN) != 0) {
        if (wlLib.displayReadEvents(display) < 0) return false;
    } else {
        wlLib.displayCancelRead(display);
    }
    if (wlLib.displayDispatchPending(display) < 0) return false;
    return (fds[0].revents & (POLLERR | POLLHUP)) == 0;
}

RoundTripResult WaitRoundTrip(wl_display* display, int stopFd, int timeoutMs) {
    bool done = false;
    wl_callback* callback = wl_display_sync(display);
    if (callback == nullptr) return RoundTripResult::Failed;
    wl_callback_add_listener(callback, &kSyncListener, &done);
    const long long deadline = NowMs() + timeoutMs;
    RoundTripResult result = RoundTripResult::Done;
    while (!done) {
        int wait = -1;
        if (timeoutMs >= 0) {
            const long long left = deadline - NowMs();
            if (left <= 0) {
                result = RoundTripResult::TimedOut;
                break;
            }
            wait = static_cast<int>(left);
        }
        pollfd fds[2] = {{-1, 0, 0}, {stopFd, POLLIN, 0}};
        if (!ReadDisplayTurn(display, fds, stopFd >= 0 ? 2 : 1, wait)) {
            if (!done) result = RoundTripResult::Failed;
            break;
        }
        if (!done && stopFd >= 0 && fds[1].revents != 0) {
            result = RoundTripResult::Stopped;
            break;
        }
    }
    // An answer that comes after we gave up finds no listener.
    if (!done) wl_callback_destroy(callback);
    return result;
}

}  // namespace plat
