// Window classes and windows of the emulated window system: creation and
// destruction order, default processing, lookup, foreign parents, device contexts.
#include <gtest/gtest.h>

#include "platform/emulated/backend.h"
#include "tests/platform/test_window.h"

namespace {

using namespace plat;

bool visibleAtCreate = true;
BOOL isWindowAtCreate = 0;

LRESULT SAVER_CALLBACK CreateProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        isWindowAtCreate = IsWindow(window);
        visibleAtCreate = emu::LookupWindow(window)->visible;
    }
    return RecordingProc(window, message, wParam, lParam);
}

TEST(Windows, CreationSendsCreateInsideTheCallThenSizeThenShow) {
    StartFresh();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CreateProbeProc;
    wc.lpszClassName = "Probe";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND w =
        CreateWindowExA(0, "Probe", "t", WS_POPUP | WS_VISIBLE, 5, 6, 300, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(seen.size(), 3u);  // all three before CreateWindowExA returned
    EXPECT_EQ(seen[0].message, WM_CREATE);
    EXPECT_EQ(seen[1].message, WM_SIZE);
    EXPECT_EQ(seen[1].lParam, PointParam(300, 200));
    EXPECT_EQ(seen[2].message, WM_SHOWWINDOW);
    EXPECT_EQ(seen[2].wParam, 1u);
    EXPECT_TRUE(isWindowAtCreate);
    EXPECT_FALSE(visibleAtCreate);  // shown only after creation
    ASSERT_EQ(headless::Windows().size(), 1u);
    EXPECT_TRUE(headless::Windows()[0].visible);
    EXPECT_EQ(headless::Windows()[0].style, WS_POPUP | WS_VISIBLE);
}

TEST(Windows, InvisibleWindowGetsNoShowMessage) {
    StartFresh();
    HWND w = MakeWindow("hidden", WS_POPUP);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(CountSeen(WM_SHOWWINDOW), 0);
    EXPECT_FALSE(headless::Windows()[0].visible);
    EXPECT_FALSE(ShowWindow(w, SW_SHOW));  // it was hidden
    EXPECT_EQ(CountSeen(WM_SHOWWINDOW, w), 1);
    EXPECT_TRUE(headless::Windows()[0].visible);
}

TEST(Windows, CreateResultMinusOneDestroysTheWindowAndReturnsNull) {
    StartFresh();
    createResult = -1;
    EXPECT_EQ(MakeWindow(), nullptr);
    EXPECT_EQ(CountSeen(WM_DESTROY), 1);
    EXPECT_EQ(CountSeen(WM_SIZE), 0);
    EXPECT_TRUE(headless::Windows().empty());
    EXPECT_EQ(IsWindow(seen[0].window), 0);
}

TEST(Windows, ClassNamesAreUniqueAndCaseInsensitive) {
    StartFresh();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "TEST";
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_NE(CreateWindowExA(0, "test", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    wc.lpfnWndProc = nullptr;
    wc.lpszClassName = "Other";
    EXPECT_EQ(RegisterClassA(&wc), 0);
}

TEST(Windows, DefaultCloseDestroysWithDestroyForParentThenChildren) {
    StartFresh();
    HWND parent = MakeWindow("parent");
    HWND child = MakeWindow("child", WS_CHILD | WS_VISIBLE, parent, 10, 10);
    ASSERT_NE(child, nullptr);
    PostMessageA(parent, WM_APP, 0, 0);
    PostMessageA(child, WM_APP, 0, 0);
    SetTimer(parent, 1, 10, nullptr);
    seen.clear();

    EXPECT_EQ(SendMessageA(parent, WM_CLOSE, 0, 0), 0);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].message, WM_CLOSE);
    EXPECT_EQ(seen[1].window, parent);
    EXPECT_EQ(seen[1].message, WM_DESTROY);
    EXPECT_EQ(seen[2].window, child);
    EXPECT_EQ(seen[2].message, WM_DESTROY);
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(DestroyWindow(parent));

    // Nothing of the windows is left in the queue: no posted message, no timer.
    Sleep(100);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

LRESULT SAVER_CALLBACK DestroyAgainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) DestroyWindow(window);  // must not recurse
    return RecordingProc(window, message, wParam, lParam);
}

TEST(Windows, DestroyInsideDestroyIsRefused) {
    StartFresh();
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DestroyAgainProc;
    wc.lpszClassName = "Again";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, "Again", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(DestroyWindow(w));
    EXPECT_EQ(CountSeen(WM_DESTROY), 1);
}

