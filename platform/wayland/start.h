// The Wayland start of the Linux programs' entry (platform/linux/main.cpp).
#pragma once

#include "platform/x11/daemon_options.h"

namespace plat {

// Loads the Wayland libraries and runs the supervisor (supervisor.h). Returns
// true in a saver process, with Wayland as the window system, ready for the
// shell's full-screen saver; false when the run is over or could not start,
// with the exit status in *status (after one line on stderr for a failure).
bool StartWayland(const EntryOptions& options, const char* program, int* status);

}  // namespace plat
