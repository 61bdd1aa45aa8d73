// The EGL surface of the headless platform: a context on a window's DC draws into a
// buffer of the window's size that keeps its contents from frame to frame.
#include <gtest/gtest.h>

#include "platform/gl.h"
#include "tests/platform/test_window.h"

namespace {

using namespace plat;

struct Surface {
    HWND window;
    HDC dc;
    HGLRC context;
};

Surface StartSurface(int width, int height) {
    Surface s{MakeWindow("gl", WS_POPUP | WS_VISIBLE, nullptr, width, height), nullptr, nullptr};
    s.dc = GetDC(s.window);
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.cColorBits = 32;
    SetPixelFormat(s.dc, ChoosePixelFormat(s.dc, &pfd), &pfd);
    s.context = wglCreateContext(s.dc);
    if (s.context != nullptr) wglMakeCurrent(s.dc, s.context);
    return s;
}

std::vector<std::uint8_t> Pixel(int x, int y) {
    std::vector<std::uint8_t> rgba(4);
    EXPECT_TRUE(headless::ReadPixels(x, y, 1, 1, rgba.data()));
    return rgba;
}

TEST(GlSurface, FramesAccumulateAndReadBack) {
    StartFresh();
    Surface s = StartSurface(64, 32);
    if (s.context == nullptr) GTEST_SKIP() << "no EGL display with desktop GL";
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_TRUE(SwapBuffers(s.dc));

    // Frame 2 only touches the right half; the left half keeps frame 1.
    glEnable(GL_SCISSOR_TEST);
    glScissor(32, 0, 32, 32);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    ASSERT_TRUE(SwapBuffers(s.dc));
    EXPECT_EQ(headless::FramesPresented(), 2);
    EXPECT_EQ(Pixel(0, 0), (std::vector<std::uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(63, 31), (std::vector<std::uint8_t>{0, 255, 0, 255}));

    std::vector<std::uint8_t> all(64 * 32 * 4);
    EXPECT_TRUE(headless::ReadPixels(0, 0, 64, 32, all.data()));
    EXPECT_FALSE(headless::ReadPixels(0, 0, 65, 32, all.data()));  // beyond the window
    EXPECT_FALSE(headless::ReadPixels(-1, 0, 1, 1, all.data()));

    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_FALSE(headless::ReadPixels(0, 0, 1, 1, all.data()));
    EXPECT_TRUE(wglDeleteContext(s.context));
    EXPECT_FALSE(wglDeleteContext(s.context));
}

TEST(GlSurface, ContextNeedsAPixelFormatAndChoiceFailuresAreScriptable) {
    headless::Config config;
    config.failChoosePixelFormat = true;
    config.failSetPixelFormat = true;
    StartFresh(config);
    HWND w = MakeWindow();
    HDC dc = GetDC(w);
    PIXELFORMATDESCRIPTOR pfd = {};
    EXPECT_EQ(ChoosePixelFormat(dc, &pfd), 0);
    EXPECT_FALSE(SetPixelFormat(dc, 1, &pfd));
    EXPECT_EQ(wglCreateContext(dc), nullptr);
    EXPECT_FALSE(SwapBuffers(dc));
    EXPECT_EQ(headless::CountCalls("wglCreateContext"), 1);
}

TEST(GlSurface, ResetReleasesALeftoverContext) {
    StartFresh();
    Surface s = StartSurface(16, 16);
    if (s.context == nullptr) GTEST_SKIP() << "no EGL display with desktop GL";
    StartFresh();
    EXPECT_FALSE(headless::ReadPixels(0, 0, 1, 1, std::vector<std::uint8_t>(4).data()));
    Surface again = StartSurface(16, 16);
    ASSERT_NE(again.context, nullptr);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    SwapBuffers(again.dc);
    EXPECT_EQ(Pixel(8, 8), (std::vector<std::uint8_t>{0, 0, 255, 255}));
}

}  // namespace
