#include "platform/linux/command_line_text.h"

#include <cstring>

namespace plat {

// The shell skips the program name either up to the next double quote, when the
// name starts with one, or over every byte above the blank; there is no escape
// inside the quotes. A path such as `/home/q"x y/amber` fits neither rule, so
// it is written as this placeholder: the shell never reads the name, only where
// it ends, and the path stays available from /proc/self/exe.
const char kProgramPlaceholder[] = "saver";

namespace {

struct Writer {
    char* buffer;
    std::size_t size;  // 0: only count
    std::size_t length;
    bool cut;
};

void Append(Writer& writer, const char* text, std::size_t count) {
    if (writer.size == 0) {
        writer.length += count;
        return;
    }
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

bool HoldsBlankOrControl(const char* text) {
    for (; *text != '\0'; ++text)
        if (static_cast<unsigned char>(*text) <= ' ') return true;
    return false;
}

void AppendProgram(Writer& writer, const char* program) {
    if (program[0] != '"' && !HoldsBlankOrControl(program)) {
        Append(writer, program);
    } else if (std::strchr(program, '"') == nullptr) {
        Append(writer, "\"");
        Append(writer, program);
        Append(writer, "\"");
    } else {
        Append(writer, kProgramPlaceholder);
    }
}

void Write(Writer& writer, int argc, const char* const* argv) {
    AppendProgram(writer, argc > 0 && argv[0] ? argv[0] : "");
    for (int i = 1; i < argc; ++i) {
        Append(writer, " ");
        if (argv[i]) Append(writer, argv[i]);
    }
}

}  // namespace

std::size_t CommandLineSize(int argc, const char* const* argv) {
    Writer counter{nullptr, 0, 0, false};
    Write(counter, argc, argv);
    return counter.length + 1;
}

bool BuildCommandLine(int argc, const char* const* argv, char* buffer, std::size_t size) {
    if (!buffer || size == 0) return false;
    buffer[0] = '\0';
    Writer writer{buffer, size, 0, false};
    Write(writer, argc, argv);
    return !writer.cut;
}

}  // namespace plat
