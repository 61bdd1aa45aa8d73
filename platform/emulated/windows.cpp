// Window classes, the window table, creation and destruction, default processing,
// paint, device contexts, cursor and the stock handles of the emulated window system.
#include <strings.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/emulated/emulated.h"

namespace plat {
namespace emu {
namespace {

constexpr std::uintptr_t kWindowBase = 0xE0000000u;  // above every X11 window id (< 2^29)
constexpr std::uintptr_t kDcBase = 0xD0000000u;      // kDcBase itself is the screen's DC
constexpr std::uintptr_t kIconBase = 0xC1000000u;
constexpr std::uintptr_t kCursorBase = 0xC2000000u;
constexpr std::uintptr_t kBrushBase = 0xC3000000u;
constexpr int kStockObjects = 6;  // WHITE_BRUSH .. NULL_BRUSH

struct WindowClass {
    bool used;
    WNDCLASSA wc;
    char name[kClassNameMax];
};

struct WindowSlot {
    bool used;
    bool destroying;  // WM_DESTROY sent; the window stays valid until the slot is freed
    Window window;
};

struct WindowTable {
    WindowClass classes[kMaxClasses];
    WindowSlot slots[kMaxWindows];
    std::uint32_t nextNumber;
    HCURSOR cursor;
    void (*observer)(const char* line);
};

WindowTable table = {{}, {}, 1, nullptr, nullptr};

void CopyText(char* to, std::size_t size, const char* from) {
    std::size_t n = 0;
    for (; from != nullptr && from[n] != '\0' && n + 1 < size; ++n) to[n] = from[n];
    to[n] = '\0';
}

WindowSlot* SlotOf(HWND window) {
    if (window == nullptr) return nullptr;
    for (WindowSlot& slot : table.slots)
        if (slot.used && slot.window.handle == window) return &slot;
    return nullptr;
}

WindowClass* FindClass(const char* name) {
    for (WindowClass& c : table.classes)
        if (c.used && strcasecmp(c.name, name) == 0) return &c;
    return nullptr;
}

std::uintptr_t NumberOf(HWND window) { return reinterpret_cast<std::uintptr_t>(window) - kWindowBase; }

// Slot indices of the live windows in creation order (handles grow with creation).
int WindowsInCreationOrder(int* order) {
    int count = 0;
    for (int i = 0; i < kMaxWindows; ++i) {
        if (!table.slots[i].used) continue;
        int at = count++;
        while (at > 0 && table.slots[order[at - 1]].window.handle > table.slots[i].window.handle) {
            order[at] = order[at - 1];
            --at;
        }
        order[at] = i;
    }
    return count;
}

LPARAM SizeParam(int width, int height) {
    return static_cast<LPARAM>((static_cast<DWORD>(height & 0xFFFF) << 16) | static_cast<DWORD>(width & 0xFFFF));
}

void SetVisible(HWND handle, bool visible) {
    Window* window = LookupWindow(handle);
    if (window == nullptr || window->visible == visible) return;
    SendMessageA(handle, WM_SHOWWINDOW, visible ? 1 : 0, 0);
    window = LookupWindow(handle);
    if (window == nullptr) return;
    window->visible = visible;
    if (visible) {
        window->style |= WS_VISIBLE;
        window->needsPaint = true;
    } else {
        window->style &= ~WS_VISIBLE;
    }
    BackendShowWindow(*window, visible);
}

}  // namespace

Window* LookupWindow(HWND window) {
    WindowSlot* slot = SlotOf(window);
    return slot != nullptr ? &slot->window : nullptr;
}

void ForEachWindow(bool (*visit)(Window& window, void* context), void* context) {
    int order[kMaxWindows];
    int count = WindowsInCreationOrder(order);
    for (int i = 0; i < count; ++i) {
        WindowSlot& slot = table.slots[order[i]];
        if (slot.used && !visit(slot.window, context)) return;
    }
}

void NativeResized(HWND handle, int x, int y, int width, int height) {
    Window* window = LookupWindow(handle);
    if (window == nullptr) return;
    window->x = x;
    window->y = y;
    if (window->width == width && window->height == height) return;
    window->width = width;
    window->height = height;
    SendMessageA(handle, WM_SIZE, 0, SizeParam(width, height));
}

LPARAM PointParam(int x, int y) {
    return static_cast<LPARAM>((static_cast<DWORD>(y & 0xFFFF) << 16) | static_cast<DWORD>(x & 0xFFFF));
}

WPARAM WheelParam(int delta, WPARAM keys) { return (static_cast<WPARAM>(static_cast<WORD>(delta)) << 16) | keys; }

KeyMessage KeyMessageOf(bool press, bool system, unsigned scanCode) {
    std::uint32_t flags = 1 | ((scanCode & 0xFF) << 16);
    if (!press) flags |= 0xC0000000u;  // previous state down, transition up
    const UINT message = press ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    return {message, static_cast<LPARAM>(flags)};
}

LPARAM ClientPointParam(HWND window, int screenX, int screenY) {
    int x = screenX, y = screenY;
    for (int depth = 0; depth < kMaxWindows; ++depth) {
        const Window* w = LookupWindow(window);
        if (w == nullptr) break;
        x -= w->x;
        y -= w->y;
        window = w->parent;
    }
    return PointParam(x, y);
}

void InvalidateWindow(HWND handle) {
    if (Window* window = LookupWindow(handle)) window->needsPaint = true;
}

void ResetWindowSystem() {
    for (WindowClass& c : table.classes) c = WindowClass();
    for (WindowSlot& slot : table.slots) slot = WindowSlot();
    table.nextNumber = 1;
    table.cursor = nullptr;
    ResetQueue();
    ResetTimers();
    ResetMenus();
}

HWND WindowFromDC(HDC dc) {
    std::uintptr_t value = reinterpret_cast<std::uintptr_t>(dc);
    if (value <= kDcBase || value >= kWindowBase) return nullptr;
    HWND window = reinterpret_cast<HWND>(value - kDcBase + kWindowBase);
    return LookupWindow(window) != nullptr ? window : nullptr;
}

bool IsScreenDC(HDC dc) { return reinterpret_cast<std::uintptr_t>(dc) == kDcBase; }

int ClipBoxOf(HDC dc, const RECT& screen, RECT* rect) {
    constexpr int kError = 0;
    constexpr int kSimpleRegion = 2;
    if (rect == nullptr) return kError;
    if (IsScreenDC(dc)) {
        *rect = screen;
        return kSimpleRegion;
    }
    const Window* window = LookupWindow(WindowFromDC(dc));
    if (window == nullptr) return kError;
    *rect = RECT{0, 0, window->width, window->height};
    return kSimpleRegion;
}

void SetCallObserver(void (*observer)(const char* line)) { table.observer = observer; }

void NoteCall(const char* format, ...) {
    if (table.observer == nullptr) return;
    char line[160];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    table.observer(line);
}

bool PassesWindowFilter(HWND filter, HWND window) {
    if (filter == nullptr) return true;
    for (int depth = 0; window != nullptr && depth <= kMaxWindows; ++depth) {
        if (window == filter) return true;
        const Window* w = LookupWindow(window);
        if (w == nullptr) return false;
        window = w->parent;
    }
    return false;
}

bool PassesMessageFilter(UINT message, UINT filterMin, UINT filterMax) {
    return (filterMin == 0 && filterMax == 0) || (message >= filterMin && message <= filterMax);
}

bool TakePaintMessage(HWND filter, MSG* msg) {
    int order[kMaxWindows];
    int count = WindowsInCreationOrder(order);
    for (int i = 0; i < count; ++i) {
        const Window& window = table.slots[order[i]].window;
        if (!window.visible || !window.needsPaint || !PassesWindowFilter(filter, window.handle)) continue;
        *msg = MSG{window.handle, WM_PAINT, 0, 0, BackendTickMs(), {0, 0}};
        GetCursorPos(&msg->pt);
        return true;
    }
    return false;
}

}  // namespace emu

using emu::table;

ATOM RegisterClassA(const WNDCLASSA* wc) {
    if (wc == nullptr || wc->lpfnWndProc == nullptr || wc->lpszClassName == nullptr || wc->lpszClassName[0] == '\0')
        return 0;
    if (std::strlen(wc->lpszClassName) >= static_cast<std::size_t>(emu::kClassNameMax)) return 0;
    if (emu::FindClass(wc->lpszClassName) != nullptr) return 0;
    for (int i = 0; i < emu::kMaxClasses; ++i) {
        emu::WindowClass& c = table.classes[i];
        if (c.used) continue;
        c.used = true;
        c.wc = *wc;
        emu::CopyText(c.name, sizeof c.name, wc->lpszClassName);
        c.wc.lpszClassName = c.name;
        c.wc.lpszMenuName = nullptr;
        return static_cast<ATOM>(0xC000 + i);
    }
    return 0;
}

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE, void*) {
    if (className == nullptr) return nullptr;
    const emu::WindowClass* windowClass = emu::FindClass(className);
    if (windowClass == nullptr) return nullptr;
    if (parent != nullptr) {
        if (emu::LookupWindow(parent) == nullptr && !emu::BackendIsForeignWindow(parent)) return nullptr;
    } else if ((style & WS_CHILD) != 0) {
        return nullptr;
    }
    emu::WindowSlot* slot = nullptr;
    for (emu::WindowSlot& s : table.slots) {
        if (!s.used) {
            slot = &s;
            break;
        }
    }
    if (slot == nullptr) return nullptr;

    *slot = emu::WindowSlot();
    slot->used = true;
    emu::Window& window = slot->window;
    window.handle = reinterpret_cast<HWND>(emu::kWindowBase + table.nextNumber++);
    emu::CopyText(window.className, sizeof window.className, windowClass->name);
    emu::CopyText(window.title, sizeof window.title, title);
    window.style = style & ~WS_VISIBLE;  // shown after creation, as Win32 does
    window.exStyle = exStyle;
    window.parent = parent;
    window.x = x;
    window.y = y;
    window.width = width < 0 ? 0 : width;
    window.height = height < 0 ? 0 : height;
    window.proc = windowClass->wc.lpfnWndProc;
    window.menu = (style & WS_CHILD) != 0 ? nullptr : menu;
    HWND handle = window.handle;
    emu::BackendCreateWindow(window);

    LRESULT created = SendMessageA(handle, WM_CREATE, 0, 0);
    if (emu::LookupWindow(handle) == nullptr) return nullptr;
    if (created == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    const emu::Window* w = emu::LookupWindow(handle);
    SendMessageA(handle, WM_SIZE, 0, emu::SizeParam(w->width, w->height));
    if (emu::LookupWindow(handle) == nullptr) return nullptr;
    if ((style & WS_VISIBLE) != 0) emu::SetVisible(handle, true);
    return emu::LookupWindow(handle) != nullptr ? handle : nullptr;
}

BOOL DestroyWindow(HWND handle) {
    emu::WindowSlot* slot = emu::SlotOf(handle);
    if (slot == nullptr || slot->destroying) return 0;
    slot->destroying = true;
    SendMessageA(handle, WM_DESTROY, 0, 0);

    // Owned and child windows go with their parent, after it got WM_DESTROY.
    for (bool found = true; found;) {
        found = false;
        for (emu::WindowSlot& s : table.slots) {
            if (s.used && !s.destroying && s.window.parent == handle) {
                DestroyWindow(s.window.handle);
                found = true;
            }
        }
    }
    emu::KillWindowTimers(handle);
    emu::DropQueuedMessages(handle);
    emu::BackendDestroyWindow(slot->window);
    *slot = emu::WindowSlot();
    return 1;
}

HWND FindWindowA(const char* className, const char* title) {
    int order[emu::kMaxWindows];
    int count = emu::WindowsInCreationOrder(order);
    for (int i = 0; i < count; ++i) {
        const emu::Window& window = table.slots[order[i]].window;
        if ((window.style & WS_CHILD) != 0) continue;
        if (className != nullptr && strcasecmp(window.className, className) != 0) continue;
        if (title != nullptr && strcasecmp(window.title, title) != 0) continue;
        return window.handle;
    }
    return emu::BackendFindForeignWindow(className, title);
}

// Emulated handles and X window ids are numbers below 2^32: the number is the handle.
HWND HandleFromNumber(std::uint32_t n) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(n)); }

