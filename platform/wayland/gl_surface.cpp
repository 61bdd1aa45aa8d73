// The GL surface over EGL on the saver window's wl_egl_window: one pixel format
// (8-bit RGB without alpha, so the compositor never blends the picture with
// what lies beneath it, and a depth buffer), desktop GL contexts
// (eglBindAPI(EGL_OPENGL_API)), and swaps that never wait for the compositor:
// the frame timer sets the pace, as on the other platforms, and a frame drawn
// while the compositor has not yet shown the last one is not swapped (one
// frame in flight at a time).
//
// A Wayland buffer does not keep its contents from one frame to the next, and
// the savers' fade draws over the last frame. So the picture is drawn into a
// framebuffer object, bound whenever the context is current, and each swap
// first copies it into the window's back buffer. Without framebuffer objects
// (GL below 3.0 and no ARB_framebuffer_object) frames go to the window itself.
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

#include "platform/posix/frame_count.h"
#include "platform/posix/startup_trace.h"
#include "platform/wayland/egl_helpers.h"
#include "platform/wayland/state.h"

namespace plat {

namespace {

constexpr int kOnlyFormat = emu::kOnlyPixelFormat;
constexpr DWORD kHiddenAfterMs = 1000;  // no frame shown for this long: the surface is hidden

struct KeptFrame {
    bool checked;    // looked for framebuffer objects in this context
    bool available;  // the context has them
    GLuint framebuffer, color, depth;
    int width, height;
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;
};

struct EglState {
    bool initTried;
    EGLDisplay display;
    EGLConfig config;
    EGLSurface surface;  // on the saver window's wl_egl_window
    EGLContext current;
    KeptFrame kept;
};

EglState egl = {false, EGL_NO_DISPLAY, nullptr, EGL_NO_SURFACE, EGL_NO_CONTEXT, {}};

bool IsSaverDC(HDC dc) {
    return wayland.window != nullptr && emu::WindowFromDC(dc) == wayland.window && wayland.eglWindow != nullptr;
}

EGLint ConfigAttribute(EGLint attribute) {
    EGLint value = 0;
    wlLib.eglGetConfigAttrib(egl.display, egl.config, attribute, &value);
    return value;
}

EGLDisplay OpenDisplay() {
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(wlLib.eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay != nullptr) {
        EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_WAYLAND_EXT, wayland.display, nullptr);
        if (display != EGL_NO_DISPLAY) return display;
    }
    return wlLib.eglGetDisplay(reinterpret_cast<EGLNativeDisplayType>(wayland.display));
}

// The first config with 8 bits of red, green and blue, no alpha and a depth buffer.
bool Initialize() {
    if (egl.initTried) return egl.config != nullptr;
    egl.initTried = true;
    EGLint major = 0, minor = 0;
    egl.display = OpenDisplay();
    if (egl.display == EGL_NO_DISPLAY || !wlLib.eglInitialize(egl.display, &major, &minor) ||
        !wlLib.eglBindAPI(EGL_OPENGL_API))
        return false;
    const EGLint wanted[] = {EGL_SURFACE_TYPE,
                             EGL_WINDOW_BIT,
                             EGL_RENDERABLE_TYPE,
                             EGL_OPENGL_BIT,
                             EGL_RED_SIZE,
                             8,
                             EGL_GREEN_SIZE,
                             8,
                             EGL_BLUE_SIZE,
                             8,
                             EGL_DEPTH_SIZE,
                             16,
                             EGL_NONE};
    EGLConfig configs[64];
    EGLint count = 0;
    if (!wlLib.eglChooseConfig(egl.display, wanted, configs, 64, &count)) return false;
    for (EGLint i = 0; i < count; ++i) {
        egl.config = configs[i];
        if (ConfigAttribute(EGL_ALPHA_SIZE) == 0 && ConfigAttribute(EGL_RED_SIZE) == 8 &&
            ConfigAttribute(EGL_GREEN_SIZE) == 8 && ConfigAttribute(EGL_BLUE_SIZE) == 8)
            return true;
    }
    egl.config = nullptr;
    return false;
}

template <typename Function>
Function GlFunction(const char* name) {
    return reinterpret_cast<Function>(wlLib.eglGetProcAddress(name));
}

bool HasFramebufferObjects() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (version != nullptr && version[0] >= '3' && version[0] <= '9' && version[1] == '.') return true;
    return extensions != nullptr && std::strstr(extensions, "GL_ARB_framebuffer_object") != nullptr;
}

