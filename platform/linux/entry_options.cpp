#include "platform/linux/entry_options.h"

#include <cstdio>
#include <cstring>

namespace plat {

namespace {

bool Is(const char* argument, const char* longName) {
    // "--name" and the single-dash spelling "-name" that XScreenSaver uses.
    return std::strcmp(argument, longName) == 0 || std::strcmp(argument, longName + 1) == 0;
}

const char* ProgramName(const char* path) {
    if (path == nullptr || path[0] == '\0') return "saver";
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr && slash[1] != '\0' ? slash + 1 : path;
}

void Fail(EntryOptions* options, const char* program, const char* format, const char* text) {
    options->action = EntryAction::Error;
    int written = std::snprintf(options->error, sizeof options->error, "%s: ", program);
    if (written < 0 || static_cast<std::size_t>(written) >= sizeof options->error) return;
    std::snprintf(options->error + written, sizeof options->error - written, format, text);
}

// Reads a window id from `text` for `what` ("--window-id", "XSCREENSAVER_WINDOW");
// false after recording the error.
bool ReadWindowId(EntryOptions* options, const char* program, const char* what, const char* text) {
    char format[96];
    switch (ParseWindowId(text, &options->window)) {
        case WindowIdResult::Ok:
            return true;
        case WindowIdResult::NotANumber:
            std::snprintf(format, sizeof format, "%s \"%%s\" is not a window id (decimal or 0x hex)", what);
            break;
        case WindowIdResult::Overflow:
            std::snprintf(format, sizeof format, "%s \"%%s\" is too large for a window id", what);
            break;
    }
    Fail(options, program, format, text);
    return false;
}

// "WxH", each side 1 to kLockPictureMaxSide.
bool ReadPictureSize(const char* text, int* width, int* height) {
    int* side = width;
    *width = *height = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == 'x' && side == width && *width > 0 && c[1] != '\0') {
            side = height;
        } else if (*c >= '0' && *c <= '9') {
            *side = *side * 10 + (*c - '0');
            if (*side > kLockPictureMaxSide) return false;
        } else {
            return false;
        }
    }
    return side == height && *width > 0 && *height > 0;
}

}  // namespace

