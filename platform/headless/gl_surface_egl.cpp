// The headless GL surface on EGL: desktop GL contexts from Mesa (llvmpipe) drawing
// into a pbuffer of the window's size, made when a context is made current on a
// window's DC. A pbuffer has one colour buffer, so what a frame drew stays for the
// next one, as the savers' fade relies on; SwapBuffers only flushes and counts.
#include "platform/gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "platform/headless/headless_state.h"
#include "platform/posix/startup_trace.h"

namespace {

using headless::internal::Log;

constexpr int kMaxContexts = 4;
constexpr std::uintptr_t kContextBase = 0x6C000000u;

struct EglSurface {
    bool initTried;
    EGLDisplay display;
    EGLConfig config;
    EGLContext contexts[kMaxContexts];
    EGLSurface surface;
    int surfaceWidth, surfaceHeight;
    int current;  // index of the current context, -1 when none
};

EglSurface egl = {false, EGL_NO_DISPLAY, nullptr, {}, EGL_NO_SURFACE, 0, 0, -1};

EGLDisplay OpenDisplay() {
    // Surfaceless first: it needs no X server and no render node permissions.
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLint major, minor;
    if (getPlatformDisplay != nullptr) {
        EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, &major, &minor)) return display;
    }
    EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display != EGL_NO_DISPLAY && eglInitialize(display, &major, &minor)) return display;
    return EGL_NO_DISPLAY;
}

bool Initialize() {
    if (egl.initTried) return egl.display != EGL_NO_DISPLAY;
    egl.initTried = true;
    EGLDisplay display = OpenDisplay();
    if (display == EGL_NO_DISPLAY || !eglBindAPI(EGL_OPENGL_API)) return false;
    for (EGLint depth : {24, 16}) {
        const EGLint attributes[] = {EGL_SURFACE_TYPE,
                                     EGL_PBUFFER_BIT,
                                     EGL_RENDERABLE_TYPE,
                                     EGL_OPENGL_BIT,
                                     EGL_RED_SIZE,
                                     8,
                                     EGL_GREEN_SIZE,
                                     8,
                                     EGL_BLUE_SIZE,
                                     8,
                                     EGL_ALPHA_SIZE,
                                     8,
                                     EGL_DEPTH_SIZE,
                                     depth,
                                     EGL_NONE};
        EGLint found = 0;
        if (eglChooseConfig(display, attributes, &egl.config, 1, &found) && found == 1) {
            egl.display = display;
            return true;
        }
    }
    return false;
}

void DropSurface() {
    if (egl.surface != EGL_NO_SURFACE) eglDestroySurface(egl.display, egl.surface);
    egl.surface = EGL_NO_SURFACE;
    egl.surfaceWidth = egl.surfaceHeight = 0;
}

void ReleaseCurrent() {
    if (egl.display != EGL_NO_DISPLAY) eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    egl.current = -1;
    DropSurface();
}

int ContextIndex(plat::HGLRC context) {
    std::uintptr_t value = reinterpret_cast<std::uintptr_t>(context);
    if (value <= kContextBase || value > kContextBase + kMaxContexts) return -1;
    int index = static_cast<int>(value - kContextBase - 1);
    return egl.contexts[index] != EGL_NO_CONTEXT ? index : -1;
}

}  // namespace

namespace headless {
namespace internal {

void ResetSurface() {
    ReleaseCurrent();
    for (EGLContext& context : egl.contexts) {
        if (context != EGL_NO_CONTEXT) eglDestroyContext(egl.display, context);
        context = EGL_NO_CONTEXT;
    }
}

}  // namespace internal

bool ReadPixels(int x, int y, int width, int height, std::uint8_t* rgba) {
    if (egl.current < 0 || egl.surface == EGL_NO_SURFACE || rgba == nullptr) return false;
    if (x < 0 || y < 0 || width <= 0 || height <= 0) return false;
    if (width > egl.surfaceWidth - x || height > egl.surfaceHeight - y) return false;
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return glGetError() == GL_NO_ERROR;
}

}  // namespace headless

namespace plat {

HGLRC wglCreateContext(HDC dc) {
    Log("wglCreateContext");
    if (headless::internal::SurfaceWindow(dc) == nullptr || !Initialize()) return nullptr;
    for (int i = 0; i < kMaxContexts; ++i) {
        if (egl.contexts[i] != EGL_NO_CONTEXT) continue;
        egl.contexts[i] = eglCreateContext(egl.display, egl.config, EGL_NO_CONTEXT, nullptr);
        if (egl.contexts[i] == EGL_NO_CONTEXT) return nullptr;
        return reinterpret_cast<HGLRC>(kContextBase + static_cast<std::uintptr_t>(i) + 1);
    }
    return nullptr;
}

BOOL wglMakeCurrent(HDC dc, HGLRC context) {
    Log(context != nullptr ? "wglMakeCurrent 1" : "wglMakeCurrent 0");
    if (context == nullptr) {
        ReleaseCurrent();
        return 1;
    }
    const emu::Window* window = headless::internal::SurfaceWindow(dc);
    int index = ContextIndex(context);
    if (window == nullptr || index < 0) return 0;
    int width = window->width > 0 ? window->width : 1;
    int height = window->height > 0 ? window->height : 1;
    if (egl.surface != EGL_NO_SURFACE && (egl.surfaceWidth != width || egl.surfaceHeight != height)) {
        eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        DropSurface();
    }
    if (egl.surface == EGL_NO_SURFACE) {
        const EGLint attributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
        egl.surface = eglCreatePbufferSurface(egl.display, egl.config, attributes);
        if (egl.surface == EGL_NO_SURFACE) return 0;
        egl.surfaceWidth = width;
        egl.surfaceHeight = height;
    }
    if (!eglMakeCurrent(egl.display, egl.surface, egl.surface, egl.contexts[index])) {
        egl.current = -1;
        return 0;
    }
    egl.current = index;
    plat::NoteStartupStep(plat::StartupStep::Context);
    return 1;
}

BOOL wglDeleteContext(HGLRC context) {
    Log("wglDeleteContext");
    int index = ContextIndex(context);
    if (index < 0) return 0;
    if (egl.current == index) ReleaseCurrent();
    eglDestroyContext(egl.display, egl.contexts[index]);
    egl.contexts[index] = EGL_NO_CONTEXT;
    return 1;
}

BOOL SwapBuffers(HDC dc) {
    if (headless::internal::SurfaceWindow(dc) == nullptr) return 0;
    if (egl.current >= 0) eglSwapBuffers(egl.display, egl.surface);
    if (StartupTraced()) {
        glFinish();  // the frame counts as presented once it is drawn
        NoteStartupStep(StartupStep::Frame);
    }
    headless::internal::PresentFrame();
    return 1;
}

}  // namespace plat
