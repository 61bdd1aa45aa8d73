// The lock picture process's GL surface: desktop GL contexts on Mesa's
// surfaceless EGL platform (no display server), drawing into a pbuffer the
// picture's size. A pbuffer has one colour buffer, so what a frame drew stays
// for the next, as the savers' fade relies on. SwapBuffers reads the frame
// back into a slot the lock has handed over, in wl_shm's byte order, and hands
// the slot back; while the lock holds both slots the frame is
// not read (the saver's timers rest then, see picture_window.cpp).
#include <GL/gl.h>
#include <GL/glext.h>

#include <initializer_list>

#include "platform/posix/frame_count.h"
#include "platform/posix/startup_trace.h"
#include "platform/wayland/egl_helpers.h"
#include "platform/wayland/picture_state.h"

namespace plat {

namespace {

constexpr int kOnlyFormat = emu::kOnlyPixelFormat;

struct PictureEgl {
    bool initTried;
    EGLDisplay display;
    EGLConfig config;
    EGLSurface surface;
    EGLContext current;
};

PictureEgl egl = {false, EGL_NO_DISPLAY, nullptr, EGL_NO_SURFACE, EGL_NO_CONTEXT};

bool IsSaverDC(HDC dc) { return picture.window != nullptr && emu::WindowFromDC(dc) == picture.window; }

// 8-bit red, green, blue and alpha with a depth buffer, as the headless
// platform's pictures are drawn.
bool Initialize() {
    if (egl.initTried) return egl.config != nullptr;
    egl.initTried = true;
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(wlLib.eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLint major = 0, minor = 0;
    if (getPlatformDisplay != nullptr)
        egl.display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (egl.display == EGL_NO_DISPLAY || !wlLib.eglInitialize(egl.display, &major, &minor) ||
        !wlLib.eglBindAPI(EGL_OPENGL_API))
        return false;
    for (EGLint depth : {24, 16}) {
        const EGLint wanted[] = {EGL_SURFACE_TYPE,
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
        if (wlLib.eglChooseConfig(egl.display, wanted, &egl.config, 1, &found) && found == 1) return true;
    }
    egl.config = nullptr;
    return false;
}

// The frame into `slot`, as GL reads it: bottom row first (the lock shows the
// slot flipped).
void ReadFrame(int slot) {
    std::uint8_t* frame = picture.slots + picture.slotBytes * static_cast<std::size_t>(slot);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, picture.width, picture.height, GL_BGRA, GL_UNSIGNED_BYTE, frame);
}

}  // namespace

int PictureChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd) {
    if (pfd == nullptr || !IsSaverDC(dc)) return 0;
    return Initialize() ? kOnlyFormat : 0;
}

BOOL PictureSetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
    return format == kOnlyFormat && IsSaverDC(dc) && Initialize() ? 1 : 0;
}

int PictureDescribePixelFormat(HDC, int format, UINT size, PIXELFORMATDESCRIPTOR* pfd) {
    return Initialize() ? DescribeEglConfig(egl.display, egl.config, format, size, pfd) : 0;
}

HGLRC PictureCreateContext(HDC dc) {
    if (!IsSaverDC(dc) || !Initialize()) return nullptr;
    EGLContext context = wlLib.eglCreateContext(egl.display, egl.config, EGL_NO_CONTEXT, nullptr);
    return context != EGL_NO_CONTEXT ? reinterpret_cast<HGLRC>(context) : nullptr;
}

BOOL PictureMakeCurrent(HDC dc, HGLRC context) {
    if (egl.display == EGL_NO_DISPLAY) return context == nullptr ? 1 : 0;
    if (context == nullptr) {
        wlLib.eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        egl.current = EGL_NO_CONTEXT;
        return 1;
    }
    if (!IsSaverDC(dc)) return 0;
    if (egl.surface == EGL_NO_SURFACE) {
        const EGLint size[] = {EGL_WIDTH, picture.width, EGL_HEIGHT, picture.height, EGL_NONE};
        egl.surface = wlLib.eglCreatePbufferSurface(egl.display, egl.config, size);
        if (egl.surface == EGL_NO_SURFACE) return 0;
    }
    auto eglContext = reinterpret_cast<EGLContext>(context);
    if (!wlLib.eglMakeCurrent(egl.display, egl.surface, egl.surface, eglContext)) return 0;
    egl.current = eglContext;
    NoteStartupStep(StartupStep::Context);
    return 1;
}

BOOL PictureDeleteContext(HGLRC context) { return DeleteEglContext(egl.display, &egl.current, context); }

BOOL PictureSwapBuffers(HDC dc) {
    if (!IsSaverDC(dc) || egl.surface == EGL_NO_SURFACE || egl.current == EGL_NO_CONTEXT) return 0;
    const int slot = HeldSlot();
    if (slot < 0) return 1;  // the lock has not shown the last frames yet
    ReadFrame(slot);
    HandOver(slot);
    NoteFramePresented();
    NoteStartupStep(StartupStep::Frame);
    return 1;
}

}  // namespace plat