TEST(Windows, FindWindowMatchesTopLevelClassAndTitle) {
    StartFresh();
    HWND first = MakeWindow("Screen Saver");
    HWND second = MakeWindow("Other");
    MakeWindow("Inner", WS_CHILD, first, 5, 5);
    EXPECT_EQ(FindWindowA("Test", "Screen Saver"), first);
    EXPECT_EQ(FindWindowA("test", "other"), second);
    EXPECT_EQ(FindWindowA("Test", nullptr), first);
    EXPECT_EQ(FindWindowA(nullptr, "Other"), second);
    EXPECT_EQ(FindWindowA("Test", "Inner"), nullptr);  // children are not top-level
    EXPECT_EQ(FindWindowA("Nope", "Screen Saver"), nullptr);
    DestroyWindow(first);
    EXPECT_EQ(FindWindowA("Test", "Screen Saver"), nullptr);
}

TEST(Windows, HandlesNeverLookLikeX11IdsAndSurviveACommandLine) {
    StartFresh();
    HWND w = MakeWindow();
    std::uintptr_t value = reinterpret_cast<std::uintptr_t>(w);
    EXPECT_GE(value, 0xE0000000u);
    EXPECT_LE(value, 0xFFFFFFFFu);
    std::string decimal = std::to_string(value);
    EXPECT_EQ(HandleFromNumber(static_cast<std::uint32_t>(std::stoul(decimal))), w);
    EXPECT_TRUE(IsWindow(HandleFromNumber(static_cast<std::uint32_t>(std::stoul(decimal)))));
}

TEST(Windows, ChildOfAForeignWindow) {
    StartFresh();
    HWND foreign = headless::CreateForeignWindow(152, 112);
    EXPECT_TRUE(IsWindow(foreign));
    RECT rect = {};
    ASSERT_TRUE(GetClientRect(foreign, &rect));
    EXPECT_EQ(rect.right, 152);
    EXPECT_EQ(rect.bottom, 112);

    HWND child = MakeWindow("Preview", WS_CHILD | WS_VISIBLE, foreign, rect.right, rect.bottom);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetParent(child), foreign);
    EXPECT_TRUE(PostMessageA(foreign, WM_HELP, 7, 8));
    ASSERT_EQ(headless::PostedToForeign().size(), 1u);
    EXPECT_EQ(headless::PostedToForeign()[0].message, WM_HELP);

    headless::DestroyForeignWindow(foreign);
    EXPECT_FALSE(IsWindow(foreign));
    EXPECT_FALSE(GetClientRect(foreign, &rect));
    EXPECT_FALSE(PostMessageA(foreign, WM_HELP, 7, 8));
    EXPECT_FALSE(IsWindow(child));  // the child goes with its parent
    EXPECT_EQ(CountSeen(WM_DESTROY, child), 1);
}

TEST(Windows, ForegroundWindowEmulatedOrForeign) {
    StartFresh();
    HWND w = MakeWindow();
    HWND foreign = headless::CreateForeignWindow(10, 10);
    EXPECT_TRUE(SetForegroundWindow(w));
    EXPECT_EQ(GetForegroundWindow(), w);
    EXPECT_TRUE(SetForegroundWindow(foreign));
    EXPECT_EQ(GetForegroundWindow(), foreign);
    EXPECT_EQ(headless::CountCalls("SetForegroundWindow"), 2);
    headless::DestroyForeignWindow(foreign);
    EXPECT_FALSE(SetForegroundWindow(foreign));
    EXPECT_EQ(GetForegroundWindow(), nullptr);
}

TEST(Windows, ChildNeedsALiveParent) {
    StartFresh();
    EXPECT_EQ(MakeWindow("orphan", WS_CHILD), nullptr);
    HWND foreign = headless::CreateForeignWindow(10, 10);
    headless::DestroyForeignWindow(foreign);
    EXPECT_EQ(MakeWindow("late", WS_CHILD, foreign), nullptr);
    EXPECT_EQ(MakeWindow("bogus", WS_CHILD, HandleFromNumber(12345)), nullptr);
}

TEST(Windows, TableFullFailsCleanly) {
    StartFresh();
    int made = 0;
    while (MakeWindow("w", WS_POPUP) != nullptr && made < 1000) ++made;
    EXPECT_EQ(made, 64);
    EXPECT_EQ(headless::Windows().size(), 64u);
}

