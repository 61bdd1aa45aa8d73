#include "platform/wayland/round_trip.h"

#include <poll.h>

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

RoundTripResult WaitRoundTrip(wl_display* display, int stopFd, int timeoutMs) {
    bool done = false;
    wl_callback* callback = wl_display_sync(display);
    if (callback == nullptr) return RoundTripResult::Failed;
    wl_callback_add_listener(callback, &kSyncListener, &done);
    const long long deadline = NowMs() + timeoutMs;
    RoundTripResult result = RoundTripResult::Done;
    while (!done) {
        if (wlLib.displayPrepareRead(display) != 0) {
            if (wlLib.displayDispatchPending(display) < 0) result = RoundTripResult::Failed;
            if (result != RoundTripResult::Done) break;
            continue;
        }
        // A full socket (EAGAIN) is sent on a later turn, when poll says it may.
        const bool unsent = wlLib.displayFlush(display) < 0;
        if (unsent && errno != EAGAIN) {
            wlLib.displayCancelRead(display);
            result = RoundTripResult::Failed;
            break;
        }
        int wait = -1;
        if (timeoutMs >= 0) {
            const long long left = deadline - NowMs();
            wait = left > 0 ? static_cast<int>(left) : 0;
        }
        pollfd fds[2] = {{wlLib.displayGetFd(display), static_cast<short>(POLLIN | (unsent ? POLLOUT : 0)), 0},
                         {stopFd, POLLIN, 0}};
        const int ready = poll(fds, stopFd >= 0 ? 2 : 1, wait);
        if (ready < 0) {
            wlLib.displayCancelRead(display);
            if (errno == EINTR) continue;
            result = RoundTripResult::Failed;
            break;
        }
        if (ready > 0 && stopFd >= 0 && fds[1].revents != 0) {
            wlLib.displayCancelRead(display);
            result = RoundTripResult::Stopped;
            break;
        }
        if (ready == 0) {
            wlLib.displayCancelRead(display);
            result = RoundTripResult::TimedOut;
            break;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            if (wlLib.displayReadEvents(display) < 0) {
                result = RoundTripResult::Failed;
                break;
            }
        } else {
            wlLib.displayCancelRead(display);
        }
        if (wlLib.displayDispatchPending(display) < 0 || (fds[0].revents & (POLLERR | POLLHUP)) != 0) {
            if (!done) result = RoundTripResult::Failed;
            break;
        }
    }
    // An answer that comes after we gave up finds no listener.
    if (!done) wl_callback_destroy(callback);
    return result;
}

}  // namespace plat
