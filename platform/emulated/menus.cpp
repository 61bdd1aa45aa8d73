// Menu bars and drop-down menus as a table the backends draw from. A chosen command
// reaches its window as WM_COMMAND, queued by the backend.
#include "platform/emulated/emulated.h"

namespace plat {
namespace emu {
namespace {

constexpr std::uintptr_t kMenuBase = 0xA0000000u;

struct Menu {
    bool used;
    bool popup;
    int count;
    MenuItem items[kMaxMenuItems];
};

Menu menuTable[kMaxMenus];

Menu* LookupMenu(HMENU menu) {
    std::uintptr_t value = reinterpret_cast<std::uintptr_t>(menu);
    if (value <= kMenuBase || value > kMenuBase + kMaxMenus) return nullptr;
    Menu& m = menuTable[value - kMenuBase - 1];
    return m.used ? &m : nullptr;
}

HMENU NewMenu(bool popup) {
    for (int i = 0; i < kMaxMenus; ++i) {
        if (menuTable[i].used) continue;
        menuTable[i] = Menu();
        menuTable[i].used = true;
        menuTable[i].popup = popup;
        return reinterpret_cast<HMENU>(kMenuBase + static_cast<std::uintptr_t>(i) + 1);
    }
    return nullptr;
}

}  // namespace

void ResetMenus() {
    for (Menu& m : menuTable) m = Menu();
}

int MenuItemCount(HMENU menu) {
    const Menu* m = LookupMenu(menu);
    return m != nullptr ? m->count : 0;
}

const MenuItem* MenuItemAt(HMENU menu, int index) {
    const Menu* m = LookupMenu(menu);
    if (m == nullptr || index < 0 || index >= m->count) return nullptr;
    return &m->items[index];
}

}  // namespace emu

HMENU CreateMenu() { return emu::NewMenu(false); }

HMENU CreatePopupMenu() { return emu::NewMenu(true); }

BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, const char* text) {
    emu::Menu* m = emu::LookupMenu(menu);
    if (m == nullptr || m->count == emu::kMaxMenuItems) return 0;
    HMENU popup = nullptr;
    if ((flags & MF_POPUP) != 0) {
        popup = reinterpret_cast<HMENU>(idOrPopup);
        if (popup == menu || emu::LookupMenu(popup) == nullptr) return 0;
    }
    int at = m->count;
    if ((flags & MF_BYPOSITION) != 0) {
        if (position < static_cast<UINT>(m->count)) at = static_cast<int>(position);
    } else {
        at = -1;
        for (int i = 0; i < m->count && at < 0; ++i)
            if (m->items[i].popup == nullptr && m->items[i].id == position) at = i;
        if (at < 0) return 0;
    }
    for (int i = m->count; i > at; --i) m->items[i] = m->items[i - 1];
    emu::MenuItem& item = m->items[at];
    item = emu::MenuItem();
    for (std::size_t n = 0; text != nullptr && text[n] != '\0' && n + 1 < sizeof item.text; ++n) item.text[n] = text[n];
    item.id = idOrPopup;
    item.popup = popup;
    ++m->count;
    return 1;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idOrPopup, const char* text) {
    return InsertMenuA(menu, ~0u, flags | MF_BYPOSITION, idOrPopup, text);
}

BOOL SetMenu(HWND window, HMENU menu) {
    emu::Window* w = emu::LookupWindow(window);
    if (w == nullptr || (w->style & WS_CHILD) != 0) return 0;
    if (menu != nullptr && emu::LookupMenu(menu) == nullptr) return 0;
    w->menu = menu;
    emu::BackendMenuChanged(*w);
    return 1;
}

BOOL DrawMenuBar(HWND window) {
    emu::Window* w = emu::LookupWindow(window);
    if (w == nullptr) return 0;
    emu::BackendMenuChanged(*w);
    return 1;
}

}  // namespace plat
