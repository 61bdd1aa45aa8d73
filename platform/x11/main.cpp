// Process entry of the X11 programs: sorts the daemons' options and the
// program's own (--help, --version, --fps) from the Windows-style switches,
// opens the display, keeps the command line for GetCommandLineA and hands over
// to the shell, which ends the process. Daemon mode runs the shell's preview
// ("p <decimal id>") of the daemon's window.
#include <cstdio>
#include <cstdlib>

#include "platform/posix/startup_trace.h"
#include "platform/x11/command_line_text.h"
#include "platform/x11/daemon_mode.h"
#include "platform/x11/daemon_options.h"
#include "platform/x11/fps_overlay.h"
#include "platform/x11/state.h"

void SaverEntry();

namespace {

constexpr int kBadCommandLine = 255;  // the shell's -1

const char* ProgramName(const char* path) {
    const char* name = path != nullptr ? path : "saver";
    for (const char* p = name; *p != '\0'; ++p) {
        if (*p == '/' && p[1] != '\0') name = p + 1;
    }
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    plat::NoteStartupStep(plat::StartupStep::Entry);
    const char* program = ProgramName(argc > 0 ? argv[0] : nullptr);
    static plat::EntryOptions options;
    plat::ReadEntryOptions(argc, argv, std::getenv("XSCREENSAVER_WINDOW"), &options);
    switch (options.action) {
        case plat::EntryAction::Help: {
            static char usage[2048];
            plat::WriteUsage(usage, sizeof usage, program);
            std::fputs(usage, stdout);
            std::printf("\n%s\n", SAVER_LICENCE_LINE);
            return 0;
        }
        case plat::EntryAction::Version:
            std::printf("%s %s\n", program, SAVER_VERSION);
            return 0;
        case plat::EntryAction::Error:
            std::fprintf(stderr, "%s\n", options.error);
            return kBadCommandLine;
        case plat::EntryAction::Shell:
        case plat::EntryAction::Daemon:
            break;
    }

    if (!plat::OpenDisplay()) {
        std::fprintf(stderr, "%s: cannot open the X display\n", program);
        return 1;
    }
    plat::NoteStartupStep(plat::StartupStep::Display);
    if (options.showFps) plat::EnableFpsOverlay();

    int shellArgc = options.shellArgc;
    const char* const* shellArgv = options.shellArgv;
    static char id[16];
    static const char* preview[3];
    if (options.action == plat::EntryAction::Daemon) {
        const ::Window window = options.useRoot ? plat::x11.root : static_cast<::Window>(options.window);
        if (!plat::BeginDaemonMode(window, program)) plat::ExitProcess(kBadCommandLine);
        std::snprintf(id, sizeof id, "%lu", static_cast<unsigned long>(plat::DaemonWindow()));
        preview[0] = options.shellArgv[0];
        preview[1] = "p";
        preview[2] = id;
        shellArgc = 3;
        shellArgv = preview;
    }
    // Sized to fit: a cut command line could change what the shell reads.
    static char fallback[4096];
    std::size_t size = plat::CommandLineSize(shellArgc, shellArgv);
    char* commandLine = static_cast<char*>(std::malloc(size));
    if (!commandLine) {
        commandLine = fallback;
        size = sizeof fallback;
    }
    plat::BuildCommandLine(shellArgc, shellArgv, commandLine, size);
    plat::SetCommandLine(commandLine);
    SaverEntry();
    plat::ExitProcess(0);
}
