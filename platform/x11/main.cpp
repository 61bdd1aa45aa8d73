// Process entry of the X11 programs: opens the display, keeps the command line
// for GetCommandLineA and hands over to the shell, which ends the process.
#include <cstdio>

#include "platform/emulated/startup_trace.h"
#include "platform/x11/command_line_text.h"
#include "platform/x11/x11_platform.h"

void SaverEntry();

int main(int argc, char** argv) {
    plat::emu::NoteStartupStep(plat::emu::StartupStep::Entry);
    static char commandLine[4096];
    plat::BuildCommandLine(argc, argv, commandLine, sizeof commandLine);
    plat::SetCommandLine(commandLine);
    if (!plat::OpenDisplay()) {
        std::fprintf(stderr, "%s: cannot open the X display\n", argc > 0 ? argv[0] : "saver");
        return 1;
    }
    plat::emu::NoteStartupStep(plat::emu::StartupStep::Display);
    SaverEntry();
    plat::ExitProcess(0);
}
