#include "platform/linux/unknown_switch.h"

#include <cstdio>
#include <cstring>

#include "platform/linux/window_system_choice.h"

namespace plat {

const char* UnknownSwitch(int argc, const char* const* argv) {
    const ModeSwitch mode = FindModeSwitch(argc, argv);
    if (mode.letter == 0 || std::strchr("splca", mode.letter) != nullptr) return nullptr;
    return argv[mode.argument];
}

void WriteUnknownSwitchLine(char* buffer, std::size_t size, const char* program, const char* argument) {
    if (size == 0) return;
    std::snprintf(buffer, size, "%s: unknown option '%s'; see %s --help", program, argument, program);
    for (char* p = buffer; *p != '\0'; ++p) {
        if (static_cast<unsigned char>(*p) < ' ' || *p == '\x7f') *p = '?';
    }
}

}  // namespace plat