BOOL IsWindow(HWND window) {
    if (window == nullptr) return 0;
    return emu::LookupWindow(window) != nullptr || emu::BackendIsForeignWindow(window) ? 1 : 0;
}

HWND GetParent(HWND window) {
    const emu::Window* w = emu::LookupWindow(window);
    return w != nullptr ? w->parent : nullptr;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    if (rect == nullptr) return 0;
    if (const emu::Window* w = emu::LookupWindow(window)) {
        *rect = RECT{0, 0, w->width, w->height};
        return 1;
    }
    if (window != nullptr && emu::BackendIsForeignWindow(window)) return emu::BackendForeignClientRect(window, rect);
    return 0;
}

BOOL ShowWindow(HWND window, int command) {
    const emu::Window* w = emu::LookupWindow(window);
    if (w == nullptr) return 0;
    BOOL wasVisible = w->visible ? 1 : 0;
    emu::SetVisible(window, command != 0);  // SW_HIDE is 0; every other command shows
    return wasVisible;
}

BOOL SetForegroundWindow(HWND window) {
    emu::NoteCall("SetForegroundWindow");
    if (emu::Window* w = emu::LookupWindow(window)) {
        emu::BackendSetForeground(*w);
        return 1;
    }
    return window != nullptr && emu::BackendIsForeignWindow(window) ? emu::BackendSetForegroundForeign(window) : 0;
}