void AllocateKeptFrame(int width, int height) {
    KeptFrame& k = egl.kept;
    k.width = width;
    k.height = height;
    k.bindRenderbuffer(GL_RENDERBUFFER, k.color);
    k.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    k.bindRenderbuffer(GL_RENDERBUFFER, k.depth);
    k.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    k.bindFramebuffer(GL_FRAMEBUFFER, k.framebuffer);
    // A new frame starts black, not with whatever the memory held.
    GLfloat clearColor[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
}

// Once per context, with it current: the framebuffer object the frames go to.
void PrepareKeptFrame() {
    KeptFrame& k = egl.kept;
    if (k.checked) return;
    k.checked = true;
    if (!HasFramebufferObjects()) return;
    k.genFramebuffers = GlFunction<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers");
    k.bindFramebuffer = GlFunction<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer");
    k.framebufferRenderbuffer = GlFunction<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer");
    k.checkFramebufferStatus = GlFunction<PFNGLCHECKFRAMEBUFFERSTATUSPROC>("glCheckFramebufferStatus");
    k.genRenderbuffers = GlFunction<PFNGLGENRENDERBUFFERSPROC>("glGenRenderbuffers");
    k.bindRenderbuffer = GlFunction<PFNGLBINDRENDERBUFFERPROC>("glBindRenderbuffer");
    k.renderbufferStorage = GlFunction<PFNGLRENDERBUFFERSTORAGEPROC>("glRenderbufferStorage");
    k.blitFramebuffer = GlFunction<PFNGLBLITFRAMEBUFFERPROC>("glBlitFramebuffer");
    if (!k.genFramebuffers || !k.bindFramebuffer || !k.framebufferRenderbuffer || !k.checkFramebufferStatus ||
        !k.genRenderbuffers || !k.bindRenderbuffer || !k.renderbufferStorage || !k.blitFramebuffer)
        return;
    k.genFramebuffers(1, &k.framebuffer);
    k.genRenderbuffers(1, &k.color);
    k.genRenderbuffers(1, &k.depth);
    AllocateKeptFrame(wayland.width, wayland.height);
    k.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, k.color);
    k.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, k.depth);
    k.available = k.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (!k.available) k.bindFramebuffer(GL_FRAMEBUFFER, 0);
}

void OnFrameDone(void*, wl_callback* callback, std::uint32_t) {
    wl_callback_destroy(callback);
    wayland.frameCallback = nullptr;
}

const wl_callback_listener kFrameListener = {OnFrameDone};

// One frame callback at a time: while it is out, the compositor has not shown
// the last frame that asked.
void RequestFrameCallback() {
    if (wayland.frameCallback != nullptr) return;
    wayland.frameCallback = wl_surface_frame(wayland.surface);
    wl_callback_add_listener(wayland.frameCallback, &kFrameListener, nullptr);
    wayland.frameRequestedMs = emu::BackendTickMs();
}

}  // namespace

void ResizeKeptFrame(int width, int height) {
    if (egl.kept.available && egl.current != EGL_NO_CONTEXT) AllocateKeptFrame(width, height);
}

void ReleaseGl() {
    if (egl.surface == EGL_NO_SURFACE) return;
    if (egl.current != EGL_NO_CONTEXT)
        wlLib.eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    egl.current = EGL_NO_CONTEXT;
    wlLib.eglDestroySurface(egl.display, egl.surface);
    egl.surface = EGL_NO_SURFACE;
}

