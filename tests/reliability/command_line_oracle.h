// What a whole command line must do, written from the command-line rules alone
// (the program name skipped, then the first option letter), without the shell's
// scanner: the reference that the fuzzers hold the real programs to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace oracle {

enum class Mode { Configure, FullScreen, Preview, ChangePassword, Refused };

struct World {
    bool win9xFamily;
    bool configureParentSwitch;          // amber's "c:<handle>"
    std::vector<std::uint32_t> windows;  // handles that name existing windows
    std::uint32_t foreground;            // the foreground window's handle
};

struct Outcome {
    Mode mode;
    int exitCode;
    std::uint32_t window;  // preview parent, password owner, configure parent; 0 none
};

Outcome Expect(const std::string& commandLine, const World& world);
const char* ModeName(Mode mode);

}  // namespace oracle
