// The window systems a Linux program can run on: the one file that links the
// entry to both tables.
#include "platform/linux/window_system.h"
#include "platform/linux/window_system_choice.h"

namespace plat {

const WindowSystem& WindowSystemOf(WindowSystemKind kind) {
    return kind == WindowSystemKind::Wayland ? waylandWindowSystem : x11WindowSystem;
}

}  // namespace plat
