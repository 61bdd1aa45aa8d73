// The headless backend beneath the emulated window system: the virtual clock, the
// scripted input delivered as the loop polls, foreign windows and the cursor.
#include "platform/headless/headless_state.h"

namespace headless {
namespace internal {
namespace {

ForeignWindow* LiveForeign(plat::HWND window) {
    for (ForeignWindow& f : state.foreign)
        if (f.handle == window && f.alive) return &f;
    return nullptr;
}

plat::HWND NewestVisibleWindow() {
    plat::HWND newest = nullptr;
    plat::emu::ForEachWindow(
        [](plat::emu::Window& w, void* context) {
            if (w.visible) *static_cast<plat::HWND*>(context) = w.handle;
            return true;
        },
        &newest);
    return newest;
}

void MoveCursor(long x, long y) {
    long maxX = state.config.screenWidth - 1, maxY = state.config.screenHeight - 1;
    state.cursor.x = static_cast<plat::LONG>(x < 0 ? 0 : (x > maxX ? maxX : x));
    state.cursor.y = static_cast<plat::LONG>(y < 0 ? 0 : (y > maxY ? maxY : y));
}

bool MenuHasCommand(plat::HMENU menu, plat::UINT_PTR id, int depth) {
    if (menu == nullptr || depth > 4) return false;
    for (int i = 0; i < plat::emu::MenuItemCount(menu); ++i) {
        const plat::emu::MenuItem* item = plat::emu::MenuItemAt(menu, i);
        if (item->popup != nullptr ? MenuHasCommand(item->popup, id, depth + 1) : item->id == id) return true;
    }
    return false;
}

void Deliver(const Event& event, plat::HWND target) {
    using namespace plat;
    static const UINT kDown[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
    static const UINT kUp[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
    static const WPARAM kKeys[3] = {emu::MK_LBUTTON, emu::MK_RBUTTON, emu::MK_MBUTTON};
    int button = event.a >= 0 && event.a <= 2 ? static_cast<int>(event.a) : 0;
    WPARAM a = static_cast<WPARAM>(event.a);
    switch (event.input) {
        case Input::KeyDown:
            PostMessageA(target, WM_KEYDOWN, a, 1);
            break;
        case Input::KeyUp:
            PostMessageA(target, WM_KEYUP, a, static_cast<LPARAM>(0xC0000001u));
            break;
        case Input::SysKeyDown:
            PostMessageA(target, WM_SYSKEYDOWN, a, 0x20000001);
            break;
        case Input::Char:
            PostMessageA(target, WM_CHAR, a, 1);
            break;
        case Input::ButtonDown:
            PostMessageA(target, kDown[button], kKeys[button],
                         plat::emu::ClientPointParam(target, state.cursor.x, state.cursor.y));
            break;
        case Input::ButtonUp:
            PostMessageA(target, kUp[button], 0, plat::emu::ClientPointParam(target, state.cursor.x, state.cursor.y));
            break;
        case Input::Wheel:
            PostMessageA(target, WM_MOUSEWHEEL, emu::WheelParam(static_cast<int>(event.a), 0),
                         plat::emu::PointParam(state.cursor.x, state.cursor.y));
            break;
        case Input::MoveCursorTo:
            MoveCursor(event.a, event.b);
            PostMessageA(target, WM_MOUSEMOVE, 0, plat::emu::ClientPointParam(target, state.cursor.x, state.cursor.y));
            break;
        case Input::MoveCursorBy:
            MoveCursor(state.cursor.x + event.a, state.cursor.y + event.b);
            PostMessageA(target, WM_MOUSEMOVE, 0, plat::emu::ClientPointParam(target, state.cursor.x, state.cursor.y));
            break;
        case Input::Deactivate:
            PostMessageA(target, WM_ACTIVATEAPP, 0, 0);
            break;
        case Input::Activate:
            PostMessageA(target, WM_ACTIVATEAPP, 1, 0);
            break;
        case Input::CloseButton:
            PostMessageA(target, WM_CLOSE, 0, 0);
            break;
        case Input::MenuCommand: {
            // Only a command that the window's menu offers can be chosen.
            const emu::Window* w = emu::LookupWindow(target);
            if (w != nullptr && MenuHasCommand(w->menu, a, 0)) PostMessageA(target, WM_COMMAND, a & 0xFFFF, 0);
            break;
        }
        case Input::Message:
            PostMessageA(target, static_cast<UINT>(event.a), static_cast<WPARAM>(event.b), event.c);
            break;
        case Input::DestroyForeign:
            DestroyForeignWindow(target);
            break;
        case Input::PowerChange:
            state.acLineStatus = static_cast<int>(event.a);
            PostMessageA(target, WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0);
            break;
        case Input::ResizeScreen:
            state.config.screenWidth = static_cast<int>(event.a);
            state.config.screenHeight = static_cast<int>(event.b);
            break;
        case Input::DisplayOff:
            state.displayAsleep = true;
            break;
        case Input::DisplayOn:
            state.displayAsleep = false;
            break;
    }
}

// Inputs that go to a window wait until one exists.
bool NeedsWindow(Input input) {
    return input != Input::DestroyForeign && input != Input::ResizeScreen && input != Input::DisplayOff &&
           input != Input::DisplayOn;
}

bool IsDue(const ScriptEntry& entry) { return entry.byFrame ? state.frames >= entry.frame : state.nowMs >= entry.ms; }

void DeliverDueEvents() {
    if (state.delivering) return;
    state.delivering = true;
    for (std::size_t i = 0; i < state.script.size(); ++i) {
        if (state.script[i].delivered || !IsDue(state.script[i])) continue;
        Event event = state.script[i].event;
        plat::HWND target = event.target;
        if (target == nullptr && NeedsWindow(event.input)) {
            target = NewestVisibleWindow();
            if (target == nullptr) continue;  // held until a window can take it
        }
        state.script[i].delivered = true;
        Deliver(event, target);
    }
    state.delivering = false;
}

}  // namespace

void DestroyChildrenOf(plat::HWND foreign) {
    struct Search {
        plat::HWND parent;
        plat::HWND children[64];
        int count;
    } search = {foreign, {}, 0};
    plat::emu::ForEachWindow(
        [](plat::emu::Window& w, void* context) {
            auto* s = static_cast<Search*>(context);
            if (w.parent == s->parent && s->count < 64) s->children[s->count++] = w.handle;
            return true;
        },
        &search);
    for (int i = 0; i < search.count; ++i) plat::DestroyWindow(search.children[i]);
}

}  // namespace internal
}  // namespace headless

namespace plat {
namespace emu {

using headless::internal::state;

DWORD BackendTickMs() { return state.config.startTickMs + static_cast<DWORD>(state.nowMs); }

void BackendPoll() {
    headless::internal::CheckSafetyNet();
    headless::internal::DeliverDueEvents();
}

bool BackendDisplayAsleep() { return state.displayAsleep; }

void BackendWait(DWORD timeoutMs) {
    std::uint64_t until = state.nowMs + timeoutMs;
    for (const headless::internal::ScriptEntry& entry : state.script)
        if (!entry.delivered && !entry.byFrame && entry.ms > state.nowMs && entry.ms < until) until = entry.ms;
    state.nowMs = until;
}

void BackendCreateWindow(Window& window) { window.native = 0; }

void BackendDestroyWindow(Window& window) {
    if (state.foreground == window.handle) state.foreground = nullptr;
}

void BackendShowWindow(Window&, bool) {}

void BackendSetForeground(Window& window) { state.foreground = window.handle; }

void BackendMenuChanged(Window&) {}

void BackendSetCursorHidden(bool hidden) { state.cursorHidden = hidden; }

bool BackendIsForeignWindow(HWND window) { return headless::internal::LiveForeign(window) != nullptr; }

bool BackendForeignClientRect(HWND window, RECT* rect) {
    const headless::internal::ForeignWindow* f = headless::internal::LiveForeign(window);
    if (f == nullptr || rect == nullptr) return false;
    *rect = RECT{0, 0, f->width, f->height};
    return true;
}

BOOL BackendPostForeign(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (headless::internal::LiveForeign(window) == nullptr) return 0;
    state.postedToForeign.push_back({window, message, wParam, lParam});
    return 1;
}

HWND BackendFindForeignWindow(const char*, const char*) { return nullptr; }

BOOL BackendSetForegroundForeign(HWND window) {
    if (headless::internal::LiveForeign(window) == nullptr) return 0;
    state.foreground = window;
    return 1;
}

HWND BackendForegroundWindow() { return state.foreground; }

}  // namespace emu
}  // namespace plat