namespace emu {

bool WaylandDisplayAsleep() {
    if (wayland.display == nullptr || wayland.surface == nullptr) return false;
    return wayland.frameCallback != nullptr && emu::BackendTickMs() - wayland.frameRequestedMs >= kHiddenAfterMs;
}

}  // namespace emu

int WaylandChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd) {
    if (pfd == nullptr || !IsSaverDC(dc)) return 0;
    return Initialize() ? kOnlyFormat : 0;
}

BOOL WaylandSetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
    return format == kOnlyFormat && IsSaverDC(dc) && Initialize() ? 1 : 0;
}

int WaylandDescribePixelFormat(HDC, int format, UINT size, PIXELFORMATDESCRIPTOR* pfd) {
    return Initialize() ? DescribeEglConfig(egl.display, egl.config, format, size, pfd) : 0;
}

HGLRC WaylandCreateContext(HDC dc) {
    if (!IsSaverDC(dc) || !Initialize()) return nullptr;
    const EGLint attributes[] = {EGL_NONE};
    EGLContext context = wlLib.eglCreateContext(egl.display, egl.config, EGL_NO_CONTEXT, attributes);
    return context != EGL_NO_CONTEXT ? reinterpret_cast<HGLRC>(context) : nullptr;
}

BOOL WaylandMakeCurrent(HDC dc, HGLRC context) {
    if (egl.display == EGL_NO_DISPLAY) return context == nullptr ? 1 : 0;
    if (context == nullptr) {
        wlLib.eglMakeCurrent(egl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        egl.current = EGL_NO_CONTEXT;
        return 1;
    }
    if (!IsSaverDC(dc)) return 0;
    if (egl.surface == EGL_NO_SURFACE) {
        egl.surface = wlLib.eglCreateWindowSurface(egl.display, egl.config,
                                                   reinterpret_cast<EGLNativeWindowType>(wayland.eglWindow), nullptr);
        if (egl.surface == EGL_NO_SURFACE) return 0;
    }
    auto eglContext = reinterpret_cast<EGLContext>(context);
    if (!wlLib.eglMakeCurrent(egl.display, egl.surface, egl.surface, eglContext)) return 0;
    if (egl.current != eglContext) egl.kept = KeptFrame();
    egl.current = eglContext;
    wlLib.eglSwapInterval(egl.display, 0);
    PrepareKeptFrame();
    NoteStartupStep(StartupStep::Context);
    return 1;
}

BOOL WaylandDeleteContext(HGLRC context) { return DeleteEglContext(egl.display, &egl.current, context); }

BOOL WaylandSwapBuffers(HDC dc) {
    if (!IsSaverDC(dc) || egl.surface == EGL_NO_SURFACE || egl.current == EGL_NO_CONTEXT) return 0;
    // Until the compositor has shown the last frame, this one stays where it
    // was drawn and the next swap shows the newest: a swap now could wait
    // inside EGL, deaf to signals, for a buffer that a stopped compositor
    // never releases.
    if (wayland.frameCallback != nullptr) return 1;
    const KeptFrame& k = egl.kept;
    if (k.available) {
        k.bindFramebuffer(GL_READ_FRAMEBUFFER, k.framebuffer);
        k.bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        k.blitFramebuffer(0, 0, k.width, k.height, 0, 0, k.width, k.height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    }
    RequestFrameCallback();
    const EGLBoolean swapped = wlLib.eglSwapBuffers(egl.display, egl.surface);
    if (k.available) k.bindFramebuffer(GL_FRAMEBUFFER, k.framebuffer);
    NoteFramePresented();
    if (StartupTraced()) {
        // The frame counts as presented once it is drawn and the compositor has it.
        glFinish();
        RoundTrip();
        NoteStartupStep(StartupStep::Frame);
    }
    return swapped ? 1 : 0;
}

}  // namespace plat
