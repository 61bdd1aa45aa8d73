// Scripted input of the headless platform (by frame and by virtual time), menu
// commands, foreign windows going away, and the safety net.
#include <gtest/gtest.h>

#include "tests/platform/test_window.h"

namespace {

using namespace plat;
using headless::Event;
using headless::Input;

HDC SurfaceOf(HWND window) {
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.cColorBits = 32;
    EXPECT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd));
    return dc;
}

Event Make(Input input, std::intptr_t a = 0, std::intptr_t b = 0, std::intptr_t c = 0, HWND target = nullptr) {
    Event e{input};
    e.a = a;
    e.b = b;
    e.c = c;
    e.target = target;
    return e;
}

TEST(Script, EventsAtAFrameArriveOnceThatFrameWasPresented) {
    StartFresh();
    HWND w = MakeWindow();
    HDC dc = SurfaceOf(w);
    headless::AtFrame(3, Make(Input::KeyDown, 'Q'));
    TakePosted();
    for (int frame = 1; frame <= 2; ++frame) {
        ASSERT_TRUE(SwapBuffers(dc));
        EXPECT_TRUE(TakePosted().empty()) << "frame " << frame;
    }
    ASSERT_TRUE(SwapBuffers(dc));
    EXPECT_EQ(headless::FramesPresented(), 3);
    std::vector<MSG> got = TakePosted();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].hwnd, w);
    EXPECT_EQ(got[0].message, WM_KEYDOWN);
    EXPECT_EQ(got[0].wParam, static_cast<WPARAM>('Q'));
    EXPECT_TRUE(TakePosted().empty());  // delivered once
}

TEST(Script, EventsAtATimeWakeTheLoopAtThatTime) {
    StartFresh();
    HWND w = MakeWindow();
    TakePosted();
    headless::AtMs(250, Make(Input::KeyDown, 'B'));
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_KEYDOWN);
    EXPECT_EQ(msg.hwnd, w);
    EXPECT_EQ(headless::NowMs(), 250u);
}

TEST(Script, EventsAtTheSamePointKeepTheirOrderAndPointsTheirs) {
    StartFresh();
    MakeWindow();
    TakePosted();
    headless::AtMs(20, Make(Input::Message, WM_APP + 3));
    headless::AtMs(10, Make(Input::Message, WM_APP + 1));
    headless::AtMs(10, Make(Input::Message, WM_APP + 2));
    Sleep(30);
    std::vector<MSG> got = TakePosted();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].message, WM_APP + 1u);
    EXPECT_EQ(got[1].message, WM_APP + 2u);
    EXPECT_EQ(got[2].message, WM_APP + 3u);
}

TEST(Script, TheNewestVisibleWindowTakesUntargetedInputAndAnEventWaitsForOne) {
    StartFresh();
    headless::AtMs(0, Make(Input::KeyDown, 'K'));
    TakePosted();  // no window yet: the event is held
    HWND visible = MakeWindow("visible");
    MakeWindow("hidden", WS_POPUP);
    HWND other = MakeWindow("other", WS_POPUP);
    std::vector<MSG> got = TakePosted();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].hwnd, visible);
    headless::AtMs(0, Make(Input::Message, WM_APP, 0, 0, other));
    got = TakePosted();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].hwnd, other);
}

TEST(Script, KeysButtonsAndWheel) {
    StartFresh();
    HWND w = MakeWindow();
    headless::AtMs(0, Make(Input::KeyUp, 'A'));
    headless::AtMs(0, Make(Input::SysKeyDown, 0x12));
    headless::AtMs(0, Make(Input::Char, 'a'));
    headless::AtMs(0, Make(Input::ButtonDown, 0));
    headless::AtMs(0, Make(Input::ButtonDown, 1));
    headless::AtMs(0, Make(Input::ButtonDown, 2));
    headless::AtMs(0, Make(Input::ButtonUp, 0));
    headless::AtMs(0, Make(Input::Wheel, -120));
    std::vector<MSG> got = TakePosted();
    const UINT expected[] = {WM_KEYUP,       WM_SYSKEYDOWN,  WM_CHAR,      WM_LBUTTONDOWN,
                             WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEWHEEL};
    ASSERT_EQ(got.size(), 8u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(got[i].message, expected[i]) << i;
        EXPECT_EQ(got[i].hwnd, w);
    }
    EXPECT_EQ(got[3].lParam, PointParam(512, 384));  // the cursor, in client coordinates
    EXPECT_EQ(static_cast<std::int16_t>(HIWORD(got[7].wParam)), -120);
}

TEST(Script, CursorMovesUpdateThePositionThenPostMouseMove) {
    headless::Config config;
    config.screenWidth = 800;
    config.screenHeight = 600;
    config.cursor = {100, 100};
    StartFresh(config);
    HWND foreign = headless::CreateForeignWindow(800, 600);
    HWND parent = MakeWindow("parent", WS_CHILD | WS_VISIBLE, foreign, 800, 600);
    HWND child =
        CreateWindowExA(0, "Test", "c", WS_CHILD | WS_VISIBLE, 30, 40, 100, 100, parent, nullptr, nullptr, nullptr);
    headless::AtMs(0, Make(Input::MoveCursorBy, 3, 1));
    headless::AtMs(0, Make(Input::MoveCursorTo, 250, 300, 0, child));
    headless::AtMs(0, Make(Input::MoveCursorBy, 5000, -5000));
    std::vector<MSG> got = TakePosted();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].message, WM_MOUSEMOVE);
    EXPECT_EQ(got[0].hwnd, child);  // the newest visible window
    EXPECT_EQ(got[1].lParam, PointParam(220, 260));
    EXPECT_EQ(headless::CursorPos().x, 799);  // kept on the screen
    EXPECT_EQ(headless::CursorPos().y, 0);
    POINT p;
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, 799);
    (void)parent;
}

