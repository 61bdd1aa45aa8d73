// A round trip that a frozen compositor cannot hold forever: it waits in poll()
// on the connection and on a descriptor of stop signals, with an optional time
// limit, where wl_display_roundtrip would wait in the library and miss both.
#pragma once

#include "platform/wayland/protocols.h"

namespace plat {

enum class RoundTripResult {
    Done,      // the compositor has answered; every event before the answer was dispatched
    Stopped,   // `stopFd` became readable first (it is not read)
    TimedOut,  // no answer within the limit
    Failed,    // the connection failed (wl_display_get_error says why)
};

// `timeoutMs` < 0: no limit.
RoundTripResult WaitRoundTrip(wl_display* display, int stopFd, int timeoutMs);

}  // namespace plat
