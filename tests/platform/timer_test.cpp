// Window timers of the emulated window system on the virtual clock: the 10 ms floor,
// no pile-up, callbacks, killing, and the wrap of the tick count.
#include <gtest/gtest.h>

#include "tests/platform/test_window.h"

namespace {

using namespace plat;

// Runs the loop until `ms` of virtual time have passed; counts WM_TIMER of `window`.
int CountTimerMessagesUntil(std::uint64_t ms, HWND window) {
    int count = 0;
    MSG msg;
    while (headless::NowMs() < ms && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == window) ++count;
        DispatchMessageA(&msg);
    }
    return count;
}

TEST(Timers, PeriodsBelowTenMillisecondsAreRaisedToTen) {
    StartFresh();
    HWND w = MakeWindow();
    EXPECT_EQ(SetTimer(w, 1, 1, nullptr), 1u);
    EXPECT_EQ(CountTimerMessagesUntil(1000, w), 100);  // not 1000
    EXPECT_EQ(headless::CountCalls("SetTimer 1 1"), 1);
}

TEST(Timers, LongerPeriodsAreKept) {
    StartFresh();
    HWND w = MakeWindow();
    SetTimer(w, 2, 25, nullptr);
    EXPECT_EQ(CountTimerMessagesUntil(1000, w), 40);
}

TEST(Timers, TheLoopSleepsUntilTheTimerIsDue) {
    StartFresh();
    HWND w = MakeWindow();
    TakePosted();
    SetTimer(w, 1, 40, nullptr);
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(headless::NowMs(), 40u);
    EXPECT_EQ(msg.time, 40u);
}

TEST(Timers, ADueTimerYieldsOneMessageNoPileUp) {
    StartFresh();
    HWND w = MakeWindow();
    TakePosted();
    SetTimer(w, 1, 10, nullptr);
    Sleep(1000);  // a hundred periods pass without the loop
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    Sleep(10);
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

TEST(Timers, PeekWithoutRemoveKeepsTheTimerDue) {
    StartFresh();
    HWND w = MakeWindow();
    TakePosted();
    SetTimer(w, 1, 10, nullptr);
    Sleep(10);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
}

struct CallbackCall {
    HWND window;
    UINT message;
    UINT_PTR id;
    DWORD tick;
};
std::vector<CallbackCall> callbackCalls;

void SAVER_CALLBACK TimerCallback(HWND window, UINT message, UINT_PTR id, DWORD tick) {
    callbackCalls.push_back({window, message, id, tick});
}

void SAVER_CALLBACK OtherCallback(HWND, UINT, UINT_PTR, DWORD) { ADD_FAILURE() << "a forged callback was called"; }

TEST(Timers, DispatchCallsTheCallbackInsteadOfTheWindowProcedure) {
    headless::Config config;
    config.startTickMs = 5000;
    StartFresh(config);
    callbackCalls.clear();
    HWND w = MakeWindow();
    TakePosted();
    seen.clear();
    ASSERT_EQ(SetTimer(w, 9, 1, TimerCallback), 9u);
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg, nullptr, 0, 0), 1);
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(msg.wParam, 9u);
    DispatchMessageA(&msg);
    ASSERT_EQ(callbackCalls.size(), 1u);
    EXPECT_EQ(callbackCalls[0].window, w);
    EXPECT_EQ(callbackCalls[0].message, WM_TIMER);
    EXPECT_EQ(callbackCalls[0].id, 9u);
    EXPECT_EQ(callbackCalls[0].tick, 5010u);
    EXPECT_EQ(CountSeen(WM_TIMER), 0);
}

TEST(Timers, APostedTimerMessageCannotNameAnyCallback) {
    StartFresh();
    HWND w = MakeWindow();
    TakePosted();
    SetTimer(w, 1, 10, TimerCallback);
    MSG forged = {w, WM_TIMER, 1, reinterpret_cast<LPARAM>(&OtherCallback), 0, {0, 0}};
    EXPECT_EQ(DispatchMessageA(&forged), 0);
    forged.wParam = 2;  // no such timer
    forged.lParam = reinterpret_cast<LPARAM>(&TimerCallback);
    callbackCalls.clear();
    DispatchMessageA(&forged);
    EXPECT_TRUE(callbackCalls.empty());
}

TEST(Timers, KillTimerStopsItAndDestroyingTheWindowKillsItsTimers) {
    StartFresh();
    HWND w = MakeWindow();
    HWND other = MakeWindow();
    TakePosted();
    SetTimer(w, 1, 10, nullptr);
    SetTimer(other, 1, 10, nullptr);
    EXPECT_TRUE(KillTimer(w, 1));
    EXPECT_FALSE(KillTimer(w, 1));
    EXPECT_EQ(headless::CountCalls("KillTimer 1"), 2);
    Sleep(100);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, other);
    DestroyWindow(other);
    Sleep(100);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(Timers, SettingTheSameTimerAgainReplacesIt) {
    StartFresh();
    HWND w = MakeWindow();
    TakePosted();
    SetTimer(w, 1, 10, nullptr);
    SetTimer(w, 1, 100, nullptr);
    EXPECT_EQ(CountTimerMessagesUntil(1000, w), 10);
}

TEST(Timers, TimersKeepGoingAcrossTheWrapOfTheTickCount) {
    headless::Config config;
    config.startTickMs = 0xFFFFFFF0u;
    StartFresh(config);
    HWND w = MakeWindow();
    SetTimer(w, 1, 10, nullptr);
    EXPECT_EQ(CountTimerMessagesUntil(200, w), 20);
    EXPECT_EQ(GetTickCount(), 0xFFFFFFF0u + 200u);
}

TEST(Timers, FailuresReturnZero) {
    headless::Config config;
    config.failSetTimer = true;
    StartFresh(config);
    HWND w = MakeWindow();
    EXPECT_EQ(SetTimer(w, 1, 1, nullptr), 0u);
    EXPECT_EQ(headless::CountCalls("SetTimer 1 1"), 1);

    StartFresh();
    EXPECT_EQ(SetTimer(HandleFromNumber(777), 1, 10, nullptr), 0u);
    w = MakeWindow();
    int made = 0;
    while (SetTimer(w, static_cast<UINT_PTR>(made + 1), 10, nullptr) != 0 && made < 100) ++made;
    EXPECT_EQ(made, 32);
}

}  // namespace
