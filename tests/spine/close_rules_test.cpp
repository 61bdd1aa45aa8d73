// When the saver window closes on input, and when it must not.
#include <gtest/gtest.h>

#include "platform/headless/recording_gl.h"
#include "shell/shell.h"
#include "tests/spine/run_saver.h"

namespace {

const char kSaverClass[] = "WindowsScreenSaverClass";
constexpr int kLateKeyFrame = 60;

// Runs "/s" with the given events at frames 5, 6, ...; a key at kLateKeyFrame
// ends a saver that ignored them. Returns the frames presented.
int FramesUntilClosed(std::initializer_list<headless::Event> events) {
    Prepare();
    int frame = 5;
    for (const headless::Event& e : events) headless::AtFrame(frame++, e);
    headless::AtFrame(kLateKeyFrame, Key());
    EXPECT_EQ(RunSaver("/s"), 0);
    EXPECT_FALSE(headless::TimedOut());
    return headless::FramesPresented();
}

bool ClosedEarly(std::initializer_list<headless::Event> events) { return FramesUntilClosed(events) < kLateKeyFrame; }

TEST(CloseRules, KeysAndButtonPressesClose) {
    EXPECT_TRUE(ClosedEarly({Key()}));
    EXPECT_TRUE(ClosedEarly({Simple(headless::Input::SysKeyDown, 18)}));
    EXPECT_TRUE(ClosedEarly({Simple(headless::Input::ButtonDown, 0)}));
    EXPECT_TRUE(ClosedEarly({Simple(headless::Input::ButtonDown, 1)}));
    EXPECT_TRUE(ClosedEarly({Simple(headless::Input::ButtonDown, 2)}));
}

TEST(CloseRules, ReleasesWheelAndCharactersDoNotClose) {
    EXPECT_FALSE(ClosedEarly({Simple(headless::Input::KeyUp, 'A'), Simple(headless::Input::ButtonUp, 0),
                              Simple(headless::Input::ButtonUp, 1), Simple(headless::Input::Wheel, 120),
                              Simple(headless::Input::Char, 'a')}));
}

TEST(CloseRules, MovementBeyondFourPixelsCloses) {
    EXPECT_FALSE(ClosedEarly({MoveBy(3, 1)}));
    EXPECT_FALSE(ClosedEarly({MoveBy(-2, -2)}));
    EXPECT_FALSE(ClosedEarly({MoveBy(0, 0)}));  // a move message without movement
    EXPECT_TRUE(ClosedEarly({MoveBy(3, 2)}));
    EXPECT_TRUE(ClosedEarly({MoveBy(0, -5)}));
}

TEST(CloseRules, CreepingAddsUpFromTheRecordedPosition) {
    EXPECT_FALSE(ClosedEarly({MoveBy(1, 0), MoveBy(1, 0), MoveBy(1, 0), MoveBy(0, 1)}));
    const int frames = FramesUntilClosed({MoveBy(1, 0), MoveBy(1, 0), MoveBy(1, 0), MoveBy(0, 1), MoveBy(0, 1)});
    EXPECT_GE(frames, 9);  // the fifth pixel arrives after frame 9
    EXPECT_LE(frames, 10);
    // Back and forth ends where it started: nothing closes.
    EXPECT_FALSE(ClosedEarly({MoveBy(4, 0), MoveBy(-4, 0), MoveBy(0, 4), MoveBy(0, -4)}));
}

TEST(CloseRules, DeactivationClosesActivationDoesNot) {
    EXPECT_FALSE(ClosedEarly({Simple(headless::Input::Activate)}));
    EXPECT_TRUE(ClosedEarly({Simple(headless::Input::Deactivate)}));
}

TEST(CloseRules, SystemCommandsThatWouldLeaveTheSaverAreSwallowed) {
    EXPECT_FALSE(
        ClosedEarly({Msg(plat::WM_SYSCOMMAND, plat::SC_SCREENSAVE), Msg(plat::WM_SYSCOMMAND, plat::SC_NEXTWINDOW),
                     Msg(plat::WM_SYSCOMMAND, plat::SC_PREVWINDOW)}));
    // Monitor power closes a deliverable with the power rules; the others leave it
    // to default processing.
    EXPECT_EQ(ClosedEarly({Msg(plat::WM_SYSCOMMAND, plat::SC_MONITORPOWER, 2)}), expected.closesOnPowerEvents);
}

TEST(CloseRules, PowerEventsCloseOnlyWithThePowerRules) {
    const bool rules = expected.closesOnPowerEvents;
    EXPECT_EQ(ClosedEarly({Msg(plat::WM_POWERBROADCAST, 4)}), rules);   // suspend
    EXPECT_EQ(ClosedEarly({Msg(plat::WM_POWERBROADCAST, 7)}), rules);   // resume
    EXPECT_FALSE(ClosedEarly({Msg(plat::WM_POWERBROADCAST, 7, 1)}));    // resume after a failed suspend
    EXPECT_EQ(ClosedEarly({Msg(plat::WM_POWERBROADCAST, 11)}), rules);  // any other event
    EXPECT_EQ(ClosedEarly({Msg(plat::WM_POWER, 3)}), rules);
    EXPECT_FALSE(ClosedEarly({Msg(plat::WM_POWER, 1)}));
}

// Runs "/s" on a machine whose AC line status starts as `atStart` (-1: it cannot
// be read) and then changes to `change`, announced as a power status change.
bool ClosedOnPowerChange(int atStart, int change) {
    headless::Config config = FreshConfig();
    config.acLineStatus = atStart;
    Prepare(config);
    headless::AtFrame(5, Simple(headless::Input::PowerChange, change));
    headless::AtFrame(kLateKeyFrame, Key());
    EXPECT_EQ(RunSaver("/s"), 0);
    EXPECT_FALSE(headless::TimedOut());
    return headless::FramesPresented() < kLateKeyFrame;
}

TEST(CloseRules, AChangeOfACPowerClosesOnlyWithThePowerRules) {
    const bool rules = expected.closesOnPowerEvents;
    EXPECT_FALSE(ClosedOnPowerChange(1, 1)) << "the status read at start is the one compared";
    EXPECT_FALSE(ClosedOnPowerChange(-1, -1)) << "unreadable at start and now: 255 both times";
    EXPECT_EQ(ClosedOnPowerChange(1, 0), rules) << "unplugged";
    EXPECT_EQ(ClosedOnPowerChange(0, 1), rules) << "plugged in";
    EXPECT_EQ(ClosedOnPowerChange(1, -1), rules) << "online, then unreadable (255)";
    EXPECT_EQ(ClosedOnPowerChange(-1, 255), false) << "unreadable counts as 255";
}

// The new status is kept even when its close is refused, so the same status
// announced again asks nothing.
TEST(CloseRules, TheStatusIsKeptWhenItsCloseIsRefused) {
    headless::Config config = FreshConfig();
    config.acLineStatus = 1;
    config.win9xFamily = true;
    Prepare(config);
    headless::SetPasswordSetting(true, 1);
    headless::SetPasswordProvider(true, true);
    const bool rules = expected.closesOnPowerEvents;
    headless::QueuePasswordAnswers(rules ? std::vector<int>{0, 1} : std::vector<int>{1});
    headless::AtFrame(5, Simple(headless::Input::PowerChange, 0));
    headless::AtFrame(40, Msg(plat::WM_POWERBROADCAST, 10));  // long after the refusal
    headless::AtFrame(kLateKeyFrame, Key());
    EXPECT_EQ(RunSaver("/s"), 0);
    EXPECT_EQ(headless::PasswordQuestions(), rules ? 2 : 1);
    EXPECT_GE(headless::FramesPresented(), kLateKeyFrame);
    EXPECT_FALSE(headless::TimedOut());
}

TEST(CloseRules, AutoPlayQueryClosesOnThe9xFamilyWithTheAutoPlayRule) {
    struct Case {
        bool win9x;
        bool provider;
    };
    for (const Case& c : {Case{true, false}, Case{true, true}, Case{false, true}}) {
        headless::Config config = FreshConfig();
        config.win9xFamily = c.win9x;
        Prepare(config);
        headless::SetPasswordSetting(true, 1);
        headless::SetPasswordProvider(c.provider, c.provider);
        headless::QueuePasswordAnswers({1});
        plat::LRESULT answer = -5;
        OnFrame([&](int frame) {
            if (frame == 2)
                answer =
                    plat::SendMessageA(shell.saverWindow, plat::RegisterWindowMessageA("QueryCancelAutoPlay"), 0, 0);
        });
        headless::AtFrame(kLateKeyFrame, Key());
        EXPECT_EQ(RunSaver("/s"), 0);
        const bool rule = expected.closesOnAutoPlay && c.win9x;
        EXPECT_EQ(headless::FramesPresented() < kLateKeyFrame, rule) << c.win9x << c.provider;
        // AutoPlay is cancelled only while a password provider is bound.
        EXPECT_EQ(answer, rule && c.provider ? 1 : 0) << c.win9x << c.provider;
        EXPECT_FALSE(headless::TimedOut());
    }
}

TEST(CloseRules, FullScreenCoversTheScreenAndHidesTheCursor) {
    Prepare();
    bool hiddenWhileRunning = false;
    OnFrame([&](int) { hiddenWhileRunning |= headless::CursorHidden(); });
    headless::AtFrame(4, Key());
    EXPECT_EQ(RunSaver("/s"), 0);
    EXPECT_TRUE(hiddenWhileRunning);
    const headless::WindowInfo w = FindWindowInfo(kSaverClass);
    EXPECT_EQ(w.x, 0);
    EXPECT_EQ(w.y, 0);
    EXPECT_EQ(w.width, 1024);
    EXPECT_EQ(w.height, 768);
    EXPECT_EQ(w.style, plat::WS_POPUP | plat::WS_VISIBLE | plat::WS_CLIPSIBLINGS | plat::WS_CLIPCHILDREN);
    EXPECT_EQ(w.exStyle, plat::WS_EX_TOPMOST);
    EXPECT_GE(headless::CountCalls("SetForegroundWindow"), 1);
}

headless::WindowInfo FullScreenWindowWith(headless::ScreenArea virtualScreen, headless::ScreenArea clipBox) {
    headless::Config config = FreshConfig();
    config.virtualScreen = virtualScreen;
    config.screenClipBox = clipBox;
    Prepare(config);
    headless::AtFrame(3, Key());
    EXPECT_EQ(RunSaver("/s"), 0);
    return FindWindowInfo(kSaverClass);
}

void ExpectPlace(const headless::WindowInfo& w, int x, int y, int width, int height) {
    EXPECT_EQ(w.x, x);
    EXPECT_EQ(w.y, y);
    EXPECT_EQ(w.width, width);
    EXPECT_EQ(w.height, height);
}

TEST(CloseRules, TheFullScreenWindowSpansTheVirtualScreenOnlyWhereTheRulesSaySo) {
    const bool spans = expected.spansVirtualScreen;
    // A second monitor to the left of the primary one and above it.
    headless::WindowInfo w = FullScreenWindowWith({-1280, -100, 2304, 1024}, {0, 0, -1, -1});
    if (spans)
        ExpectPlace(w, -1280, -100, 2304, 1024);
    else
        ExpectPlace(w, 0, 0, 1024, 768);
    // A system that reports no virtual screen: the screen's clip box instead.
    for (headless::ScreenArea none :
         {headless::ScreenArea{-1280, -100, 0, 1024}, headless::ScreenArea{0, 0, 2304, 0}}) {
        w = FullScreenWindowWith(none, {-8, -6, 1040, 780});
        if (spans)
            ExpectPlace(w, -8, -6, 1040, 780);
        else
            ExpectPlace(w, 0, 0, 1024, 768);
    }
    // The projection stays the primary screen's.
    EXPECT_EQ(recgl::At(0).args[2], 1024);
    EXPECT_EQ(recgl::At(0).args[3], 768);
}

// The input-method association is detached at creation and the earlier one
// given back at destruction, when IMM32.DLL is already loaded.
TEST(CloseRules, TheInputMethodAssociationIsRestoredOnDestroy) {
    struct Case {
        bool loaded, function;
        std::uintptr_t context;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {true, true, 0x4321, {"ImmAssociateContext 0", "ImmAssociateContext 4321"}},
        {true, true, 0, {"ImmAssociateContext 0"}},  // nothing to give back
        {true, false, 0x4321, {}},
        {false, true, 0x4321, {}},
    };
    for (const Case& c : cases) {
        for (bool preview : {false, true}) {
            Prepare();
            headless::SetInputMethodLibrary(c.loaded, c.function, reinterpret_cast<plat::HIMC>(c.context));
            plat::HWND parent = headless::CreateForeignWindow(152, 112);
            headless::Event end = Key();
            if (preview) {
                end = Simple(headless::Input::DestroyForeign);
                end.target = parent;
            }
            headless::AtFrame(3, end);
            EXPECT_EQ(RunSaver(preview ? ("/p " + HandleText(parent)).c_str() : "/s"), 0);
            std::vector<std::string> calls;
            for (const std::string& line : headless::CallLog())
                if (line.rfind("ImmAssociateContext", 0) == 0) calls.push_back(line);
            EXPECT_EQ(calls, c.calls) << c.loaded << c.function << c.context << " preview " << preview;
            EXPECT_EQ(headless::CountCalls("LoadLibraryA IMM32.DLL"), 0) << "looked up, never loaded";
        }
    }
}

TEST(CloseRules, ASecondFullScreenSaverBringsTheFirstForwardAndEnds) {
    Prepare();
    plat::WNDCLASSA existing = {};
    existing.lpfnWndProc = [](plat::HWND w, plat::UINT m, plat::WPARAM wp, plat::LPARAM lp)
                               SAVER_CALLBACK { return plat::DefWindowProcA(w, m, wp, lp); };
    existing.lpszClassName = kSaverClass;
    ASSERT_NE(plat::RegisterClassA(&existing), 0);
    ASSERT_NE(plat::CreateWindowExA(0, kSaverClass, "Screen Saver", plat::WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr),
              nullptr);
    EXPECT_EQ(RunSaver("/s"), 0);
    EXPECT_EQ(headless::Windows().size(), 1u);
    EXPECT_EQ(headless::CountCalls("SetForegroundWindow"), 1);
    EXPECT_EQ(headless::FramesPresented(), 0);
    EXPECT_EQ(probe.initCalls, 0);
}

TEST(CloseRules, PreviewIgnoresInputAndEndsWithItsParent) {
    Prepare();
    plat::HWND parent = headless::CreateForeignWindow(152, 112);
    int frame = 3;
    for (const headless::Event& e :
         {Key(), Simple(headless::Input::ButtonDown, 0), MoveBy(50, 50), Simple(headless::Input::Deactivate),
          Msg(plat::WM_SYSCOMMAND, plat::SC_SCREENSAVE)})
        headless::AtFrame(frame++, e);
    headless::Event gone = Simple(headless::Input::DestroyForeign);
    gone.target = parent;
    headless::AtFrame(40, gone);
    char args[32];
    std::snprintf(args, sizeof args, "/p %u", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(parent)));
    EXPECT_EQ(RunSaver(args), 0);
    EXPECT_GE(headless::FramesPresented(), 40);
    EXPECT_FALSE(headless::CursorHidden());
    EXPECT_FALSE(headless::TimedOut());
    EXPECT_EQ(probe.freeCalls, 1);
    const headless::WindowInfo w = FindWindowInfo(kSaverClass);
    EXPECT_EQ(w.style, plat::WS_CHILD | plat::WS_VISIBLE | plat::WS_CLIPCHILDREN);
}

TEST(CloseRules, PreviewSendsHelpAndContextMenuToItsParent) {
    Prepare();
    plat::HWND parent = headless::CreateForeignWindow(152, 112);
    headless::AtFrame(3, Msg(plat::WM_HELP, 0, 1234));
    headless::AtFrame(4, Msg(plat::WM_CONTEXTMENU, 99, 5678));
    headless::Event gone = Simple(headless::Input::DestroyForeign);
    gone.target = parent;
    headless::AtFrame(8, gone);
    char args[32];
    std::snprintf(args, sizeof args, "/p %u", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(parent)));
    EXPECT_EQ(RunSaver(args), 0);
    const auto& posted = headless::PostedToForeign();
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0].window, parent);
    EXPECT_EQ(posted[0].message, plat::WM_HELP);
    EXPECT_EQ(posted[0].wParam, reinterpret_cast<plat::WPARAM>(parent));
    EXPECT_EQ(posted[0].lParam, 1234);
    EXPECT_EQ(posted[1].message, plat::WM_CONTEXTMENU);
    EXPECT_EQ(posted[1].lParam, 5678);
}

}  // namespace
