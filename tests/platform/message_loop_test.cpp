// The message loop of the emulated window system: posted order, the quit message,
// retrieval filters, sent messages, and the limits of the queue.
#include <gtest/gtest.h>

#include "tests/platform/test_window.h"

namespace {

using namespace plat;

// A window with its first paint already done, so that only posted messages wait.
HWND PaintedWindow(const char* title = "w") {
    HWND w = MakeWindow(title);
    TakePosted();
    return w;
}

TEST(MessageLoop, PostedMessagesComeBackInOrder) {
    StartFresh();
    HWND w = PaintedWindow();
    for (UINT m = WM_APP; m < WM_APP + 5; ++m) ASSERT_TRUE(PostMessageA(w, m, m - WM_APP, 0));
    MSG msg;
    for (UINT m = WM_APP; m < WM_APP + 5; ++m) {
        ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
        EXPECT_EQ(msg.message, m);
        EXPECT_EQ(msg.wParam, m - WM_APP);
        EXPECT_EQ(msg.hwnd, w);
    }
}

TEST(MessageLoop, DispatchCallsTheWindowProcedureAndSendCallsItAtOnce) {
    StartFresh();
    HWND w = PaintedWindow();
    seen.clear();
    PostMessageA(w, WM_APP, 1, 2);
    EXPECT_TRUE(seen.empty());  // posting calls nothing
    SendMessageA(w, WM_APP + 1, 3, 4);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, WM_APP + 1u);
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    DispatchMessageA(&msg);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].message, WM_APP);
    EXPECT_EQ(seen[1].lParam, 2);
}

TEST(MessageLoop, QuitComesOnlyAfterThePostedMessages) {
    StartFresh();
    HWND w = PaintedWindow();
    PostMessageA(w, WM_APP, 0, 0);
    PostQuitMessage(7);
    PostMessageA(w, WM_APP + 1, 0, 0);
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_APP);
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_APP + 1u);
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(headless::CountCalls("PostQuitMessage 7"), 1);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));  // taken once
}

TEST(MessageLoop, QuitIgnoresTheWindowFilterButNotTheMessageRange) {
    StartFresh();
    HWND a = PaintedWindow("a");
    HWND b = PaintedWindow("b");
    PostMessageA(a, WM_APP, 0, 0);
    PostQuitMessage(3);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD));
    ASSERT_EQ(GetMessageA(&msg, b, 0, 0), 0);
    EXPECT_EQ(msg.wParam, 3u);
    ASSERT_TRUE(PeekMessageA(&msg, a, 0, 0, PM_REMOVE));  // a's message is still there
    EXPECT_EQ(msg.message, WM_APP);
}

TEST(MessageLoop, PeekNoRemoveLeavesTheMessageAndTheQuit) {
    StartFresh();
    HWND w = PaintedWindow();
    PostMessageA(w, WM_KEYDOWN, 'A', 1);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_KEYDOWN);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));

    PostQuitMessage(0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
}

TEST(MessageLoop, FiltersByWindowAndMessageRange) {
    StartFresh();
    HWND a = PaintedWindow("a");
    HWND child = MakeWindow("child", WS_CHILD, a, 5, 5);
    HWND b = PaintedWindow("b");
    PostMessageA(a, WM_KEYDOWN, 1, 0);
    PostMessageA(b, WM_MOUSEMOVE, 2, 0);
    PostMessageA(nullptr, WM_APP, 3, 0);  // a thread message
    PostMessageA(child, WM_CHAR, 4, 0);

    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, b, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    EXPECT_FALSE(PeekMessageA(&msg, b, 0, 0, PM_REMOVE));
    // A window filter takes the window's children's messages too, and no thread message.
    ASSERT_TRUE(PeekMessageA(&msg, a, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(PeekMessageA(&msg, a, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, child);
    EXPECT_FALSE(PeekMessageA(&msg, a, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.message, WM_APP);
}

TEST(MessageLoop, PaintAndTimerWaitBehindPostedMessages) {
    StartFresh();
    HWND w = MakeWindow();  // needs painting
    SetTimer(w, 1, 10, nullptr);
    Sleep(50);  // the timer is due
    PostMessageA(w, WM_APP, 0, 0);
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_APP);
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_PAINT);
    DispatchMessageA(&msg);
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_TIMER);
}

TEST(MessageLoop, FullQueueRefusesInsteadOfDropping) {
    StartFresh();
    HWND w = PaintedWindow();
    int posted = 0;
    while (PostMessageA(w, WM_APP, static_cast<WPARAM>(posted), 0) && posted < 1000) ++posted;
    EXPECT_EQ(posted, 256);
    std::vector<MSG> taken = TakePosted();
    ASSERT_EQ(taken.size(), 256u);
    EXPECT_EQ(taken.front().wParam, 0u);
    EXPECT_EQ(taken.back().wParam, 255u);
}

TEST(MessageLoop, PostingToNoWindowFails) {
    StartFresh();
    EXPECT_FALSE(PostMessageA(HandleFromNumber(0xE0000063u), WM_APP, 0, 0));
    EXPECT_FALSE(PostMessageA(HandleFromNumber(4242), WM_APP, 0, 0));
    EXPECT_EQ(SendMessageA(HandleFromNumber(4242), WM_APP, 0, 0), 0);
}

TEST(MessageLoop, GetMessageForADestroyedWindowFailsInsteadOfBlocking) {
    StartFresh();
    HWND w = PaintedWindow();
    DestroyWindow(w);
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg, w, 0, 0), -1);
    EXPECT_FALSE(PeekMessageA(&msg, w, 0, 0, PM_REMOVE));
}

TEST(MessageLoop, RegisteredMessagesAreStablePerName) {
    StartFresh();
    UINT a = RegisterWindowMessageA("QueryCancelAutoPlay");
    EXPECT_GE(a, 0xC000u);
    EXPECT_EQ(RegisterWindowMessageA("querycancelautoplay"), a);
    EXPECT_NE(RegisterWindowMessageA("Another"), a);
    EXPECT_EQ(RegisterWindowMessageA(""), 0u);
}

}  // namespace
