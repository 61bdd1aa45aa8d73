// The X11 entries of the Linux programs' window-system table, member by member.
#include "platform/linux/window_system.h"
#include "platform/x11/state.h"

namespace plat {

const WindowSystem x11WindowSystem = {
    .name = "x11",
    .start = X11Start,
    .poll = emu::X11Poll,
    .wait = emu::X11Wait,
    .displayAsleep = emu::X11DisplayAsleep,
    .createWindow = emu::X11CreateWindow,
    .destroyWindow = emu::X11DestroyWindow,
    .showWindow = emu::X11ShowWindow,
    .setForeground = emu::X11SetForeground,
    .menuChanged = emu::X11MenuChanged,
    .setCursorHidden = emu::X11SetCursorHidden,
    .isForeignWindow = emu::X11IsForeignWindow,
    .foreignClientRect = emu::X11ForeignClientRect,
    .postForeign = emu::X11PostForeign,
    .findForeignWindow = emu::X11FindForeignWindow,
    .setForegroundForeign = emu::X11SetForegroundForeign,
    .foregroundWindow = emu::X11ForegroundWindow,
    .getSystemMetrics = X11GetSystemMetrics,
    .getCursorPos = X11GetCursorPos,
    .getClipBox = X11GetClipBox,
    .choosePixelFormat = X11ChoosePixelFormat,
    .setPixelFormat = X11SetPixelFormat,
    .describePixelFormat = X11DescribePixelFormat,
    .createContext = X11CreateContext,
    .makeCurrent = X11MakeCurrent,
    .deleteContext = X11DeleteContext,
    .swapBuffers = X11SwapBuffers,
    .messageBox = X11MessageBox,
    .exitProcess = X11ExitProcess,
};

}  // namespace plat
