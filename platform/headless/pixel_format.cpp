// Pixel formats, headless: one double-buffered 32-bit RGBA format with depth, format
// number 1, which a window's DC must have before a GL context can be made on it.
#include "platform/headless/headless_state.h"

namespace headless {
namespace internal {
namespace {

constexpr std::uintptr_t kPixelFormatSet = 1;  // bit in the window's backend peer field
constexpr int kOnlyFormat = plat::emu::kOnlyPixelFormat;

}  // namespace

plat::emu::Window* SurfaceWindow(plat::HDC dc) {
    plat::emu::Window* window = plat::emu::LookupWindow(plat::emu::WindowFromDC(dc));
    return window != nullptr && (window->native & kPixelFormatSet) != 0 ? window : nullptr;
}

}  // namespace internal
}  // namespace headless

namespace plat {

using headless::internal::state;

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd) {
    headless::internal::Log("ChoosePixelFormat");
    if (state.config.failChoosePixelFormat || pfd == nullptr) return 0;
    if (emu::WindowFromDC(dc) == nullptr) return 0;
    return headless::internal::kOnlyFormat;
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
    headless::internal::Log("SetPixelFormat " + std::to_string(format));
    if (state.config.failSetPixelFormat || format != headless::internal::kOnlyFormat) return 0;
    emu::Window* window = emu::LookupWindow(emu::WindowFromDC(dc));
    if (window == nullptr) return 0;
    window->native |= headless::internal::kPixelFormatSet;
    return 1;
}

int DescribePixelFormat(HDC dc, int format, UINT size, PIXELFORMATDESCRIPTOR* pfd) {
    if (emu::WindowFromDC(dc) == nullptr) return 0;
    const emu::PixelFormatBits rgba8 = {.color = 32,
                                        .red = 8,
                                        .green = 8,
                                        .blue = 8,
                                        .alpha = 8,
                                        .depth = 24,
                                        .stencil = 0,
                                        .redShift = 0,
                                        .greenShift = 8,
                                        .blueShift = 16,
                                        .alphaShift = 24};
    return emu::DescribeOnlyPixelFormat(format, size, pfd, rgba8);
}

}  // namespace plat
