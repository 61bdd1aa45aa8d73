// The Win32-style command line text that GetCommandLineA returns, built from argv.
#pragma once

#include <cstddef>

namespace plat {

// The name written in place of a program path that cannot be quoted.
extern const char kProgramPlaceholder[];

// Bytes BuildCommandLine needs for these arguments, the terminating NUL included.
std::size_t CommandLineSize(int argc, const char* const* argv);

// Writes the program name and the arguments, each separated by one blank, into
// buffer (NUL-terminated, cut to fit), so that the shell's scanner, which skips
// the program name by the Win32 rule, finds the arguments exactly as given. The
// name goes in double quotes when it holds a byte up to the blank or starts with
// a quote, and is replaced by kProgramPlaceholder when it holds a double quote
// besides. Returns false when the text had to be cut.
bool BuildCommandLine(int argc, const char* const* argv, char* buffer, std::size_t size);

}  // namespace plat
