// The one way every wait of a Wayland client here reads its connection, in the
// supervisor and in each saver process: in poll(), beside the descriptors of
// stop signals and channels, never inside the library, where a frozen
// compositor could hold the process and a signal would not wake it.
#pragma once

#include <poll.h>

#include "platform/wayland/protocols.h"

namespace plat {

// One turn: dispatches what is queued, flushes, polls the connection and the
// caller's descriptors for up to timeoutMs (< 0: no limit), then reads and
// dispatches what came. fds[0] is the connection's, filled here; fds[1] to
// fds[count - 1] are the caller's, with their revents set for it. False when
// the connection failed or was closed (wl_display_get_error may say why).
bool ReadDisplayTurn(wl_display* display, pollfd* fds, nfds_t count, int timeoutMs);

enum class RoundTripResult {
    Done,      // the compositor has answered; every event before the answer was dispatched
    Stopped,   // `stopFd` became readable first (it is not read)
    TimedOut,  // no answer within the limit
    Failed,    // the connection failed (wl_display_get_error says why)
};

// A round trip that a frozen compositor cannot hold forever. `timeoutMs` < 0:
// no limit.
RoundTripResult WaitRoundTrip(wl_display* display, int stopFd, int timeoutMs);

}  // namespace plat
