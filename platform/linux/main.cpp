// Process entry of the Linux programs: sorts the daemons' options and the
// program's own (--help, --version, --fps, --x11, --wayland, --lock) from the
// Windows-style switches, chooses the window system once, starts it, keeps the
// command line for GetCommandLineA and hands over to the shell, which ends the
// process.
#include <cstdio>
#include <cstdlib>

#include "platform/linux/command_line_text.h"
#include "platform/linux/entry_options.h"
#include "platform/linux/system.h"
#include "platform/linux/unknown_switch.h"
#include "platform/linux/window_system.h"
#include "platform/linux/window_system_choice.h"
#include "platform/platform.h"
#include "platform/posix/startup_trace.h"

void SaverEntry();

namespace {

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
            return plat::kBadCommandLineStatus;
        case plat::EntryAction::Shell:
        case plat::EntryAction::Daemon:
        case plat::EntryAction::Lock:
        case plat::EntryAction::LockPicture:
            break;
    }
    // The shell refuses an unknown switch with its status alone; a terminal may be watching.
    if (options.action == plat::EntryAction::Shell) {
        if (const char* unknown = plat::UnknownSwitch(options.shellArgc, options.shellArgv)) {
            static char line[512];
            plat::WriteUnknownSwitchLine(line, sizeof line, program, unknown);
            std::fprintf(stderr, "%s\n", line);
            return plat::kBadCommandLineStatus;
        }
    }

    plat::ShellArguments shell = {options.shellArgc, options.shellArgv};
    const plat::WindowSystemChoice choice = plat::ChooseWindowSystem(options, std::getenv("WAYLAND_DISPLAY"));
    if (choice.refused) {
        std::fprintf(stderr, "%s: --wayland runs the full-screen saver (s) only; the other modes run on X11\n",
                     program);
        return plat::kBadCommandLineStatus;
    }
    const plat::WindowSystem& system = plat::WindowSystemOf(choice.kind);
    plat::UseWindowSystem(system);
    int status = 0;
    if (!system.start(options, program, &shell, &status)) return status;

    // Sized to fit: a cut command line could change what the shell reads.
    static char fallback[4096];
    std::size_t size = plat::CommandLineSize(shell.argc, shell.argv);
    char* commandLine = static_cast<char*>(std::malloc(size));
    if (!commandLine) {
        commandLine = fallback;
        size = sizeof fallback;
    }
    plat::BuildCommandLine(shell.argc, shell.argv, commandLine, size);
    plat::SetCommandLine(commandLine);
    SaverEntry();
    plat::ExitProcess(0);
}
