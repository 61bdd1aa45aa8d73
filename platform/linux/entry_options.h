// The Linux programs' entry options: those of the screen-saver daemons
// (XScreenSaver, MATE) and the program's own --help, --version, --fps, --x11 and
// --wayland, read from argv before the shell sees the Windows-style switches.
// Pure: no connection to any window system, no global state.
//
//   --root, -root              draw on $XSCREENSAVER_WINDOW, else the root window
//   --window-id ID, -window-id draw on window ID (decimal or 0x hex); wins over --root
//   $XSCREENSAVER_WINDOW       alone (no other argument) also selects daemon mode;
//                              set but empty, it counts as unset
//   --fps, -fps                show the frame rate; combines with every mode
//   --x11, --wayland           run on that window system (one of them; daemon
//                              mode is X11 only)
//   --lock                     lock the session (Wayland); with -f or --daemonize
//                              return once the session is locked
//   --lock-picture WxH         (the lock's own: a picture process for one output,
//                              platform/wayland/lock_picture.h; not in the usage)
//   --help, -help, -h          usage, exit 0
//   --version, -version        the version, exit 0
//
// Every other argument is left for the shell's Windows-style scan, unchanged.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat {

constexpr int kBadCommandLineStatus = 255;  // the shell's -1
constexpr int kMaxShellArguments = 64;
constexpr std::size_t kDaemonErrorMax = 200;
constexpr const char* kLockPictureOption = "--lock-picture";
constexpr int kLockPictureMaxSide = 16384;

enum class EntryAction {
    Shell,        // run the shell with shellArgv
    Daemon,       // run the shell's preview of the daemon's window
    Lock,         // lock the session (platform/wayland/lock.h); no shell
    LockPicture,  // draw the full-screen saver off screen for the lock (shellArgv: argv[0], "s")
    Help,         // print the usage, exit 0
    Version,      // print the version, exit 0
    Error,        // print `error`, exit with the bad-command-line status
};

enum class WindowIdResult { Ok, NotANumber, Overflow };

enum class WindowSystemOption { Any, X11, Wayland };

struct EntryOptions {
    EntryAction action;
    bool showFps;
    WindowSystemOption windowSystem;
    bool daemonize;                   // --lock: return once locked
    int pictureWidth, pictureHeight;  // --lock-picture
    bool useRoot;                     // daemon mode on the root window (no id given anywhere)
    std::uint32_t window;             // daemon mode: the window id; 0 with useRoot
    int shellArgc;                    // argv[0] and the arguments the shell scans
    const char* shellArgv[kMaxShellArguments];
    char error[kDaemonErrorMax];  // one line, without newline
};

// The arguments the shell scans: argv[0] and the Windows-style switches.
struct ShellArguments {
    int argc;
    const char* const* argv;
};

// "123", "0x600008", "0X1f": the id; no sign, no blanks, 32 bits at most.
WindowIdResult ParseWindowId(const char* text, std::uint32_t* id);

// Sorts argv into an action. `environmentWindow` is $XSCREENSAVER_WINDOW (null
// when unset; empty counts as unset). The strings of argv must outlive `options`.
void ReadEntryOptions(int argc, const char* const* argv, const char* environmentWindow, EntryOptions* options);

// The usage text, several lines ending with a newline.
void WriteUsage(char* buffer, std::size_t size, const char* program);

}  // namespace plat
