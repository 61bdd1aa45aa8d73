#include "platform/wayland/start.h"

#include <cstdio>

#include "platform/wayland/libraries.h"
#include "platform/wayland/supervisor.h"

namespace plat {

bool StartWayland(const EntryOptions& options, const char* program, int* status) {
    BlockSupervisorSignals();
    if (options.showFps) std::fprintf(stderr, "%s: --fps shows the frame rate on X11 only\n", program);
    char error[512];
    if (!LoadWaylandLibraries(error, sizeof error)) {
        std::fprintf(stderr, "%s: %s\n", program, error);
        *status = 1;
        return false;
    }
    return Supervise(program, status);
}

}  // namespace plat
