// The lock picture processes' entries of the Linux programs' window-system
// table, member by member.
#include "platform/linux/window_system.h"
#include "platform/wayland/picture_state.h"

namespace plat {

const WindowSystem lockPictureWindowSystem = {
    .name = "lock-picture",
    .start = PictureStart,
    .poll = emu::PicturePoll,
    .wait = emu::PictureWait,
    .displayAsleep = emu::PictureDisplayAsleep,
    .createWindow = emu::PictureCreateWindow,
    .destroyWindow = emu::PictureDestroyWindow,
    .showWindow = emu::PictureShowWindow,
    .setForeground = emu::PictureSetForeground,
    .menuChanged = emu::PictureMenuChanged,
    .setCursorHidden = emu::PictureSetCursorHidden,
    .isForeignWindow = emu::PictureIsForeignWindow,
    .foreignClientRect = emu::PictureForeignClientRect,
    .postForeign = emu::PicturePostForeign,
    .findForeignWindow = emu::PictureFindForeignWindow,
    .setForegroundForeign = emu::PictureSetForegroundForeign,
    .foregroundWindow = emu::PictureForegroundWindow,
    .getSystemMetrics = PictureGetSystemMetrics,
    .getCursorPos = PictureGetCursorPos,
    .getClipBox = PictureGetClipBox,
    .choosePixelFormat = PictureChoosePixelFormat,
    .setPixelFormat = PictureSetPixelFormat,
    .describePixelFormat = PictureDescribePixelFormat,
    .createContext = PictureCreateContext,
    .makeCurrent = PictureMakeCurrent,
    .deleteContext = PictureDeleteContext,
    .swapBuffers = PictureSwapBuffers,
    .messageBox = PictureMessageBox,
    .exitProcess = PictureExitProcess,
};

}  // namespace plat
