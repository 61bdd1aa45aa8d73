// Conversions between the seam's types and <windows.h>'s, for the win32 platform
// files only. The seam is included first: <windows.h> defines macros (WM_CLOSE,
// HKEY_CURRENT_USER, ...) that would otherwise rewrite the seam's constants.
//
// Handles are the same pointers under another name. Structures whose layout
// differs (STARTUPINFOA, PAINTSTRUCT, SYSTEM_POWER_STATUS) or whose integer types
// differ (LONG is int in the seam, long in <windows.h>) are copied field by field.
#pragma once

// clang-format off
#include "platform/platform.h"
#include <windows.h>
// clang-format on

namespace win32 {

// Handle of the seam -> handle of <windows.h>, and back.
template <typename To, typename From>
inline To Handle(From handle) {
    static_assert(sizeof(To) == sizeof(From), "handles are pointer-sized");
    return reinterpret_cast<To>(handle);
}

inline ::POINT ToWin(const plat::POINT& p) { return ::POINT{p.x, p.y}; }
inline plat::POINT FromWin(const ::POINT& p) {
    return plat::POINT{static_cast<plat::LONG>(p.x), static_cast<plat::LONG>(p.y)};
}

inline ::RECT ToWin(const plat::RECT& r) { return ::RECT{r.left, r.top, r.right, r.bottom}; }
inline plat::RECT FromWin(const ::RECT& r) {
    return plat::RECT{static_cast<plat::LONG>(r.left), static_cast<plat::LONG>(r.top), static_cast<plat::LONG>(r.right),
                      static_cast<plat::LONG>(r.bottom)};
}

inline ::MSG ToWin(const plat::MSG& m) {
    ::MSG out{};
    out.hwnd = Handle<::HWND>(m.hwnd);
    out.message = m.message;
    out.wParam = m.wParam;
    out.lParam = m.lParam;
    out.time = m.time;
    out.pt = ToWin(m.pt);
    return out;
}

inline plat::MSG FromWin(const ::MSG& m) {
    plat::MSG out{};
    out.hwnd = Handle<plat::HWND>(m.hwnd);
    out.message = m.message;
    out.wParam = m.wParam;
    out.lParam = m.lParam;
    out.time = m.time;
    out.pt = FromWin(m.pt);
    return out;
}

// Callbacks keep their calling convention (SAVER_CALLBACK is __stdcall on i686);
// only the names of their parameter types differ. The detour through a
// parameterless function type is the cast GCC accepts without a warning.
template <typename To, typename From>
inline To Callback(From callback) {
    static_assert(sizeof(To) == sizeof(From), "function pointers are pointer-sized");
    return reinterpret_cast<To>(reinterpret_cast<void (*)()>(callback));
}

}  // namespace win32
