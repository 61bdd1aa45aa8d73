// The headless GL surface for the recording GL: contexts are bookkeeping only, GL
// calls go to recording_gl.cpp, and there are no pixels to read back.
#include "platform/headless/headless_state.h"

namespace {

using headless::internal::Log;

constexpr int kMaxContexts = 4;
constexpr std::uintptr_t kContextBase = 0x6C000000u;

bool contexts[kMaxContexts];

int ContextIndex(plat::HGLRC context) {
    std::uintptr_t value = reinterpret_cast<std::uintptr_t>(context);
    if (value <= kContextBase || value > kContextBase + kMaxContexts) return -1;
    int index = static_cast<int>(value - kContextBase - 1);
    return contexts[index] ? index : -1;
}

}  // namespace

namespace headless {
namespace internal {

void ResetSurface() {
    for (bool& used : contexts) used = false;
}

}  // namespace internal

bool ReadPixels(int, int, int, int, std::uint8_t*) { return false; }

}  // namespace headless

namespace plat {

HGLRC wglCreateContext(HDC dc) {
    Log("wglCreateContext");
    if (headless::internal::SurfaceWindow(dc) == nullptr) return nullptr;
    for (int i = 0; i < kMaxContexts; ++i) {
        if (contexts[i]) continue;
        contexts[i] = true;
        return reinterpret_cast<HGLRC>(kContextBase + static_cast<std::uintptr_t>(i) + 1);
    }
    return nullptr;
}

BOOL wglMakeCurrent(HDC dc, HGLRC context) {
    Log(context != nullptr ? "wglMakeCurrent 1" : "wglMakeCurrent 0");
    if (context == nullptr) return 1;
    return headless::internal::SurfaceWindow(dc) != nullptr && ContextIndex(context) >= 0 ? 1 : 0;
}

BOOL wglDeleteContext(HGLRC context) {
    Log("wglDeleteContext");
    int index = ContextIndex(context);
    if (index < 0) return 0;
    contexts[index] = false;
    return 1;
}

BOOL SwapBuffers(HDC dc) {
    if (headless::internal::SurfaceWindow(dc) == nullptr) return 0;
    headless::internal::PresentFrame();
    return 1;
}

}  // namespace plat
