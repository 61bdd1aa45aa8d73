// The X11 entries of the Linux programs' window-system table.
#include "platform/linux/window_system.h"
#include "platform/x11/state.h"

namespace plat {

const WindowSystem x11WindowSystem = {
    "x11",
    emu::X11TickMs,
    emu::X11Poll,
    emu::X11Wait,
    emu::X11DisplayAsleep,
    emu::X11CreateWindow,
    emu::X11DestroyWindow,
    emu::X11ShowWindow,
    emu::X11SetForeground,
    emu::X11MenuChanged,
    emu::X11SetCursorHidden,
    emu::X11IsForeignWindow,
    emu::X11ForeignClientRect,
    emu::X11PostForeign,
    emu::X11FindForeignWindow,
    emu::X11SetForegroundForeign,
    emu::X11ForegroundWindow,
    X11GetSystemMetrics,
    X11GetCursorPos,
    X11GetClipBox,
    X11ChoosePixelFormat,
    X11SetPixelFormat,
    X11DescribePixelFormat,
    X11CreateContext,
    X11MakeCurrent,
    X11DeleteContext,
    X11SwapBuffers,
    X11MessageBox,
    X11ExitProcess,
};

}  // namespace plat
