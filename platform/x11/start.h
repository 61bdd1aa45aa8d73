// The X11 start of the Linux programs' entry: see start.cpp.
#pragma once

#include "platform/linux/entry.h"
#include "platform/x11/daemon_options.h"

namespace plat {

// Makes X11 the window system and opens the display. In daemon mode the shell's
// arguments become the preview of the daemon's window. False, after one line on
// stderr and with the exit status in *status, when there is no X display.
bool StartX11(const EntryOptions& options, const char* program, ShellArguments* shell, int* status);

}  // namespace plat
