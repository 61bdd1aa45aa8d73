// The emulated layer's millisecond counter on Linux, for X11 and Wayland alike:
// the monotonic clock, which no change of the time of day moves.
#include <cstdint>
#include <ctime>

#include "platform/emulated/backend.h"

namespace plat {
namespace emu {

DWORD BackendTickMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::uint64_t ms =
        static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<DWORD>(ms);
}

}  // namespace emu
}  // namespace plat
