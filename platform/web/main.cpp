// Process entry of the web programs: one module instance runs one saver on one
// canvas. The page passes its settings as the module's arguments:
//
//   preview [--seed S] [--frames N]
//   full-screen [--seed S] [--frames N] [--cursor X,Y]
//
// "preview" runs the shell's preview of the canvas ("p 1"): the page's pointer
// and keys never reach it. "full-screen" runs the full-screen saver ("s"), which
// the page's key, button, pointer and focus events end by the shell's own rules;
// X,Y is the pointer on the screen when it starts. --seed S (0..1117) makes the
// clock read as the headless renderer's does with --seed S, so the same size and
// frame give the same picture; --frames N holds the saver still after frame N.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/web/page_bridge.h"
#include "platform/web/state.h"

void SaverEntry();

namespace {

constexpr int kBadArguments = 2;

// A decimal number in [min, max], optionally negative, nothing else.
bool ParseNumber(const char* text, long min, long max, int* value) {
    if (text == nullptr) return false;
    const bool negative = *text == '-';
    if (negative) ++text;
    if (*text == '\0' || std::strlen(text) > 9) return false;
    long v = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return false;
        v = v * 10 + (*c - '0');
    }
    if (negative) v = -v;
    if (v < min || v > max) return false;
    *value = static_cast<int>(v);
    return true;
}

// "X,Y" in screen pixels (a screen left of or above the primary one is negative).
bool ParsePoint(const char* text, int* x, int* y) {
    const char* comma = text != nullptr ? std::strchr(text, ',') : nullptr;
    if (comma == nullptr || comma - text > 10) return false;
    char first[11] = {};
    std::memcpy(first, text, static_cast<std::size_t>(comma - text));
    return ParseNumber(first, -65535, 65535, x) && ParseNumber(comma + 1, -65535, 65535, y);
}

bool ReadPageOptions(int argc, char** argv, web::PageOptions* options) {
    if (argc < 2) return false;
    if (std::strcmp(argv[1], "preview") == 0) {
        options->mode = web::RunMode::Preview;
    } else if (std::strcmp(argv[1], "full-screen") == 0) {
        options->mode = web::RunMode::FullScreen;
    } else {
        return false;
    }
    for (int i = 2; i < argc; i += 2) {
        const char* option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool ok;
        if (std::strcmp(option, "--seed") == 0) {
            ok = ParseNumber(value, 0, web::kMaxSeed, &options->seed);
        } else if (std::strcmp(option, "--frames") == 0) {
            ok = ParseNumber(value, 1, web::kMaxFrames, &options->frameLimit);
        } else if (std::strcmp(option, "--cursor") == 0) {
            ok = ParsePoint(value, &options->cursorX, &options->cursorY);
        } else {
            ok = false;
        }
        if (!ok) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (!ReadPageOptions(argc, argv, &web::state.options)) {
        web_show_message("Error",
                         "the page asked for no known run: preview or full-screen, then --seed 0..1117, "
                         "--frames N, --cursor X,Y");
        web_saver_ended(kBadArguments);
        return kBadArguments;
    }
    web::state.cursor = plat::POINT{web::state.options.cursorX, web::state.options.cursorY};
    char commandLine[32];
    if (web::state.options.mode == web::RunMode::FullScreen) {
        std::snprintf(commandLine, sizeof commandLine, "saver /s");
    } else {
        std::snprintf(commandLine, sizeof commandLine, "saver /p %u", static_cast<unsigned>(web::kCanvasWindow));
    }
    web::SetCommandLine(commandLine);
    SaverEntry();
    return 0;
}
