#include "platform/linux/unknown_switch.h"

#include <cstdio>
#include <cstring>

namespace plat {

namespace {

bool IsModeLetter(char c) { return c != '\0' && std::strchr("sSpPlLcCaA", c) != nullptr; }

}  // namespace

const char* UnknownSwitch(int argc, const char* const* argv) {
    bool leading = true;  // still in the blanks the shell skips after the program name
    for (int i = 1; i < argc; ++i) {
        for (const char* p = argv[i] != nullptr ? argv[i] : ""; *p != '\0'; ++p) {
            if (leading && static_cast<unsigned char>(*p) <= ' ') continue;
            leading = false;
            if (*p == ' ' || *p == '-' || *p == '/') continue;
            return IsModeLetter(*p) ? nullptr : argv[i];
        }
    }
    return nullptr;
}

void WriteUnknownSwitchLine(char* buffer, std::size_t size, const char* program, const char* argument) {
    if (size == 0) return;
    std::snprintf(buffer, size, "%s: unknown option '%s'; see %s --help", program, argument, program);
    for (char* p = buffer; *p != '\0'; ++p) {
        if (static_cast<unsigned char>(*p) < ' ' || *p == '\x7f') *p = '?';
    }
}

}  // namespace plat
