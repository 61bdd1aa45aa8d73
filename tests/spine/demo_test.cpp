// The windowed demo: its window, its menu and how each deliverable ends it.
#include <gtest/gtest.h>

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

TEST(Demo, WindowSizeAndPlaceOnA1024By768Screen) {
    Prepare();
    headless::AtFrame(2, Simple(headless::Input::CloseButton));
    EXPECT_EQ(RunSaver("/c"), 0);
    const headless::WindowInfo w = FindWindowInfo("OpenGL");
    ASSERT_NE(w.handle, nullptr);
    if (IsCobalt()) {
        EXPECT_EQ(w.title, "Cobalt SS - By Tam Corvel");
        EXPECT_EQ(w.x, 0);
        EXPECT_EQ(w.y, 0);
        EXPECT_EQ(w.width, 100);
        EXPECT_EQ(w.height, 100);
        EXPECT_FALSE(w.hasMenu);
    } else {
        EXPECT_EQ(w.title, "Screensaver By Tam Corvel");
        EXPECT_EQ(w.x, 256);
        EXPECT_EQ(w.y, 192);
        EXPECT_EQ(w.width, 512);
        EXPECT_EQ(w.height, 384);
        EXPECT_TRUE(w.hasMenu);
    }
    EXPECT_EQ(w.style & plat::WS_OVERLAPPEDWINDOW, plat::WS_OVERLAPPEDWINDOW);
    EXPECT_TRUE(w.visible);
    EXPECT_EQ(headless::CountCalls("SetTimer"), 0);  // the demo renders from its idle loop
    EXPECT_EQ(host.timerId, 0u);
}

TEST(Demo, OddScreenSizesHalveTowardZero) {
    if (IsCobalt()) GTEST_SKIP() << "cobalt's demo has a fixed size";
    headless::Config config = FreshConfig();
    config.screenWidth = 1023;
    config.screenHeight = 767;
    Prepare(config);
    headless::AtFrame(2, Simple(headless::Input::CloseButton));
    EXPECT_EQ(RunSaver(""), 0);
    const headless::WindowInfo w = FindWindowInfo("OpenGL");
    EXPECT_EQ(w.width, 511);
    EXPECT_EQ(w.height, 383);
    EXPECT_EQ(w.x, 255);
    EXPECT_EQ(w.y, 191);
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

TEST(Demo, QuitCommand) {
    if (IsCobalt()) GTEST_SKIP() << "cobalt's demo has no menu";
    // jade goes on after Quit; its window's close button ends it.
    const int code =
        RunDemo({Command(11), Command(10), Msg(plat::WM_COMMAND, 42), Simple(headless::Input::CloseButton)});
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(headless::TimedOut());
    if (IsJade()) {
        // jade's menu has no Dot; it shows the identifier of every command and goes on.
        ASSERT_EQ(headless::MessageBoxes().size(), 2u);
        EXPECT_EQ(headless::MessageBoxes()[0].text, " wID: 10");
        EXPECT_EQ(headless::MessageBoxes()[1].text, " wID: 42");
        EXPECT_EQ(headless::MessageBoxes()[1].caption, "");
        EXPECT_EQ(headless::MessageBoxes()[1].owner, nullptr);
    } else {
        EXPECT_TRUE(headless::MessageBoxes().empty());
        EXPECT_LE(headless::FramesPresented(), 6);  // Quit ended it at once
        EXPECT_EQ(probe.freeCalls, 0);              // the host is not stopped
    }
}

TEST(Demo, JadeKeepsRunningAfterQuitUntilClosed) {
    if (!IsJade()) GTEST_SKIP();
    const int code = RunDemo({Command(10), Command(10), Command(10), Simple(headless::Input::CloseButton)});
    EXPECT_EQ(code, 0);
    EXPECT_EQ(headless::MessageBoxes().size(), 3u);
    EXPECT_GE(headless::FramesPresented(), 6);
    EXPECT_EQ(probe.freeCalls, 1);
}

TEST(Demo, ClosingTheWindow) {
    const int code = RunDemo({Simple(headless::Input::CloseButton)});
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(headless::TimedOut());
    EXPECT_LE(headless::FramesPresented(), 4);
    // amber only leaves its loop; the others stop the host before the loop ends.
    EXPECT_EQ(probe.freeCalls, IsAmber() ? 0 : 1);
    EXPECT_EQ(headless::CountCalls("wglDeleteContext"), IsAmber() ? 0 : 1);
    EXPECT_TRUE(HasWindowOfClass("OpenGL"));  // the demo never destroys its window
}

TEST(Demo, KeysAndButtonsEndOnlyCobalt) {
    for (const headless::Event& e : {Key(), Simple(headless::Input::ButtonDown, 0),
                                     Simple(headless::Input::ButtonDown, 1), Simple(headless::Input::ButtonDown, 2)}) {
        Prepare();
        headless::AtFrame(3, MoveBy(40, 40));
        headless::AtFrame(4, e);
        headless::AtFrame(30, Simple(headless::Input::CloseButton));
        EXPECT_EQ(RunSaver("/c"), 0);
        if (IsCobalt()) {
            EXPECT_LE(headless::FramesPresented(), 5);  // the move did not end it; the press did
            EXPECT_GE(headless::FramesPresented(), 4);
            EXPECT_EQ(probe.freeCalls, 1);
        } else {
            EXPECT_GE(headless::FramesPresented(), 30);
        }
    }
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

TEST(Demo, MenuHoldsFileOptionsAbout) {
    if (IsCobalt()) GTEST_SKIP() << "cobalt's demo has no menu";
    Prepare();
    headless::AtFrame(2, Simple(headless::Input::CloseButton));
    EXPECT_EQ(RunSaver("/c"), 0);
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
    if (IsJade()) {
        EXPECT_EQ(MenuItemCount(demo.optionsMenu), 0);
    } else {
        ASSERT_EQ(MenuItemCount(demo.optionsMenu), 1);
        EXPECT_STREQ(MenuItemAt(demo.optionsMenu, 0)->text, "Dot");
        EXPECT_EQ(MenuItemAt(demo.optionsMenu, 0)->id, 11u);
    }
    EXPECT_EQ(MenuItemCount(demo.aboutMenu), 0);
}

}  // namespace
