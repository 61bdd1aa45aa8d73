// The Wayland entries of the Linux programs' window-system table, member by member.
#include "platform/linux/window_system.h"
#include "platform/wayland/state.h"

namespace plat {

const WindowSystem waylandWindowSystem = {
    .name = "wayland",
    .start = WaylandStart,
    .poll = emu::WaylandPoll,
    .wait = emu::WaylandWait,
    .displayAsleep = emu::WaylandDisplayAsleep,
    .createWindow = emu::WaylandCreateWindow,
    .destroyWindow = emu::WaylandDestroyWindow,
    .showWindow = emu::WaylandShowWindow,
    .setForeground = emu::WaylandSetForeground,
    .menuChanged = emu::WaylandMenuChanged,
    .setCursorHidden = emu::WaylandSetCursorHidden,
    .isForeignWindow = emu::WaylandIsForeignWindow,
    .foreignClientRect = emu::WaylandForeignClientRect,
    .postForeign = emu::WaylandPostForeign,
    .findForeignWindow = emu::WaylandFindForeignWindow,
    .setForegroundForeign = emu::WaylandSetForegroundForeign,
    .foregroundWindow = emu::WaylandForegroundWindow,
    .getSystemMetrics = WaylandGetSystemMetrics,
    .getCursorPos = WaylandGetCursorPos,
    .getClipBox = WaylandGetClipBox,
    .choosePixelFormat = WaylandChoosePixelFormat,
    .setPixelFormat = WaylandSetPixelFormat,
    .describePixelFormat = WaylandDescribePixelFormat,
    .createContext = WaylandCreateContext,
    .makeCurrent = WaylandMakeCurrent,
    .deleteContext = WaylandDeleteContext,
    .swapBuffers = WaylandSwapBuffers,
    .messageBox = WaylandMessageBox,
    .exitProcess = WaylandExitProcess,
};

}  // namespace plat
