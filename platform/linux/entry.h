// What the Linux programs' entry (main.cpp) shares with the window systems'
// start functions.
#pragma once

namespace plat {

constexpr int kBadCommandLineStatus = 255;  // the shell's -1

// The arguments the shell scans: argv[0] and the Windows-style switches.
struct ShellArguments {
    int argc;
    const char* const* argv;
};

}  // namespace plat
