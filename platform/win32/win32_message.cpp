// Message loop, window timers and painting: the thread's queue as Win32 keeps it.
#include "platform/win32/win32_convert.h"

namespace plat {

using win32::Callback;
using win32::Handle;

BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
    ::MSG m{};
    const BOOL result = ::GetMessageA(&m, Handle<::HWND>(window), filterMin, filterMax);
    *msg = win32::FromWin(m);
    return result;
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    ::MSG m{};
    const BOOL result = ::PeekMessageA(&m, Handle<::HWND>(window), filterMin, filterMax, removeFlags);
    if (result) *msg = win32::FromWin(m);
    return result;
}

BOOL TranslateMessage(const MSG* msg) {
    const ::MSG m = win32::ToWin(*msg);
    return ::TranslateMessage(&m);
}

LRESULT DispatchMessageA(const MSG* msg) {
    const ::MSG m = win32::ToWin(*msg);
    return ::DispatchMessageA(&m);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageA(Handle<::HWND>(window), message, wParam, lParam);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(Handle<::HWND>(window), message, wParam, lParam);
}

void PostQuitMessage(int exitCode) { ::PostQuitMessage(exitCode); }

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(Handle<::HWND>(window), message, wParam, lParam);
}

UINT RegisterWindowMessageA(const char* name) { return ::RegisterWindowMessageA(name); }

HDC BeginPaint(HWND window, PAINTSTRUCT* paint) {
    ::PAINTSTRUCT ps{};
    const ::HDC dc = ::BeginPaint(Handle<::HWND>(window), &ps);
    paint->hdc = Handle<HDC>(ps.hdc);
    paint->fErase = ps.fErase;
    paint->rcPaint = win32::FromWin(ps.rcPaint);
    return Handle<HDC>(dc);
}

// EndPaint reads only the device context; the fields the seam drops are zero.
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
    ::PAINTSTRUCT ps{};
    ps.hdc = Handle<::HDC>(paint->hdc);
    ps.fErase = paint->fErase;
    ps.rcPaint = win32::ToWin(paint->rcPaint);
    return ::EndPaint(Handle<::HWND>(window), &ps);
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC callback) {
    return ::SetTimer(Handle<::HWND>(window), id, periodMs, Callback<::TIMERPROC>(callback));
}

BOOL KillTimer(HWND window, UINT_PTR id) { return ::KillTimer(Handle<::HWND>(window), id); }

}  // namespace plat
