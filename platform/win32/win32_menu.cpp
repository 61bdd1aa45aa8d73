// Menus of the windowed demo.
#include "platform/win32/win32_convert.h"

namespace plat {

using win32::Handle;

HMENU CreateMenu() { return Handle<HMENU>(::CreateMenu()); }

HMENU CreatePopupMenu() { return Handle<HMENU>(::CreatePopupMenu()); }

BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, const char* text) {
    return ::InsertMenuA(Handle<::HMENU>(menu), position, flags, idOrPopup, text);
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idOrPopup, const char* text) {
    return ::AppendMenuA(Handle<::HMENU>(menu), flags, idOrPopup, text);
}

BOOL SetMenu(HWND window, HMENU menu) { return ::SetMenu(Handle<::HWND>(window), Handle<::HMENU>(menu)); }

BOOL DrawMenuBar(HWND window) { return ::DrawMenuBar(Handle<::HWND>(window)); }

}  // namespace plat
