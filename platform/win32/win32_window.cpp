// Window classes and windows: RegisterClassA, CreateWindowExA and the window
// queries the shell and the demo make.
#include "platform/win32/win32_convert.h"

namespace plat {

using win32::Callback;
using win32::Handle;

ATOM RegisterClassA(const WNDCLASSA* wc) {
    ::WNDCLASSA out{};
    out.style = wc->style;
    out.lpfnWndProc = Callback<::WNDPROC>(wc->lpfnWndProc);
    out.cbClsExtra = wc->cbClsExtra;
    out.cbWndExtra = wc->cbWndExtra;
    out.hInstance = Handle<::HINSTANCE>(wc->hInstance);
    out.hIcon = Handle<::HICON>(wc->hIcon);
    out.hCursor = Handle<::HCURSOR>(wc->hCursor);
    out.hbrBackground = Handle<::HBRUSH>(wc->hbrBackground);
    out.lpszMenuName = wc->lpszMenuName;
    out.lpszClassName = wc->lpszClassName;
    return ::RegisterClassA(&out);
}

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
    return Handle<HWND>(::CreateWindowExA(exStyle, className, title, style, x, y, width, height, Handle<::HWND>(parent),
                                          Handle<::HMENU>(menu), Handle<::HINSTANCE>(instance), param));
}

BOOL DestroyWindow(HWND window) { return ::DestroyWindow(Handle<::HWND>(window)); }

HWND FindWindowA(const char* className, const char* title) { return Handle<HWND>(::FindWindowA(className, title)); }

// A window handle holds 32 significant bits; a 64-bit process sees it
// sign-extended, so the number from a command line is widened the same way.
HWND HandleFromNumber(std::uint32_t n) { return Handle<HWND>(static_cast<INT_PTR>(static_cast<std::int32_t>(n))); }

BOOL IsWindow(HWND window) { return ::IsWindow(Handle<::HWND>(window)); }

HWND GetParent(HWND window) { return Handle<HWND>(::GetParent(Handle<::HWND>(window))); }

BOOL GetClientRect(HWND window, RECT* rect) {
    ::RECT r{};
    const BOOL ok = ::GetClientRect(Handle<::HWND>(window), &r);
    *rect = win32::FromWin(r);
    return ok;
}

BOOL ShowWindow(HWND window, int command) { return ::ShowWindow(Handle<::HWND>(window), command); }

BOOL SetForegroundWindow(HWND window) { return ::SetForegroundWindow(Handle<::HWND>(window)); }

HWND GetForegroundWindow() { return Handle<HWND>(::GetForegroundWindow()); }

HICON LoadIconA(HINSTANCE instance, std::uintptr_t resource) {
    return Handle<HICON>(::LoadIconA(Handle<::HINSTANCE>(instance), MAKEINTRESOURCEA(resource)));
}

HCURSOR LoadCursorA(HINSTANCE instance, std::uintptr_t resource) {
    return Handle<HCURSOR>(::LoadCursorA(Handle<::HINSTANCE>(instance), MAKEINTRESOURCEA(resource)));
}

HBRUSH GetStockObject(int object) { return Handle<HBRUSH>(::GetStockObject(object)); }

}  // namespace plat
