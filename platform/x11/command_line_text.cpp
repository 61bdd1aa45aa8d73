#include "platform/x11/command_line_text.h"

#include <cstring>

namespace plat {

namespace {

struct Writer {
    char* buffer;
    std::size_t size;
    std::size_t length;
    bool cut;
};

void Append(Writer& writer, const char* text, std::size_t count) {
    std::size_t room = writer.size - 1 - writer.length;
    if (count > room) {
        count = room;
        writer.cut = true;
    }
    std::memcpy(writer.buffer + writer.length, text, count);
    writer.length += count;
    writer.buffer[writer.length] = '\0';
}

void Append(Writer& writer, const char* text) { Append(writer, text, std::strlen(text)); }

}  // namespace

bool BuildCommandLine(int argc, const char* const* argv, char* buffer, std::size_t size) {
    if (!buffer || size == 0) return false;
    buffer[0] = '\0';
    Writer writer{buffer, size, 0, false};
    const char* program = argc > 0 && argv[0] ? argv[0] : "";
    bool quote = std::strchr(program, ' ') != nullptr;
    if (quote) Append(writer, "\"");
    Append(writer, program);
    if (quote) Append(writer, "\"");
    for (int i = 1; i < argc; ++i) {
        Append(writer, " ");
        if (argv[i]) Append(writer, argv[i]);
    }
    return !writer.cut;
}

}  // namespace plat
