// The one line the Linux programs print for a switch the shell refuses, where
// the shell itself only exits with its bad-command-line status.
#pragma once

#include <cstddef>

namespace plat {

// The argument that holds the shell's mode letter when that letter names no
// mode: after the blanks and control bytes that follow the program name, the
// first byte of the arguments (joined by blanks) that is not ' ', '-' or '/',
// when it is none of s, p, l, c, a in either case. Null when there is no such
// byte or it names a mode.
const char* UnknownSwitch(int argc, const char* const* argv);

// "<program>: unknown option '<argument>'; see <program> --help", one line
// without newline, control bytes written as '?', cut to fit the buffer.
void WriteUnknownSwitchLine(char* buffer, std::size_t size, const char* program, const char* argument);

}  // namespace plat