HWND GetForegroundWindow() { return emu::BackendForegroundWindow(); }

// Only the system's stock icon and cursor exist; the programs ship no resources.
HICON LoadIconA(HINSTANCE instance, std::uintptr_t resource) {
    if (instance != nullptr || resource != IDI_APPLICATION) return nullptr;
    return reinterpret_cast<HICON>(emu::kIconBase + resource);
}

HCURSOR LoadCursorA(HINSTANCE instance, std::uintptr_t resource) {
    if (instance != nullptr || resource != IDC_ARROW) return nullptr;
    return reinterpret_cast<HCURSOR>(emu::kCursorBase + resource);
}

HBRUSH GetStockObject(int object) {
    if (object < 0 || object >= emu::kStockObjects) return nullptr;
    return reinterpret_cast<HBRUSH>(emu::kBrushBase + static_cast<std::uintptr_t>(object) + 1);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            if (BeginPaint(window, &paint) != nullptr) EndPaint(window, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_SETTEXT:
            if (emu::Window* w = emu::LookupWindow(window)) {
                emu::CopyText(w->title, sizeof w->title, reinterpret_cast<const char*>(lParam));
                return 1;
            }
            return 0;
        default:
            return 0;
    }
}

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    emu::Window* w = emu::LookupWindow(window);
    if (w == nullptr || paint == nullptr) return nullptr;
    bool erase = w->needsPaint;
    w->needsPaint = false;
    HDC dc = GetDC(window);
    LRESULT erased = erase ? SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) : 1;
    w = emu::LookupWindow(window);
    if (w == nullptr) return nullptr;
    paint->hdc = dc;
    paint->fErase = erased == 0 ? 1 : 0;
    paint->rcPaint = RECT{0, 0, w->width, w->height};
    return dc;
}

BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    return paint != nullptr && emu::LookupWindow(window) != nullptr ? 1 : 0;
}

HDC GetDC(HWND window) {
    if (window == nullptr) return reinterpret_cast<HDC>(emu::kDcBase);
    if (emu::LookupWindow(window) == nullptr) return nullptr;
    return reinterpret_cast<HDC>(emu::kDcBase + emu::NumberOf(window));
}

int ReleaseDC(HWND window, HDC dc) {
    emu::NoteCall("ReleaseDC");
    if (window == nullptr) return emu::IsScreenDC(dc) ? 1 : 0;
    return dc != nullptr && emu::WindowFromDC(dc) == window ? 1 : 0;
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR previous = table.cursor;
    table.cursor = cursor;
    emu::NoteCall(cursor == nullptr ? "SetCursor hidden" : "SetCursor shown");
    emu::BackendSetCursorHidden(cursor == nullptr);
    return previous;
}

}  // namespace plat
