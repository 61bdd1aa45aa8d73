// A message box cannot be shown over a screen saver: its text goes to stderr
// and the exit status becomes 1.
#include <cstdio>

#include "platform/wayland/state.h"

namespace plat {

int WaylandMessageBox(HWND, const char* text, const char* caption, UINT) {
    constexpr int IDOK = 1;
    wayland.failed = true;
    std::fprintf(stderr, "%s: %s: %s\n", wayland.program, caption ? caption : "", text ? text : "");
    return IDOK;
}

}  // namespace plat
