#include "platform/wayland/egl_helpers.h"

#include "platform/emulated/backend.h"

namespace plat {

int DescribeEglConfig(EGLDisplay display, EGLConfig config, int format, UINT size, PIXELFORMATDESCRIPTOR* pfd) {
    auto bits = [&](EGLint attribute) {
        EGLint value = 0;
        wlLib.eglGetConfigAttrib(display, config, attribute, &value);
        return static_cast<BYTE>(value);
    };
    const emu::PixelFormatBits described = {
        .color = bits(EGL_BUFFER_SIZE),
        .red = bits(EGL_RED_SIZE),
        .green = bits(EGL_GREEN_SIZE),
        .blue = bits(EGL_BLUE_SIZE),
        .alpha = bits(EGL_ALPHA_SIZE),
        .depth = bits(EGL_DEPTH_SIZE),
        .stencil = bits(EGL_STENCIL_SIZE),
    };
    return emu::DescribeOnlyPixelFormat(format, size, pfd, described);
}

BOOL DeleteEglContext(EGLDisplay display, EGLContext* current, HGLRC context) {
    if (context == nullptr || display == EGL_NO_DISPLAY) return 0;
    auto eglContext = reinterpret_cast<EGLContext>(context);
    if (*current == eglContext) {
        wlLib.eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        *current = EGL_NO_CONTEXT;
    }
    return wlLib.eglDestroyContext(display, eglContext) ? 1 : 0;
}

}  // namespace plat
