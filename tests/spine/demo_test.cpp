// The windowed demo: its window, its menu and how each deliverable ends it.
#include <gtest/gtest.h>

#include <cmath>

#include "host/host.h"
#include "platform/emulated/backend.h"
#include "platform/gl.h"
#include "platform/headless/recording_gl.h"
#include "tests/spine/run_saver.h"

namespace {

headless::Event Command(int id) { return Simple(headless::Input::MenuCommand, id); }

// Runs the demo with events at frames 3, 4, ...
int RunDemo(std::initializer_list<headless::Event> events) {
    Prepare();
    int frame = 3;
    for (const headless::Event& e : events) headless::AtFrame(frame++, e);
    return RunSaver("/c");
}

void ExpectDemoPlace(const headless::WindowInfo& w, int width, int height) {
    if (expected.demoHalfScreen) {
        EXPECT_EQ(w.x, width / 2 / 2);
        EXPECT_EQ(w.y, height / 2 / 2);
        EXPECT_EQ(w.width, width / 2);
        EXPECT_EQ(w.height, height / 2);
    } else {
        EXPECT_EQ(w.x, 0);
        EXPECT_EQ(w.y, 0);
        EXPECT_EQ(w.width, 100);
        EXPECT_EQ(w.height, 100);
    }
}

TEST(Demo, WindowSizePlaceAndCaption) {
    Prepare();
    headless::AtFrame(2, Simple(headless::Input::CloseButton));
    EXPECT_EQ(RunSaver("/c"), 0);
    const headless::WindowInfo w = FindWindowInfo("OpenGL");
    ASSERT_NE(w.handle, nullptr);
    EXPECT_EQ(w.title, expected.demoCaption);
    ExpectDemoPlace(w, 1024, 768);
    EXPECT_EQ(w.hasMenu, expected.demoMenu != ExpectedMenu::None);
    EXPECT_EQ(w.style & plat::WS_OVERLAPPEDWINDOW, plat::WS_OVERLAPPEDWINDOW);
    EXPECT_TRUE(w.visible);
    EXPECT_EQ(headless::CountCalls("SetTimer"), 0);  // the demo renders from its idle loop
    EXPECT_EQ(host.timerId, 0u);
}

TEST(Demo, OddScreenSizesHalveTowardZero) {
    headless::Config config = FreshConfig();
    config.screenWidth = 1023;
    config.screenHeight = 767;
    Prepare(config);
    headless::AtFrame(2, Simple(headless::Input::CloseButton));
    EXPECT_EQ(RunSaver(""), 0);
    ExpectDemoPlace(FindWindowInfo("OpenGL"), 1023, 767);
}

TEST(Demo, ResizingReprojects) {
    Prepare();
    headless::AtFrame(3, Msg(plat::WM_SIZE, 0, 300 | (200 << 16)));
    headless::AtFrame(6, Simple(headless::Input::CloseButton));
    EXPECT_EQ(RunSaver("/c"), 0);
    bool found = false;
    for (std::size_t i = 0; i < recgl::Stored(); ++i) {
        const recgl::Call& c = recgl::At(i);
        if (recgl::Is(c, "glViewport") && c.args[2] == 300 && c.args[3] == 200) found = true;
    }
    EXPECT_TRUE(found);
}

// A minimised window reports 0 x 0: the projection is kept, frames go on.
TEST(Demo, AnEmptySizeKeepsTheLastProjection) {
    Prepare();
    headless::AtFrame(3, Msg(plat::WM_SIZE, 1, 0));
    headless::AtFrame(4, Msg(plat::WM_SIZE, 0, 300));        // no width
    headless::AtFrame(5, Msg(plat::WM_SIZE, 0, 300 << 16));  // no height
    headless::AtFrame(9, Simple(headless::Input::CloseButton));
    EXPECT_EQ(RunSaver("/c"), 0);
    for (std::size_t i = 0; i < recgl::Stored(); ++i) {
        const recgl::Call& c = recgl::At(i);
        if (recgl::Is(c, "glViewport")) {
            EXPECT_TRUE(c.args[2] > 0 && c.args[3] > 0) << c.args[2] << " x " << c.args[3];
        }
        if (recgl::Is(c, "glFrustum")) {
            EXPECT_TRUE(std::isfinite(c.args[0]) && std::isfinite(c.args[1]));
        }
    }
    EXPECT_EQ(headless::FramesPresented(), 9);
}

TEST(Demo, MenuCommands) {
    // Commands chosen from the menu, and one sent as a bare message.
    const int code = RunDemo({Command(11), Command(10), Msg(plat::WM_COMMAND, 42), Command(10), Command(10),
                              Simple(headless::Input::CloseButton)});
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(headless::TimedOut());
    switch (expected.demoCommands) {
        case ExpectedCommands::None:
            // Without a menu nothing can be chosen, and a command message gets
            // default processing: only the close button ends it.
            EXPECT_TRUE(headless::MessageBoxes().empty());
            EXPECT_GE(headless::FramesPresented(), 8);
            break;
        case ExpectedCommands::QuitEndsTheDemo:
            EXPECT_TRUE(headless::MessageBoxes().empty());
            EXPECT_EQ(headless::FramesPresented(), 4);  // Quit ended it at once
            EXPECT_EQ(probe.freeCalls, 0);              // the host is not stopped
            break;
        case ExpectedCommands::ShowTheCommandId: {
            // Every command shows its identifier and the demo goes on until closed.
            std::vector<std::string> texts;
            for (const headless::MessageBoxRecord& box : headless::MessageBoxes()) {
                texts.push_back(box.text);
                EXPECT_EQ(box.caption, "");
                EXPECT_EQ(box.owner, nullptr);
            }
            const std::vector<std::string> shown = {" wID: 10", " wID: 42", " wID: 10", " wID: 10"};
            EXPECT_EQ(texts, shown) << "the menu offers no Dot";
            EXPECT_GE(headless::FramesPresented(), 8);
            EXPECT_EQ(probe.freeCalls, 1);
            break;
        }
    }
}

// A bare WM_COMMAND with the Quit identifier, as no menu of cobalt's can send.
TEST(Demo, AQuitCommandMessage) {
    const int code = RunDemo({Msg(plat::WM_COMMAND, 10), Simple(headless::Input::CloseButton)});
    EXPECT_EQ(code, 0);
    EXPECT_EQ(headless::FramesPresented(), expected.demoCommands == ExpectedCommands::QuitEndsTheDemo ? 3 : 4);
    EXPECT_EQ(headless::MessageBoxes().size(), expected.demoCommands == ExpectedCommands::ShowTheCommandId ? 1u : 0u);
}

TEST(Demo, ClosingTheWindow) {
    const int code = RunDemo({Simple(headless::Input::CloseButton)});
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(headless::TimedOut());
    EXPECT_EQ(headless::FramesPresented(), 3);
    const int stopped = expected.demoCloseStopsHost ? 1 : 0;
    EXPECT_EQ(probe.freeCalls, stopped);
    EXPECT_EQ(headless::CountCalls("wglDeleteContext"), stopped);
    EXPECT_TRUE(HasWindowOfClass("OpenGL"));  // the demo never destroys its window
}

TEST(Demo, TheDestroyMessage) {
    const int code = RunDemo({Msg(plat::WM_DESTROY), Simple(headless::Input::CloseButton)});
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(headless::TimedOut());
    // Where it stops the host the demo ends there; elsewhere the close button ends it.
    EXPECT_EQ(headless::FramesPresented(), expected.demoDestroyStopsHost ? 3 : 4);
    EXPECT_EQ(probe.freeCalls, expected.demoDestroyStopsHost || expected.demoCloseStopsHost ? 1 : 0);
}

TEST(Demo, KeysAndButtons) {
    for (const headless::Event& e : {Key(), Simple(headless::Input::ButtonDown, 0),
                                     Simple(headless::Input::ButtonDown, 1), Simple(headless::Input::ButtonDown, 2)}) {
        Prepare();
        headless::AtFrame(3, MoveBy(40, 40));
        headless::AtFrame(4, e);
        headless::AtFrame(30, Simple(headless::Input::CloseButton));
        EXPECT_EQ(RunSaver("/c"), 0);
        if (expected.demoEndsOnInput) {
            EXPECT_EQ(headless::FramesPresented(), 4);  // the move did not end it; the press did
            EXPECT_EQ(probe.freeCalls, 1);
        } else {
            EXPECT_EQ(headless::FramesPresented(), 30);
        }
    }
}

// A message for another window of the thread: dispatched by a loop that serves
// the thread, left waiting by one that serves only the demo window.
constexpr plat::UINT kNeighbourMessage = 0x0400;  // WM_USER
int neighbourMessages = 0;

plat::LRESULT SAVER_CALLBACK NeighbourProc(plat::HWND w, plat::UINT m, plat::WPARAM wp, plat::LPARAM lp) {
    if (m == kNeighbourMessage) ++neighbourMessages;
    return plat::DefWindowProcA(w, m, wp, lp);
}

TEST(Demo, TheLoopServesTheWindowsItShould) {
    Prepare();
    neighbourMessages = 0;
    OnFrame([](int frame) {
        if (frame != 2) return;
        plat::WNDCLASSA neighbour = {};
        neighbour.lpfnWndProc = NeighbourProc;
        neighbour.lpszClassName = "Neighbour";
        plat::RegisterClassA(&neighbour);
        plat::HWND w =
            plat::CreateWindowExA(0, "Neighbour", "", plat::WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        plat::PostMessageA(w, kNeighbourMessage, 0, 0);
    });
    headless::AtFrame(6, Simple(headless::Input::CloseButton));
    EXPECT_EQ(RunSaver("/c"), 0);
    EXPECT_EQ(neighbourMessages, expected.demoServesTheThread ? 1 : 0);
}

TEST(Demo, AStartFailureEndsTheDemoWithoutFrames) {
    headless::Config config = FreshConfig();
    config.failChoosePixelFormat = true;
    Prepare(config);
    EXPECT_EQ(RunSaver("/c"), 0);
    EXPECT_EQ(headless::FramesPresented(), 0);
    EXPECT_EQ(headless::MessageBoxes().size(), 1u);
    EXPECT_FALSE(headless::TimedOut());
}

TEST(Demo, TheMenu) {
    Prepare();
    headless::AtFrame(2, Simple(headless::Input::CloseButton));
    EXPECT_EQ(RunSaver("/c"), 0);
    if (expected.demoMenu == ExpectedMenu::None) {
        EXPECT_EQ(demo.menuBar, nullptr);
        return;
    }
    using plat::emu::MenuItemAt;
    using plat::emu::MenuItemCount;
    ASSERT_EQ(MenuItemCount(demo.menuBar), 3);
    EXPECT_STREQ(MenuItemAt(demo.menuBar, 0)->text, "File");
    EXPECT_STREQ(MenuItemAt(demo.menuBar, 1)->text, "Options");
    EXPECT_STREQ(MenuItemAt(demo.menuBar, 2)->text, "About");
    EXPECT_EQ(MenuItemAt(demo.menuBar, 0)->popup, demo.fileMenu);
    ASSERT_EQ(MenuItemCount(demo.fileMenu), 1);
    EXPECT_STREQ(MenuItemAt(demo.fileMenu, 0)->text, "Quit");
    EXPECT_EQ(MenuItemAt(demo.fileMenu, 0)->id, 10u);
    if (expected.demoMenu == ExpectedMenu::QuitOnly) {
        EXPECT_EQ(MenuItemCount(demo.optionsMenu), 0);
    } else {
        ASSERT_EQ(MenuItemCount(demo.optionsMenu), 1);
        EXPECT_STREQ(MenuItemAt(demo.optionsMenu, 0)->text, "Dot");
        EXPECT_EQ(MenuItemAt(demo.optionsMenu, 0)->id, 11u);
    }
    EXPECT_EQ(MenuItemCount(demo.aboutMenu), 0);
}

}  // namespace
