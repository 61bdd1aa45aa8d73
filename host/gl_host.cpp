// GL start and stop on a window, the projection, and one frame: the fade overlay,
// the clear, the effect's step, flush and swap.
#include "host/effect_hooks.h"
#include "host/host.h"
#include "platform/gl.h"
#include "savers/saver_variant.h"
#include "toolkit/random.h"

using namespace plat;

HostState host;

namespace {

constexpr UINT_PTR kFrameTimerId = 1;
constexpr UINT kFrameTimerPeriodMs = 1;

void ShowError(const char* text) { MessageBoxA(nullptr, text, "Error", MB_OK); }

void DrawFadeOverlay() {
    const bool textured = saverVariant.fadeStyle == FadeStyle::Textured;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    if (textured) {
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLubyte level = textured ? 1 : 0;
    glColor4ub(level, level, level, saverVariant.fadeAlpha);
    static const GLfloat corners[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    glBegin(GL_QUADS);
    for (const GLfloat* corner : corners) {
        if (textured) glTexCoord2f(corner[0], corner[1]);
        glVertex2f(corner[0], corner[1]);
    }
    glEnd();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

}  // namespace

bool StartGL(HWND window) {
    host.timerId = 0;
    host.deviceContext = GetDC(window);

    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    const int format = ChoosePixelFormat(host.deviceContext, &pfd);
    if (format == 0) {
        ShowError("ChoosePixelFormat() failed:  Cannot find a suitable pixel format.");
        return false;
    }
    if (!SetPixelFormat(host.deviceContext, format, &pfd)) {
        ShowError("SetPixelFormat() failed:  Cannot set format specified.");
        return false;
    }
    host.renderContext = wglCreateContext(host.deviceContext);
    wglMakeCurrent(host.deviceContext, host.renderContext);

    if (host.demoMode) {
        host.viewWidth = host.demoWidth;
        host.viewHeight = host.demoHeight;
    } else {
        host.viewWidth = GetSystemMetrics(SM_CXSCREEN);
        host.viewHeight = GetSystemMetrics(SM_CYSCREEN);
    }

    SYSTEMTIME now = {};
    GetSystemTime(&now);
    SeedRandom(static_cast<std::uint32_t>(now.wMinute) + now.wSecond + now.wMilliseconds);

    ResizeView(host.viewWidth, host.viewHeight);
    if (saverVariant.additiveBlendBeforeSetup) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    }
    EffectSetupGL();
    if (!EffectInit()) {
        ShowError("Init Points Failed");
        return false;
    }
    if (host.demoMode) return true;

    host.timerId = SetTimer(window, kFrameTimerId, kFrameTimerPeriodMs, FrameTimerTick);
    return host.timerId != 0;
}

void StopGL(HWND window) {
    EffectFree();
    if (host.timerId != 0) KillTimer(window, host.timerId);
    host.timerId = 0;
    wglMakeCurrent(nullptr, nullptr);
    ReleaseDC(window, host.deviceContext);
    wglDeleteContext(host.renderContext);
    host.deviceContext = nullptr;
    host.renderContext = nullptr;
}

void ResizeView(int width, int height) {
    // A minimised window reports 0 x 0; keep the last projection rather than
    // divide by zero.
    if (width <= 0 || height <= 0) return;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const float aspect = static_cast<float>(static_cast<double>(height) / width);
    glFrustum(-1.0 / aspect, 1.0 / aspect, -1.0, 1.0, 1.0, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void FollowScreenSize() {
    if (host.demoMode || host.renderContext == nullptr) return;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    if (width == host.viewWidth && height == host.viewHeight) return;
    host.viewWidth = width;
    host.viewHeight = height;
    ResizeView(width, height);
}

void RenderFrame() {
    if (saverVariant.fadeEnabled == 1) {
        DrawFadeOverlay();
        glClear(GL_DEPTH_BUFFER_BIT);
    } else {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    glLoadIdentity();
    EffectDraw();
    glFlush();
    SwapBuffers(host.deviceContext);
}

void SAVER_CALLBACK FrameTimerTick(HWND, UINT, UINT_PTR, DWORD) { RenderFrame(); }
