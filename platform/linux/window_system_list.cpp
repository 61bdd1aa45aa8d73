// The window systems a Linux program can run on: the one file that links the
// entry to every table.
#include "platform/linux/window_system.h"
#include "platform/linux/window_system_choice.h"

namespace plat {

const WindowSystem& WindowSystemOf(WindowSystemKind kind) {
    switch (kind) {
        case WindowSystemKind::Wayland:
            return waylandWindowSystem;
        case WindowSystemKind::LockPicture:
            return lockPictureWindowSystem;
        case WindowSystemKind::X11:
            break;
    }
    return x11WindowSystem;
}

}  // namespace plat