WindowIdResult ParseWindowId(const char* text, std::uint32_t* id) {
    if (text == nullptr || id == nullptr) return WindowIdResult::NotANumber;
    unsigned base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    if (*text == '\0') return WindowIdResult::NotANumber;
    std::uint64_t value = 0;
    bool overflow = false;
    for (; *text != '\0'; ++text) {
        const char c = *text;
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (base == 16 && c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (base == 16 && c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return WindowIdResult::NotANumber;
        }
        value = value * base + digit;
        if (value > 0xFFFFFFFFu) {
            overflow = true;
            value = 0;  // keep reading: a letter later still makes it not a number
        }
    }
    if (overflow) return WindowIdResult::Overflow;
    *id = static_cast<std::uint32_t>(value);
    return WindowIdResult::Ok;
}

void ReadEntryOptions(int argc, const char* const* argv, const char* environmentWindow, EntryOptions* options) {
    std::memset(options, 0, sizeof *options);
    options->action = EntryAction::Shell;
    const char* program = ProgramName(argc > 0 ? argv[0] : nullptr);
    options->shellArgv[options->shellArgc++] = argc > 0 && argv[0] != nullptr ? argv[0] : "";

    // The lock starts its picture processes with exactly this; a user has no use for it.
    if (argc >= 2 && argv[1] != nullptr && std::strcmp(argv[1], kLockPictureOption) == 0) {
        if (argc != 3 || argv[2] == nullptr ||
            !ReadPictureSize(argv[2], &options->pictureWidth, &options->pictureHeight)) {
            Fail(options, program, "%s is started by --lock only", kLockPictureOption);
            return;
        }
        options->action = EntryAction::LockPicture;
        options->shellArgv[options->shellArgc++] = "s";
        return;
    }

    bool root = false;
    bool lock = false;
    const char* windowText = nullptr;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i] != nullptr ? argv[i] : "";
        if (Is(argument, "--help") || std::strcmp(argument, "-h") == 0) {
            options->action = EntryAction::Help;
            return;
        }
        if (Is(argument, "--version")) {
            options->action = EntryAction::Version;
            return;
        }
        if (Is(argument, "--fps")) {
            options->showFps = true;
        } else if (Is(argument, "--x11") || Is(argument, "--wayland")) {
            const WindowSystemOption chosen =
                Is(argument, "--x11") ? WindowSystemOption::X11 : WindowSystemOption::Wayland;
            if (options->windowSystem != WindowSystemOption::Any && options->windowSystem != chosen) {
                Fail(options, program, "%s", "--x11 and --wayland do not go together");
                return;
            }
            options->windowSystem = chosen;
        } else if (std::strcmp(argument, kLockPictureOption) == 0) {
            Fail(options, program, "%s is started by --lock only", kLockPictureOption);
            return;
        } else if (Is(argument, "--lock")) {
            lock = true;
        } else if (std::strcmp(argument, "-f") == 0 || Is(argument, "--daemonize")) {
            options->daemonize = true;
        } else if (Is(argument, "--root")) {
            root = true;
        } else if (Is(argument, "--window-id")) {
            if (i + 1 >= argc || argv[i + 1] == nullptr) {
                Fail(options, program, "%s needs a window id", "--window-id");
                return;
            }
            windowText = argv[++i];
        } else if (std::strncmp(argument, "--window-id=", 12) == 0) {
            windowText = argument + 12;
        } else if (options->shellArgc < kMaxShellArguments) {
            options->shellArgv[options->shellArgc++] = argument;
        } else {
            Fail(options, program, "too many arguments (%s)", "the limit is 63");
            return;
        }
    }

    if (options->daemonize && !lock) {
        Fail(options, program, "%s", "-f and --daemonize go with --lock only");
        return;
    }
    if (lock) {
        if (options->shellArgc > 1) {
            Fail(options, program, "\"%s\" does not go with --lock", options->shellArgv[1]);
        } else if (root || windowText != nullptr) {
            Fail(options, program, "%s", "--lock does not go with --root or --window-id");
        } else if (options->windowSystem == WindowSystemOption::X11) {
            Fail(options, program, "%s", "--lock runs on Wayland only");
        } else {
            options->action = EntryAction::Lock;
        }
        return;
    }

    // Set but empty is how a daemon's environment says "no window": as unset.
    if (environmentWindow != nullptr && environmentWindow[0] == '\0') environmentWindow = nullptr;
    const bool hasShellArguments = options->shellArgc > 1;
    const bool environmentAlone = environmentWindow != nullptr && !hasShellArguments;
    if (windowText == nullptr && !root && !environmentAlone) return;  // the Windows-style modes
    if (hasShellArguments) {
        Fail(options, program, "\"%s\" does not go with --root, --window-id or $XSCREENSAVER_WINDOW",
             options->shellArgv[1]);
        return;
    }
    if (options->windowSystem == WindowSystemOption::Wayland) {
        Fail(options, program, "%s", "--wayland does not go with --root, --window-id or $XSCREENSAVER_WINDOW");
        return;
    }
    options->action = EntryAction::Daemon;
    if (windowText != nullptr) {
        ReadWindowId(options, program, "--window-id", windowText);
    } else if (environmentWindow != nullptr) {
        ReadWindowId(options, program, "XSCREENSAVER_WINDOW", environmentWindow);
    } else {
        options->useRoot = true;
    }
}

void WriteUsage(char* buffer, std::size_t size, const char* program) {
    if (buffer == nullptr || size == 0) return;
    const char* name = ProgramName(program);
    std::snprintf(buffer, size,
                  "Usage: %s [--x11 | --wayland] [s | p ID | l ID | c | a ID]\n"
                  "       %s --root | --window-id ID [--fps]\n"
                  "       %s --lock [-f | --daemonize]\n"
                  "\n"
                  "Screen-saver switches (as on Windows; a leading - or / is allowed):\n"
                  "  s            full-screen saver; a key, a click or mouse travel ends it\n"
                  "  p ID, l ID   preview inside the window with decimal id ID\n"
                  "  c, nothing   the saver in an ordinary window\n"
                  "  a ID         password change (Windows 95/98/Me only)\n"
                  "\n"
                  "Window system:\n"
                  "  s runs on Wayland when $WAYLAND_DISPLAY is set, every other mode on X11\n"
                  "  --x11, --wayland   run on that one (--wayland: s only)\n"
                  "\n"
                  "Lock screen (Wayland, ext-session-lock-v1; the password is checked by PAM):\n"
                  "  --lock             lock the session; the user's password unlocks it\n"
                  "  -f, --daemonize    return (status 0) once the session is locked\n"
                  "\n"
                  "Daemon options (XScreenSaver, MATE):\n"
                  "  --root             draw on $XSCREENSAVER_WINDOW, else on the root window\n"
                  "  --window-id ID     draw on window ID (decimal or 0x hex)\n"
                  "  $XSCREENSAVER_WINDOW alone also draws on that window\n"
                  "  --fps              show the frame rate in a corner (with every mode)\n"
                  "  --help, --version  this text, the version\n",
                  name, name, name);
}

}  // namespace plat