TEST(Windows, DeviceContextsMapBackToTheirWindows) {
    headless::Config config;
    config.screenWidth = 640;
    config.screenHeight = 480;
    StartFresh(config);
    HWND a = MakeWindow("a");
    HWND b = MakeWindow("b", WS_POPUP, nullptr, 30, 20);
    HDC da = GetDC(a), db = GetDC(b), screen = GetDC(nullptr);
    ASSERT_NE(da, nullptr);
    EXPECT_NE(da, db);
    EXPECT_EQ(emu::WindowFromDC(da), a);
    EXPECT_EQ(emu::WindowFromDC(db), b);
    EXPECT_EQ(emu::WindowFromDC(screen), nullptr);
    EXPECT_TRUE(emu::IsScreenDC(screen));

    RECT box = {};
    EXPECT_NE(GetClipBox(screen, &box), 0);
    EXPECT_EQ(box.right, 640);
    EXPECT_EQ(box.bottom, 480);
    EXPECT_NE(GetClipBox(db, &box), 0);
    EXPECT_EQ(box.right, 30);

    EXPECT_EQ(ReleaseDC(a, db), 0);  // not a's DC
    EXPECT_EQ(ReleaseDC(a, da), 1);
    DestroyWindow(a);
    EXPECT_EQ(emu::WindowFromDC(da), nullptr);
    EXPECT_EQ(GetDC(a), nullptr);
}

TEST(Windows, PaintIsGeneratedOnceAndValidatedByDefaultProcessing) {
    StartFresh();
    HWND w = MakeWindow();
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_PAINT);
    EXPECT_EQ(msg.hwnd, w);
    DispatchMessageA(&msg);  // DefWindowProcA: BeginPaint + EndPaint
    EXPECT_EQ(CountSeen(WM_ERASEBKGND, w), 1);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    emu::InvalidateWindow(w);
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
}

TEST(Windows, NativeResizeSendsSizeOnlyWhenTheSizeChanges) {
    StartFresh();
    HWND w = MakeWindow();
    seen.clear();
    emu::NativeResized(w, 10, 10, 320, 200);
    EXPECT_EQ(CountSeen(WM_SIZE), 0);
    emu::NativeResized(w, 10, 10, 400, 300);
    ASSERT_EQ(CountSeen(WM_SIZE), 1);
    EXPECT_EQ(seen.back().lParam, PointParam(400, 300));
    RECT rect;
    GetClientRect(w, &rect);
    EXPECT_EQ(rect.right, 400);
}

TEST(Windows, SetCursorNullHidesAnyOtherShows) {
    StartFresh();
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(LoadIconA(reinterpret_cast<HINSTANCE>(0x400000), 100), nullptr);  // no icon resources
    SetCursor(nullptr);
    EXPECT_TRUE(headless::CursorHidden());
    EXPECT_EQ(SetCursor(arrow), nullptr);
    EXPECT_FALSE(headless::CursorHidden());
    EXPECT_EQ(headless::CountCalls("SetCursor hidden"), 1);
    EXPECT_EQ(headless::CountCalls("SetCursor shown"), 1);
}

TEST(Menus, InsertByPositionAppendsBeyondTheEnd) {
    StartFresh();
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    HMENU options = CreatePopupMenu();
    ASSERT_TRUE(InsertMenuA(bar, 1, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(file), "File"));
    ASSERT_TRUE(InsertMenuA(bar, 2, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(options), "Options"));
    ASSERT_TRUE(InsertMenuA(bar, 0, MF_BYPOSITION | MF_STRING, 99, "First"));
    ASSERT_TRUE(AppendMenuA(file, MF_STRING, 10, "Quit"));
    ASSERT_EQ(emu::MenuItemCount(bar), 3);
    EXPECT_STREQ(emu::MenuItemAt(bar, 0)->text, "First");
    EXPECT_STREQ(emu::MenuItemAt(bar, 1)->text, "File");
    EXPECT_EQ(emu::MenuItemAt(bar, 1)->popup, file);
    EXPECT_STREQ(emu::MenuItemAt(bar, 2)->text, "Options");
    EXPECT_EQ(emu::MenuItemAt(file, 0)->id, 10u);
    EXPECT_EQ(emu::MenuItemAt(bar, 3), nullptr);
    EXPECT_FALSE(InsertMenuA(bar, 0, MF_BYPOSITION | MF_POPUP, 12345, "Bad popup"));

    HWND w = MakeWindow();
    EXPECT_TRUE(SetMenu(w, bar));
    EXPECT_TRUE(DrawMenuBar(w));
    EXPECT_TRUE(headless::Windows()[0].hasMenu);
}

}  // namespace
