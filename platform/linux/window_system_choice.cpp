#include "platform/linux/window_system_choice.h"

namespace plat {

ModeSwitch FindModeSwitch(int argc, const char* const* argv) {
    // After the program name the command line's characters 1-32 are skipped,
    // then blanks, dashes and slashes; arguments are joined by one blank.
    bool leading = true;
    for (int i = 1; i < argc; ++i) {
        for (const char* p = argv[i]; p != nullptr && *p != '\0'; ++p) {
            const unsigned char c = static_cast<unsigned char>(*p);
            if (leading && c <= 32) continue;
            leading = false;
            if (c == ' ' || c == '-' || c == '/') continue;
            return {c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c), i};
        }
    }
    return {0, 0};
}

char ModeLetter(int argc, const char* const* argv) { return FindModeSwitch(argc, argv).letter; }

WindowSystemChoice ChooseWindowSystem(const EntryOptions& options, const char* waylandDisplay) {
    if (options.action == EntryAction::Lock) return {WindowSystemKind::Wayland, false};
    if (options.action == EntryAction::LockPicture) return {WindowSystemKind::LockPicture, false};
    if (options.action == EntryAction::Daemon || options.windowSystem == WindowSystemOption::X11)
        return {WindowSystemKind::X11, false};
    const bool saver = ModeLetter(options.shellArgc, options.shellArgv) == 's';
    if (options.windowSystem == WindowSystemOption::Wayland) return {WindowSystemKind::Wayland, !saver};
    const bool session = waylandDisplay != nullptr && waylandDisplay[0] != '\0';
    return {saver && session ? WindowSystemKind::Wayland : WindowSystemKind::X11, false};
}

}  // namespace plat
