// Screen, device contexts and cursor: metrics in pixels, the screen's clip box,
// the cursor position in screen coordinates.
#include "platform/win32/win32_convert.h"

namespace plat {

using win32::Handle;

int GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }

HDC GetDC(HWND window) { return Handle<HDC>(::GetDC(Handle<::HWND>(window))); }

int ReleaseDC(HWND window, HDC dc) { return ::ReleaseDC(Handle<::HWND>(window), Handle<::HDC>(dc)); }

int GetClipBox(HDC dc, RECT* rect) {
    ::RECT r{};
    const int result = ::GetClipBox(Handle<::HDC>(dc), &r);
    *rect = win32::FromWin(r);
    return result;
}

BOOL GetCursorPos(POINT* point) {
    ::POINT p{};
    const BOOL ok = ::GetCursorPos(&p);
    *point = win32::FromWin(p);
    return ok;
}

HCURSOR SetCursor(HCURSOR cursor) { return Handle<HCURSOR>(::SetCursor(Handle<::HCURSOR>(cursor))); }

}  // namespace plat
