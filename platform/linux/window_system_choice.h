// Which window system a Linux program runs on. Pure: the entry passes the
// environment in.
//
// The lock (--lock) is Wayland; its picture processes (--lock-picture) draw off
// screen. Daemon mode (--root, --window-id,
// $XSCREENSAVER_WINDOW) is X11. Otherwise
// --x11 and --wayland decide; without them the full-screen saver ("s") runs on
// Wayland when $WAYLAND_DISPLAY is set and not empty, and every other mode
// (preview, windowed demo, password change, a bad switch) on X11.
#pragma once

#include "platform/linux/entry_options.h"

namespace plat {

enum class WindowSystemKind { X11, Wayland, LockPicture };

struct WindowSystemChoice {
    WindowSystemKind kind;
    bool refused;  // --wayland with a mode that only X11 runs
};

// The option letter the shell acts on, in lower case, read from the arguments
// as the shell reads the command line built from them (blanks, "-" and "/"
// skipped), and the argument that holds it; letter 0 when there is none.
struct ModeSwitch {
    char letter;
    int argument;  // index into argv; 0 when there is no letter
};
ModeSwitch FindModeSwitch(int argc, const char* const* argv);
char ModeLetter(int argc, const char* const* argv);

WindowSystemChoice ChooseWindowSystem(const EntryOptions& options, const char* waylandDisplay);

struct WindowSystem;
// The table of that kind (window_system.h); window_system_list.cpp, the one
// file that names both.
const WindowSystem& WindowSystemOf(WindowSystemKind kind);

}  // namespace plat
