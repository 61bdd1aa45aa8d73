// The Wayland entries of the Linux programs' window-system table.
#include "platform/linux/window_system.h"
#include "platform/wayland/state.h"

namespace plat {

const WindowSystem waylandWindowSystem = {
    "wayland",
    emu::WaylandTickMs,
    emu::WaylandPoll,
    emu::WaylandWait,
    emu::WaylandDisplayAsleep,
    emu::WaylandCreateWindow,
    emu::WaylandDestroyWindow,
    emu::WaylandShowWindow,
    emu::WaylandSetForeground,
    emu::WaylandMenuChanged,
    emu::WaylandSetCursorHidden,
    emu::WaylandIsForeignWindow,
    emu::WaylandForeignClientRect,
    emu::WaylandPostForeign,
    emu::WaylandFindForeignWindow,
    emu::WaylandSetForegroundForeign,
    emu::WaylandForegroundWindow,
    WaylandGetSystemMetrics,
    WaylandGetCursorPos,
    WaylandGetClipBox,
    WaylandChoosePixelFormat,
    WaylandSetPixelFormat,
    WaylandDescribePixelFormat,
    WaylandCreateContext,
    WaylandMakeCurrent,
    WaylandDeleteContext,
    WaylandSwapBuffers,
    WaylandMessageBox,
    WaylandExitProcess,
};

}  // namespace plat
