// The start of the X11 window system (its table's `start`): opens the display,
// turns on the --fps overlay, and in daemon mode takes the daemon's window,
// whose preview ("p <decimal id>") the shell then runs.
#include <cstdio>

#include "platform/linux/stop_signals.h"
#include "platform/posix/startup_trace.h"
#include "platform/x11/daemon_mode.h"
#include "platform/x11/fps_overlay.h"
#include "platform/x11/state.h"

namespace plat {

bool X11Start(const EntryOptions& options, const char* program, ShellArguments* shell, int* status) {
    // A daemon may stop the saver as soon as it has started it.
    if (options.action == EntryAction::Daemon) InstallStopSignals();
    if (!OpenDisplay()) {
        std::fprintf(stderr, "%s: cannot open the X display\n", program);
        *status = 1;
        return false;
    }
    NoteStartupStep(StartupStep::Display);
    if (options.showFps) EnableFpsOverlay();

    static char id[16];
    static const char* preview[3];
    if (options.action == EntryAction::Daemon) {
        const ::Window window = options.useRoot ? x11.root : static_cast<::Window>(options.window);
        if (!BeginDaemonMode(window, program)) ExitProcess(kBadCommandLineStatus);
        std::snprintf(id, sizeof id, "%lu", static_cast<unsigned long>(DaemonWindow()));
        preview[0] = options.shellArgv[0];
        preview[1] = "p";
        preview[2] = id;
        shell->argc = 3;
        shell->argv = preview;
    }
    return true;
}

}  // namespace plat
