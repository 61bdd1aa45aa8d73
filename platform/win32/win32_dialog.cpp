// Message boxes, the configuration dialog call and common-controls start-up.
// clang-format off
#include "platform/win32/win32_convert.h"
#include <commctrl.h>
// clang-format on

namespace plat {

using win32::Callback;
using win32::Handle;

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    return ::MessageBoxA(Handle<::HWND>(owner), text, caption, type);
}

// A template that the module does not hold makes the call return -1.
INT_PTR DialogBoxParamA(HINSTANCE instance, std::uintptr_t templateId, HWND parent, DLGPROC proc, LPARAM param) {
    return ::DialogBoxParamA(Handle<::HINSTANCE>(instance), MAKEINTRESOURCEA(templateId), Handle<::HWND>(parent),
                             Callback<::DLGPROC>(proc), param);
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
    ::INITCOMMONCONTROLSEX in{};
    in.dwSize = init->dwSize;
    in.dwICC = init->dwICC;
    return ::InitCommonControlsEx(&in);
}

}  // namespace plat