TEST(Script, ActivationAndCloseButton) {
    StartFresh();
    MakeWindow();
    headless::AtMs(0, Make(Input::Deactivate));
    headless::AtMs(0, Make(Input::Activate));
    headless::AtMs(0, Make(Input::CloseButton));
    std::vector<MSG> got = TakePosted();
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].message, WM_ACTIVATEAPP);
    EXPECT_EQ(got[0].wParam, 0u);
    EXPECT_EQ(got[1].message, WM_ACTIVATEAPP);
    EXPECT_EQ(got[1].wParam, 1u);
    EXPECT_EQ(got[2].message, WM_CLOSE);
}

TEST(Script, MenuCommandsReachTheWindowOnlyWhenTheMenuOffersThem) {
    StartFresh();
    HWND w = MakeWindow();
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    InsertMenuA(bar, 1, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(file), "File");
    AppendMenuA(file, MF_STRING, 10, "Quit");
    headless::AtMs(0, Make(Input::MenuCommand, 10));
    EXPECT_TRUE(TakePosted().empty());  // no menu attached yet: nothing to choose
    SetMenu(w, bar);
    headless::AtMs(0, Make(Input::MenuCommand, 11));
    headless::AtMs(0, Make(Input::MenuCommand, 10));
    std::vector<MSG> got = TakePosted();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, WM_COMMAND);
    EXPECT_EQ(LOWORD(got[0].wParam), 10);
    EXPECT_EQ(HIWORD(got[0].wParam), 0);
}

LRESULT SAVER_CALLBACK QuitOnDestroyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return RecordingProc(window, message, wParam, lParam);
}

TEST(Script, ScriptedDestructionOfTheForeignParentEndsThePreview) {
    StartFresh();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = QuitOnDestroyProc;
    wc.lpszClassName = "Quitting";
    RegisterClassA(&wc);
    HWND foreign = headless::CreateForeignWindow(152, 112);
    HWND preview = CreateWindowExA(0, "Quitting", "Preview", WS_CHILD | WS_VISIBLE, 0, 0, 152, 112, foreign, nullptr,
                                   nullptr, nullptr);
    headless::AtMs(500, Make(Input::DestroyForeign, 0, 0, 0, foreign));
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    EXPECT_FALSE(headless::TimedOut());
    EXPECT_FALSE(IsWindow(preview));
    EXPECT_FALSE(IsWindow(foreign));
    EXPECT_EQ(headless::NowMs(), 500u);
    EXPECT_EQ(CountSeen(WM_DESTROY, preview), 1);
}

TEST(SafetyNet, VirtualTimeRunningOutPostsOneQuit) {
    headless::Config config;
    config.maxVirtualMs = 500;
    StartFresh(config);
    MakeWindow();
    MSG msg;
    int got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) DispatchMessageA(&msg);
    EXPECT_EQ(got, 0);
    EXPECT_TRUE(headless::TimedOut());
    EXPECT_GE(headless::NowMs(), 500u);
    EXPECT_LE(headless::NowMs(), 600u);
    EXPECT_EQ(headless::CountCalls("PostQuitMessage 0"), 1);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));  // only once
}

TEST(SafetyNetDeathTest, ALoopIgnoringTheQuitAbortsInsteadOfHanging) {
    headless::Config config;
    config.maxVirtualMs = 100;
    StartFresh(config);
    MakeWindow();
    EXPECT_DEATH(
        {
            MSG msg;
            for (;;)
                if (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        },
        "ignored the safety net's quit");
}

TEST(SafetyNet, FrameCountRunningOutPostsAQuit) {
    headless::Config config;
    config.maxFrames = 3;
    StartFresh(config);
    HDC dc = SurfaceOf(MakeWindow());
    SwapBuffers(dc);
    SwapBuffers(dc);
    EXPECT_FALSE(headless::TimedOut());
    SwapBuffers(dc);
    EXPECT_TRUE(headless::TimedOut());
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

void CountFrames(int frame, void* context) { static_cast<std::vector<int>*>(context)->push_back(frame); }

TEST(Frames, TheHookSeesEveryFrameAndResetForgetsIt) {
    StartFresh();
    std::vector<int> frames;
    headless::SetFrameHook(CountFrames, &frames);
    HDC dc = SurfaceOf(MakeWindow());
    SwapBuffers(dc);
    SwapBuffers(dc);
    EXPECT_EQ(frames, (std::vector<int>{1, 2}));
    EXPECT_FALSE(SwapBuffers(GetDC(nullptr)));  // the screen is no surface
    StartFresh();
    EXPECT_EQ(headless::FramesPresented(), 0);
    SwapBuffers(SurfaceOf(MakeWindow()));
    EXPECT_EQ(frames.size(), 2u);
}

}  // namespace
