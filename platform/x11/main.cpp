// Process entry of the X11 programs: opens the display, keeps the command line
// for GetCommandLineA and hands over to the shell, which ends the process.
#include <cstdio>
#include <cstdlib>

#include "platform/x11/command_line_text.h"
#include "platform/x11/x11_platform.h"

void SaverEntry();

int main(int argc, char** argv) {
    // Sized to fit: a cut command line could change what the shell reads.
    static char fallback[4096];
    std::size_t size = plat::CommandLineSize(argc, argv);
    char* commandLine = static_cast<char*>(std::malloc(size));
    if (!commandLine) {
        commandLine = fallback;
        size = sizeof fallback;
    }
    plat::BuildCommandLine(argc, argv, commandLine, size);
    plat::SetCommandLine(commandLine);
    if (!plat::OpenDisplay()) {
        std::fprintf(stderr, "%s: cannot open the X display\n", argc > 0 ? argv[0] : "saver");
        return 1;
    }
    SaverEntry();
    plat::ExitProcess(0);
}
