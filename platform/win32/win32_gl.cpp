// GL surface: pixel formats and buffer swap (gdi32), rendering contexts (opengl32).
#include <cstddef>
#include <cstring>

#include "platform/win32/win32_convert.h"

namespace plat {

using win32::Handle;

// The two descriptors have the same fields in the same places; they are copied
// as bytes.
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == sizeof(::PIXELFORMATDESCRIPTOR), "same descriptor size");
static_assert(offsetof(PIXELFORMATDESCRIPTOR, dwFlags) == offsetof(::PIXELFORMATDESCRIPTOR, dwFlags), "layout");
static_assert(offsetof(PIXELFORMATDESCRIPTOR, cColorBits) == offsetof(::PIXELFORMATDESCRIPTOR, cColorBits), "layout");
static_assert(offsetof(PIXELFORMATDESCRIPTOR, cDepthBits) == offsetof(::PIXELFORMATDESCRIPTOR, cDepthBits), "layout");
static_assert(offsetof(PIXELFORMATDESCRIPTOR, dwLayerMask) == offsetof(::PIXELFORMATDESCRIPTOR, dwLayerMask), "layout");
static_assert(offsetof(PIXELFORMATDESCRIPTOR, dwDamageMask) == offsetof(::PIXELFORMATDESCRIPTOR, dwDamageMask),
              "layout");

namespace {

::PIXELFORMATDESCRIPTOR ToWin(const PIXELFORMATDESCRIPTOR* pfd) {
    ::PIXELFORMATDESCRIPTOR out{};
    if (pfd) std::memcpy(&out, pfd, sizeof out);
    return out;
}

}  // namespace

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd) {
    const ::PIXELFORMATDESCRIPTOR p = ToWin(pfd);
    return ::ChoosePixelFormat(Handle<::HDC>(dc), &p);
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* pfd) {
    const ::PIXELFORMATDESCRIPTOR p = ToWin(pfd);
    return ::SetPixelFormat(Handle<::HDC>(dc), format, pfd ? &p : nullptr);
}

// The caller's size bounds what is written; a null descriptor asks only for the
// number of formats.
int DescribePixelFormat(HDC dc, int format, UINT size, PIXELFORMATDESCRIPTOR* pfd) {
    ::PIXELFORMATDESCRIPTOR p{};
    const UINT bytes = size < sizeof p ? size : static_cast<UINT>(sizeof p);
    const int result = ::DescribePixelFormat(Handle<::HDC>(dc), format, pfd ? bytes : 0, pfd ? &p : nullptr);
    if (pfd && result) std::memcpy(pfd, &p, bytes);
    return result;
}

HGLRC wglCreateContext(HDC dc) { return Handle<HGLRC>(::wglCreateContext(Handle<::HDC>(dc))); }

BOOL wglMakeCurrent(HDC dc, HGLRC context) { return ::wglMakeCurrent(Handle<::HDC>(dc), Handle<::HGLRC>(context)); }

BOOL wglDeleteContext(HGLRC context) { return ::wglDeleteContext(Handle<::HGLRC>(context)); }

BOOL SwapBuffers(HDC dc) { return ::SwapBuffers(Handle<::HDC>(dc)); }

}  // namespace plat
