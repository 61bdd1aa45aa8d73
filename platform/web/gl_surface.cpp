// The GL surface of a page: one pixel format, one WebGL context on the canvas,
// made by the page bridge for the legacy GL emulation. The drawing buffer is kept
// between frames, so what a frame drew stays for the next one, as the savers'
// fade relies on; the browser shows it when the loop yields. SwapBuffers counts
// the frame, and holds the saver still once the page's frame limit is reached.
#include "platform/gl.h"
#include "platform/web/gl_immediate.h"
#include "platform/web/page_bridge.h"
#include "platform/web/state.h"

namespace {

using web::state;

constexpr std::uintptr_t kPixelFormatSet = 1;  // bit in the window's backend peer field
constexpr int kOnlyFormat = plat::emu::kOnlyPixelFormat;

plat::emu::Window* SurfaceWindow(plat::HDC dc) {
    plat::emu::Window* window = plat::emu::LookupWindow(plat::emu::WindowFromDC(dc));
    return window != nullptr && (window->native & kPixelFormatSet) != 0 ? window : nullptr;
}

plat::HGLRC ContextHandle(int context) { return reinterpret_cast<plat::HGLRC>(static_cast<std::uintptr_t>(context)); }

int ContextNumber(plat::HGLRC context) { return static_cast<int>(reinterpret_cast<std::uintptr_t>(context)); }

}  // namespace

namespace plat {

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd) {
    if (pfd == nullptr || emu::WindowFromDC(dc) == nullptr) return 0;
    return kOnlyFormat;
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
    emu::Window* window = emu::LookupWindow(emu::WindowFromDC(dc));
    if (window == nullptr || format != kOnlyFormat) return 0;
    window->native |= kPixelFormatSet;
    return 1;
}

int DescribePixelFormat(HDC dc, int format, UINT size, PIXELFORMATDESCRIPTOR* pfd) {
    if (emu::WindowFromDC(dc) == nullptr) return 0;
    const emu::PixelFormatBits rgb8 = {.color = 24,
                                       .red = 8,
                                       .green = 8,
                                       .blue = 8,
                                       .alpha = 0,
                                       .depth = 16,
                                       .stencil = 0,
                                       .redShift = 0,
                                       .greenShift = 8,
                                       .blueShift = 16,
                                       .alphaShift = 0};
    return emu::DescribeOnlyPixelFormat(format, size, pfd, rgb8);
}

// The canvas takes one context; a second one would be the same WebGL context.
HGLRC wglCreateContext(HDC dc) {
    if (SurfaceWindow(dc) == nullptr || state.contexts > 0) return nullptr;
    const int context = web_create_context();
    if (context == 0) return nullptr;
    ++state.contexts;
    return ContextHandle(context);
}

BOOL wglMakeCurrent(HDC dc, HGLRC context) {
    if (context == nullptr) return web_make_current(0);
    if (SurfaceWindow(dc) == nullptr) return 0;
    return web_make_current(ContextNumber(context));
}

BOOL wglDeleteContext(HGLRC context) {
    if (context == nullptr) return 0;
    web_delete_context(ContextNumber(context));
    --state.contexts;
    return 1;
}

BOOL SwapBuffers(HDC dc) {
    if (SurfaceWindow(dc) == nullptr || state.held) return 0;
    web::FlushImmediate();
    ++state.frames;
    state.presentedSinceYield = true;
    if (state.options.frameLimit > 0 && state.frames >= state.options.frameLimit) state.held = true;
    web_frame_presented(state.frames, state.held ? 1 : 0);
    return 1;
}

}  // namespace plat
