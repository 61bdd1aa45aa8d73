// The GL surface over GLX: one pixel format (the double-buffered RGBA visual
// with depth that every window's GL child is created with), contexts made
// current on a window's GL child, and buffer swaps, which leave every pixel
// opaque on a visual with alpha.
#include <GL/glx.h>

#include <cstring>

#include "platform/posix/frame_count.h"
#include "platform/posix/startup_trace.h"
#include "platform/x11/fps_overlay.h"
#include "platform/x11/state.h"

namespace plat {

namespace {

constexpr int kOnlyFormat = emu::kOnlyPixelFormat;

// The GL child of the window a device context belongs to, or None.
::Window DrawableOf(HDC dc) {
    Peer* peer = PeerOfHandle(emu::WindowFromDC(dc));
    if (!peer || peer->gone) return None;
    return peer->gl;
}

int VisualAttribute(int attribute) {
    int value = 0;
    if (!x11.glVisual) return 0;
    glXGetConfig(x11.display, x11.glVisual, attribute, &value);
    return value;
}

bool hasCurrentContext = false;

// A daemon's 32-bit ARGB window is drawn on directly, and a compositor shows
// its alpha: the blended colours leave anything from 0 to 255 there. Alpha is
// set to 1 over the whole buffer before each swap; red, green and blue stay as
// drawn, and destination alpha reads as on a visual without alpha.
void MakeOpaque() {
    if (VisualAttribute(GLX_ALPHA_SIZE) == 0) return;
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPopAttrib();
}

}  // namespace

void ReleaseCurrentContext() {
    if (!hasCurrentContext || !x11.display) return;
    glXMakeCurrent(x11.display, None, nullptr);
    hasCurrentContext = false;
}

int X11ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd) {
    if (!pfd || !x11.display || !DrawableOf(dc)) return 0;
    return GlVisual() ? kOnlyFormat : 0;
}

BOOL X11SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR*) {
    if (format != kOnlyFormat || !x11.display || !DrawableOf(dc)) return 0;
    return GlVisual() ? 1 : 0;
}

int X11DescribePixelFormat(HDC, int format, UINT size, PIXELFORMATDESCRIPTOR* pfd) {
    if (!x11.display || !GlVisual()) return 0;
    auto bits = [](int attribute) { return static_cast<BYTE>(VisualAttribute(attribute)); };
    const emu::PixelFormatBits visual = {
        .color = bits(GLX_BUFFER_SIZE),
        .red = bits(GLX_RED_SIZE),
        .green = bits(GLX_GREEN_SIZE),
        .blue = bits(GLX_BLUE_SIZE),
        .alpha = bits(GLX_ALPHA_SIZE),
        .depth = bits(GLX_DEPTH_SIZE),
        .stencil = bits(GLX_STENCIL_SIZE),
    };
    return emu::DescribeOnlyPixelFormat(format, size, pfd, visual);
}

HGLRC X11CreateContext(HDC dc) {
    if (!x11.display || !DrawableOf(dc) || !GlVisual()) return nullptr;
    GLXContext context = glXCreateContext(x11.display, x11.glVisual, nullptr, True);
    if (!context) context = glXCreateContext(x11.display, x11.glVisual, nullptr, False);
    return reinterpret_cast<HGLRC>(context);
}

BOOL X11MakeCurrent(HDC dc, HGLRC context) {
    if (!x11.display) return 0;
    if (!context) {
        ReleaseCurrentContext();
        return 1;
    }
    ::Window drawable = DrawableOf(dc);
    if (drawable == None) return 0;
    BeginErrorTrap();
    Bool made = glXMakeCurrent(x11.display, drawable, reinterpret_cast<GLXContext>(context));
    if (!EndErrorTrap() || !made) return 0;
    hasCurrentContext = true;
    NoteStartupStep(StartupStep::Context);
    return 1;
}

BOOL X11DeleteContext(HGLRC context) {
    if (!context || !x11.display) return 0;
    auto glx = reinterpret_cast<GLXContext>(context);
    if (glXGetCurrentContext() == glx) ReleaseCurrentContext();
    glXDestroyContext(x11.display, glx);
    return 1;
}

BOOL X11SwapBuffers(HDC dc) {
    ::Window drawable = DrawableOf(dc);
    if (drawable == None) return 0;
    DrawFpsOverlay();
    MakeOpaque();
    glXSwapBuffers(x11.display, drawable);
    RestoreUnderFpsOverlay();
    NoteFramePresented();
    if (StartupTraced()) {
        // The frame counts as presented once it is drawn and the server has it.
        glFinish();
        XSync(x11.display, False);
        NoteStartupStep(StartupStep::Frame);
    }
    return 1;
}

}  // namespace plat
