// The lock picture process's window system beside GL: one full-screen saver
// window the picture's size, a screen of that size, no input and no other
// program's windows; the wait sleeps on the lock's channel, which hands slots
// back, until the next timer. While the lock holds both slots the compositor
// is not showing our frames yet, so the saver's timers rest (displayAsleep).
// The lock's end of the channel closing ends the process.
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdio>

#include "platform/wayland/picture_state.h"

namespace plat {

namespace {

void ReadChannel() {
    unsigned char message;
    for (;;) {
        const ssize_t count = recv(picture.channel, &message, 1, 0);
        if (count == 1) {
            if (message < kPictureSlots) picture.held[message] = true;
            continue;
        }
        if (count < 0 && (errno == EAGAIN || errno == EINTR)) return;
        PictureExitProcess(0);  // the lock is gone or done with us
    }
}

void WaitOnChannel(int timeoutMs) {
    pollfd channel = {picture.channel, POLLIN, 0};
    if (poll(&channel, 1, timeoutMs) > 0) ReadChannel();
}

}  // namespace

int HeldSlot() {
    for (int slot = 0; slot < kPictureSlots; ++slot) {
        if (picture.held[slot]) return slot;
    }
    return -1;
}

void HandOver(int slot) {
    picture.held[slot] = false;
    const unsigned char message = static_cast<unsigned char>(slot);
    if (send(picture.channel, &message, 1, MSG_NOSIGNAL) != 1 && errno != EAGAIN) PictureExitProcess(0);
}

int PictureGetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
        case SM_CXVIRTUALSCREEN:
            return picture.width;
        case SM_CYSCREEN:
        case SM_CYVIRTUALSCREEN:
            return picture.height;
        default:
            return 0;
    }
}

// The pointer rests at the centre: nothing moves it.
BOOL PictureGetCursorPos(POINT* point) {
    if (point == nullptr) return 0;
    *point = POINT{picture.width / 2, picture.height / 2};
    return 1;
}

int PictureGetClipBox(HDC dc, RECT* rect) {
    return emu::ClipBoxOf(dc, RECT{0, 0, picture.width, picture.height}, rect);
}

int PictureMessageBox(HWND, const char* text, const char* caption, UINT) {
    constexpr int IDOK = 1;
    picture.failed = true;
    std::fprintf(stderr, "%s: %s: %s\n", picture.program, caption ? caption : "", text ? text : "");
    return IDOK;
}

namespace emu {

void PicturePoll() { WaitOnChannel(0); }
void PictureWait(DWORD timeoutMs) { WaitOnChannel(static_cast<int>(timeoutMs)); }
bool PictureDisplayAsleep() { return HeldSlot() < 0; }

void PictureCreateWindow(Window& window) {
    window.native = 0;
    const bool fullScreen = window.parent == nullptr && (window.style & WS_POPUP) != 0;
    if (!fullScreen || picture.window != nullptr) return;
    picture.window = window.handle;
    window.x = 0;
    window.y = 0;
    window.width = picture.width;
    window.height = picture.height;
    window.native = 1;
}

void PictureDestroyWindow(Window& window) {
    window.native = 0;
    if (window.handle == picture.window) picture.window = nullptr;
}

void PictureShowWindow(Window&, bool) {}
void PictureSetForeground(Window&) {}
void PictureMenuChanged(Window&) {}
void PictureSetCursorHidden(bool) {}
bool PictureIsForeignWindow(HWND) { return false; }
bool PictureForeignClientRect(HWND, RECT*) { return false; }
BOOL PicturePostForeign(HWND, UINT, WPARAM, LPARAM) { return 0; }
HWND PictureFindForeignWindow(const char*, const char*) { return nullptr; }
BOOL PictureSetForegroundForeign(HWND) { return 0; }
HWND PictureForegroundWindow() { return picture.window; }

}  // namespace emu
}  // namespace plat
