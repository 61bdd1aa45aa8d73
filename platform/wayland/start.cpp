// The start of the Wayland window system (its table's `start`): loads the
// libraries and runs the supervisor (supervisor.h), or the session lock
// (lock.h) for --lock.
#include <cstdio>

#include "platform/wayland/libraries.h"
#include "platform/wayland/lock.h"
#include "platform/wayland/state.h"
#include "platform/wayland/supervisor.h"

namespace plat {

bool WaylandStart(const EntryOptions& options, const char* program, ShellArguments*, int* status) {
    if (options.action == EntryAction::Lock) {
        *status = RunLock(program, options.daemonize);
        return false;
    }
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
