// State of a lock picture process (lock_picture.h): the window system that
// runs the shell's full-screen saver off screen for the lock. One window of
// the given size, no input, no compositor: GL draws into an EGL pbuffer
// (picture_gl_surface.cpp) and each finished frame is copied into a slot the
// lock has handed over (picture_window.cpp keeps the channel).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/emulated/backend.h"
#include "platform/linux/entry_options.h"
#include "platform/wayland/lock_picture.h"

namespace plat {

struct PictureState {
    const char* program;
    int width, height;    // the picture in pixels: the screen and the saver window
    int channel;          // kPictureChannelFd
    std::uint8_t* slots;  // kPictureSlots frames in the shared memory
    std::size_t slotBytes;
    bool held[kPictureSlots];  // this process may draw into the slot
    HWND window;               // the saver window
    bool failed;               // a failure was reported: the exit status becomes 1
};

extern PictureState picture;

// picture_start.cpp
bool PictureStart(const EntryOptions& options, const char* program, ShellArguments* shell, int* status);
[[noreturn]] void PictureExitProcess(UINT code);

// picture_window.cpp
// The slot to draw the next frame into, or -1 while the lock holds both.
int HeldSlot();
// Hands the slot, holding a finished frame, to the lock.
void HandOver(int slot);

int PictureGetSystemMetrics(int index);
BOOL PictureGetCursorPos(POINT* point);
int PictureGetClipBox(HDC dc, RECT* rect);
int PictureMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// picture_gl_surface.cpp
int PictureChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd);
BOOL PictureSetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* pfd);
int PictureDescribePixelFormat(HDC dc, int format, UINT size, PIXELFORMATDESCRIPTOR* pfd);
HGLRC PictureCreateContext(HDC dc);
BOOL PictureMakeCurrent(HDC dc, HGLRC context);
BOOL PictureDeleteContext(HGLRC context);
BOOL PictureSwapBuffers(HDC dc);

namespace emu {
void PicturePoll();
void PictureWait(DWORD timeoutMs);
bool PictureDisplayAsleep();
void PictureCreateWindow(Window& window);
void PictureDestroyWindow(Window& window);
void PictureShowWindow(Window& window, bool visible);
void PictureSetForeground(Window& window);
void PictureMenuChanged(Window& window);
void PictureSetCursorHidden(bool hidden);
bool PictureIsForeignWindow(HWND window);
bool PictureForeignClientRect(HWND window, RECT* rect);
BOOL PicturePostForeign(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HWND PictureFindForeignWindow(const char* className, const char* title);
BOOL PictureSetForegroundForeign(HWND window);
HWND PictureForegroundWindow();
}  // namespace emu

}  // namespace plat
