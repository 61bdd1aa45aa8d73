#include "tests/reliability/command_line_oracle.h"

#include <algorithm>

namespace oracle {

namespace {

unsigned char At(const std::string& text, std::size_t i) {
    return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
}

// The arguments start after the program name and the bytes 1..32 behind it.
std::size_t ArgumentStart(const std::string& text) {
    std::size_t i = 0;
    if (At(text, 0) == '"') {
        i = 1;
        while (At(text, i) != 0 && At(text, i) != '"') ++i;
        if (At(text, i) == '"') ++i;
    } else {
        while (At(text, i) > 32) ++i;
    }
    while (At(text, i) >= 1 && At(text, i) <= 32) ++i;
    return i;
}

// Decimal digits from i, wrapping in 32 bits; none gives 0.
std::uint32_t Number(const std::string& text, std::size_t i) {
    std::uint64_t value = 0;
    while (At(text, i) >= '0' && At(text, i) <= '9') {
        value = (value * 10 + (At(text, i) - '0')) & 0xFFFFFFFFu;
        ++i;
    }
    return static_cast<std::uint32_t>(value);
}

bool Exists(const World& world, std::uint32_t handle) {
    return handle != 0 && std::find(world.windows.begin(), world.windows.end(), handle) != world.windows.end();
}

std::size_t SkipBlanks(const std::string& text, std::size_t i) {
    while (At(text, i) == ' ') ++i;
    return i;
}

}  // namespace

Outcome Expect(const std::string& commandLine, const World& world) {
    // The text ends at its first NUL, as a C string does.
    const std::string text = commandLine.substr(0, commandLine.find('\0'));
    for (std::size_t i = ArgumentStart(text);; ++i) {
        const unsigned char c = At(text, i);
        switch (c) {
            case 0:
                return {Mode::Configure, 0, world.foreground};
            case ' ':
            case '-':
            case '/':
                continue;
            case 's':
            case 'S':
                return {Mode::FullScreen, 0, 0};
            case 'p':
            case 'P':
            case 'l':
            case 'L': {
                const std::uint32_t handle = Number(text, SkipBlanks(text, i + 1));
                if (!Exists(world, handle)) return {Mode::Refused, -1, 0};
                return {Mode::Preview, 0, handle};
            }
            case 'c':
            case 'C': {
                std::uint32_t parent = world.foreground;
                if (world.configureParentSwitch && At(text, i + 1) == ':') {
                    const std::uint32_t handle = Number(text, i + 2);
                    if (Exists(world, handle)) parent = handle;
                }
                return {Mode::Configure, 0, parent};
            }
            case 'a':
            case 'A': {
                if (!world.win9xFamily) return {Mode::Refused, -1, 0};
                const std::uint32_t handle = Number(text, SkipBlanks(text, i + 1));
                return {Mode::ChangePassword, 0, Exists(world, handle) ? handle : world.foreground};
            }
            default:
                return {Mode::Refused, -1, 0};
        }
    }
}

const char* ModeName(Mode mode) {
    switch (mode) {
        case Mode::Configure:
            return "configure";
        case Mode::FullScreen:
            return "full screen";
        case Mode::Preview:
            return "preview";
        case Mode::ChangePassword:
            return "change password";
        case Mode::Refused:
            return "refused";
    }
    return "?";
}

}  // namespace oracle
