// The Win32-style command line text that GetCommandLineA returns, built from argv.
#pragma once

#include <cstddef>

namespace plat {

// Writes the program name (in double quotes when it contains a blank) and the
// arguments, each separated by one blank, into buffer (NUL-terminated, cut to
// fit). Returns false when the text had to be cut.
bool BuildCommandLine(int argc, const char* const* argv, char* buffer, std::size_t size);

}  // namespace plat
