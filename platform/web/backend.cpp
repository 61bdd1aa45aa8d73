// The web backend beneath the emulated window system: the page's clock, its events
// delivered as the loop polls, and the wait that hands the browser its turn.
//
// The shell's message loop blocks in GetMessageA; a page must not. Built with
// ASYNCIFY, BackendWait sleeps with emscripten_sleep: the program's stack is put
// aside, the browser runs its own events and paints, and the loop resumes when
// the emulated timer is due. So frames keep the timer's 10 ms pace, as elsewhere,
// and the core stays as it is. A loop that never waits (frames slower than the
// timer) still yields once per frame in BackendPoll.
#include <emscripten.h>

#include "platform/web/page_bridge.h"
#include "platform/web/state.h"

namespace web {

State state;

namespace {

// The window that page input goes to: the newest visible emulated window.
plat::HWND InputWindow() {
    plat::HWND newest = nullptr;
    plat::emu::ForEachWindow(
        [](plat::emu::Window& w, void* context) {
            if (w.visible) *static_cast<plat::HWND*>(context) = w.handle;
            return true;
        },
        &newest);
    return newest;
}

// The saver's windows cover the canvas: a new canvas size is a new screen size.
void FollowCanvas(int width, int height) {
    struct Size {
        int width, height;
    } size = {width, height};
    plat::emu::ForEachWindow(
        [](plat::emu::Window& w, void* context) {
            const Size* s = static_cast<const Size*>(context);
            const bool coversScreen = w.parent == nullptr && (w.style & plat::WS_POPUP) != 0;
            if (w.parent == CanvasWindow() || coversScreen)
                plat::emu::NativeResized(w.handle, 0, 0, s->width, s->height);
            return true;
        },
        &size);
}

void Deliver(const WebEvent& event) {
    using namespace plat;
    static const UINT kDown[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static const WPARAM kKeys[3] = {emu::MK_LBUTTON, emu::MK_RBUTTON, emu::MK_MBUTTON};
    if (event.kind == kWebEventResize) {
        FollowCanvas(event.a, event.b);
        return;
    }
    HWND target = InputWindow();
    if (target == nullptr) return;
    switch (event.kind) {
        case kWebEventKey:
            PostMessageA(target, WM_KEYDOWN, static_cast<WPARAM>(event.a & 0xFF), 1);
            break;
        case kWebEventButton: {
            const int button = event.a >= 0 && event.a <= 2 ? event.a : 0;
            PostMessageA(target, kDown[button], kKeys[button],
                         plat::emu::ClientPointParam(target, state.cursor.x, state.cursor.y));
            break;
        }
        case kWebEventMove:
            state.cursor = POINT{event.a, event.b};
            PostMessageA(target, WM_MOUSEMOVE, 0, plat::emu::ClientPointParam(target, state.cursor.x, state.cursor.y));
            break;
        case kWebEventDeactivate:
            PostMessageA(target, WM_ACTIVATEAPP, 0, 0);
            break;
        default:
            break;
    }
}

}  // namespace

plat::HWND CanvasWindow() { return plat::HandleFromNumber(kCanvasWindow); }

int CanvasWidth() { return web_canvas_width(); }

int CanvasHeight() { return web_canvas_height(); }

std::uint64_t SaverClockMs() {
    if (state.options.seed >= 0) return static_cast<std::uint64_t>(state.frames) * kFramePeriodMs;
    return static_cast<std::uint64_t>(emscripten_get_now());
}

}  // namespace web

namespace plat {
namespace emu {

using web::state;

DWORD BackendTickMs() { return static_cast<DWORD>(static_cast<std::uint64_t>(emscripten_get_now())); }

void BackendPoll() {
    WebEvent event;
    while (web_take_event(&event)) web::Deliver(event);
}

void BackendWait(DWORD timeoutMs) { emscripten_sleep(timeoutMs); }

bool BackendDisplayAsleep() { return state.held || web_display_asleep() != 0; }

void BackendCreateWindow(Window& window) { window.native = 0; }

void BackendDestroyWindow(Window& window) {
    if (state.foreground == window.handle) state.foreground = nullptr;
}

void BackendShowWindow(Window&, bool) {}

void BackendSetForeground(Window& window) { state.foreground = window.handle; }

void BackendMenuChanged(Window&) {}

void BackendSetCursorHidden(bool hidden) { web_set_cursor_hidden(hidden ? 1 : 0); }

bool BackendIsForeignWindow(HWND window) { return window == web::CanvasWindow(); }

bool BackendForeignClientRect(HWND window, RECT* rect) {
    if (window != web::CanvasWindow() || rect == nullptr) return false;
    *rect = RECT{0, 0, web::CanvasWidth(), web::CanvasHeight()};
    return true;
}

// The page takes no window messages (a preview's help requests); they are dropped.
BOOL BackendPostForeign(HWND window, UINT, WPARAM, LPARAM) { return window == web::CanvasWindow() ? 1 : 0; }

HWND BackendFindForeignWindow(const char*, const char*) { return nullptr; }

BOOL BackendSetForegroundForeign(HWND window) {
    if (window != web::CanvasWindow()) return 0;
    state.foreground = window;
    return 1;
}

HWND BackendForegroundWindow() { return state.foreground; }

}  // namespace emu
}  // namespace plat
