// The command line: which mode each text starts and the exit code it ends with.
#include <gtest/gtest.h>

#include "shell/shell.h"
#include "tests/spine/run_saver.h"

namespace {

const char kSaverClass[] = "WindowsScreenSaverClass";

TEST(CommandLine, ArgumentTextSkipsTheProgramName) {
    EXPECT_STREQ(ArgumentText("\"C:\\My Savers\\amber.scr\" /s"), "/s");
    EXPECT_STREQ(ArgumentText("amber.scr\t \x01/p 5"), "/p 5");
    EXPECT_STREQ(ArgumentText("\"unterminated /s"), "");
    EXPECT_STREQ(ArgumentText("amber.scr"), "");
    EXPECT_STREQ(ArgumentText(""), "");
    EXPECT_STREQ(ArgumentText("\"\"/c"), "/c");
}

TEST(CommandLine, ParseHandleReadsLeadingDigitsAndWraps) {
    EXPECT_EQ(ParseHandle("123abc"), 123u);
    EXPECT_EQ(ParseHandle(""), 0u);
    EXPECT_EQ(ParseHandle("-5"), 0u);
    EXPECT_EQ(ParseHandle(" 5"), 0u);
    EXPECT_EQ(ParseHandle("4294967295"), 4294967295u);
    EXPECT_EQ(ParseHandle("4294967297"), 1u);
    EXPECT_EQ(ParseHandle("99999999999999999999"), 1661992959u);
}

TEST(CommandLine, EverySpellingOfSStartsTheFullScreenSaver) {
    for (const char* args : {"/s", "-s", "s", " /S", "//s", "-/ -S trailing text"}) {
        Prepare();
        headless::AtFrame(2, Key());
        EXPECT_EQ(RunSaver(args), 0) << args;
        const headless::WindowInfo w = FindWindowInfo(kSaverClass);
        ASSERT_NE(w.handle, nullptr) << args;
        EXPECT_EQ(w.title, "Screen Saver") << args;
        EXPECT_GE(headless::FramesPresented(), 2) << args;
        EXPECT_FALSE(headless::TimedOut()) << args;
    }
}

TEST(CommandLine, PreviewTakesAHandleDirectlyOrAfterBlanks) {
    for (const char* form : {"/p %u", "/P%u", "l   %u", "-L %u"}) {
        Prepare();
        plat::HWND parent = headless::CreateForeignWindow(152, 112);
        char args[64];
        std::snprintf(args, sizeof args, form, static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(parent)));
        headless::Event gone = Simple(headless::Input::DestroyForeign);
        gone.target = parent;
        headless::AtFrame(3, gone);
        EXPECT_EQ(RunSaver(args), 0) << args;
        const headless::WindowInfo w = FindWindowInfo(kSaverClass);
        EXPECT_EQ(w.title, "Preview") << args;
        EXPECT_EQ(w.parent, parent) << args;
        EXPECT_EQ(w.width, 152) << args;
        EXPECT_EQ(w.height, 112) << args;
        EXPECT_FALSE(headless::TimedOut()) << args;
    }
}

TEST(CommandLine, PreviewWithoutAValidWindowEndsWithMinusOne) {
    for (const char* args : {"/p", "/p 0", "/p 123456", "/p abc", "/p -5", "/p 4294967297", "l"}) {
        Prepare();
        EXPECT_EQ(RunSaver(args), -1) << args;
        EXPECT_TRUE(headless::Windows().empty()) << args;
        EXPECT_TRUE(headless::MessageBoxes().empty()) << args;
    }
}

TEST(CommandLine, OtherLettersEndWithMinusOneAndShowNothing) {
    for (const char* args : {"/x", "?", "5", "/a", "a 12", "\t/s"}) {
        Prepare();
        EXPECT_EQ(RunSaver(args), -1) << args;
        EXPECT_TRUE(headless::Windows().empty()) << args;
        EXPECT_TRUE(headless::MessageBoxes().empty()) << args;
    }
}

TEST(CommandLine, EmptyTextAndCRunTheDemo) {
    for (const char* args : {"", "   ", "/c", "C", "-c:12"}) {
        Prepare();
        headless::AtFrame(3, Simple(headless::Input::CloseButton));
        EXPECT_EQ(RunSaver(args), 0) << "[" << args << "]";
        EXPECT_TRUE(HasWindowOfClass("OpenGL")) << "[" << args << "]";
        EXPECT_FALSE(HasWindowOfClass(kSaverClass));
    }
}

TEST(CommandLine, ChangePasswordRunsOnlyOnThe9xFamily) {
    headless::Config config = FreshConfig();
    config.win9xFamily = true;
    Prepare(config);
    headless::SetChangePasswordProvider(true, true);
    plat::HWND owner = headless::CreateForeignWindow(10, 10);
    char args[32];
    std::snprintf(args, sizeof args, "/a %u", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(owner)));
    EXPECT_EQ(RunSaver(args), 0);
    ASSERT_EQ(headless::ChangePasswordCalls().size(), 1u);
    EXPECT_EQ(headless::ChangePasswordCalls()[0].provider, "SCRSAVE");
    EXPECT_EQ(headless::ChangePasswordCalls()[0].owner, owner);

    // A missing provider changes nothing and still ends with 0.
    Prepare(config);
    EXPECT_EQ(RunSaver("a"), 0);
    EXPECT_TRUE(headless::ChangePasswordCalls().empty());

    Prepare();
    headless::SetChangePasswordProvider(true, true);
    EXPECT_EQ(RunSaver("/a"), -1);
    EXPECT_TRUE(headless::ChangePasswordCalls().empty());
}

TEST(CommandLine, ChangePasswordWithoutAWindowUsesTheForegroundWindow) {
    headless::Config config = FreshConfig();
    config.win9xFamily = true;
    Prepare(config);
    headless::SetChangePasswordProvider(true, true);
    plat::HWND foreground = headless::CreateForeignWindow(10, 10);
    headless::SetForegroundForeign(foreground);
    EXPECT_EQ(RunSaver("A 0"), 0);
    ASSERT_EQ(headless::ChangePasswordCalls().size(), 1u);
    EXPECT_EQ(headless::ChangePasswordCalls()[0].owner, foreground);
}

// A demo that ends with a non-zero code makes the shell try the dialog, which
// does not exist (-1). The close button with a word parameter ends amber's demo
// with that parameter; the others end with their quit request's 0.
TEST(CommandLine, ConfigurationDialogIsTriedOnlyWhenTheDemoEndsNonZero) {
    Prepare();
    headless::AtFrame(3, Msg(plat::WM_CLOSE, 7));
    headless::AtFrame(40, Simple(headless::Input::CloseButton));
    const bool serves = expected.demoServesTheThread;
    EXPECT_EQ(RunSaver("/c"), serves ? -1 : 0);
    EXPECT_EQ(headless::CountCalls("DialogBoxParamA"), serves ? 1 : 0);
    EXPECT_FALSE(headless::TimedOut());
    Prepare();
    headless::AtFrame(3, Msg(plat::WM_CLOSE, 0));
    EXPECT_EQ(RunSaver("/c"), 0);
    EXPECT_EQ(headless::CountCalls("DialogBoxParamA"), 0);
}

// Every demo ends with the code of a quit message; the dialog's owner is the
// window after "c:" where the rules read it, else the foreground window.
TEST(CommandLine, TheDialogsOwnerFollowsTheConfigureSwitch) {
    struct Case {
        const char* form;
        bool named;  // the owner is the window named after the colon
    };
    const bool colon = expected.configureParentAfterColon;
    for (const Case& c : {Case{"/c:%s", colon}, Case{"C:%s trailing", colon}, Case{"/c :%s", false},
                          Case{"/c %s", false}, Case{"/c:0", false}, Case{"/c:99999", false}, Case{"/c", false}}) {
        Prepare();
        plat::HWND named = headless::CreateForeignWindow(10, 10);
        plat::HWND foreground = headless::CreateForeignWindow(10, 10);
        headless::SetForegroundForeign(foreground);
        headless::AtFrame(3, Msg(plat::WM_QUIT, 5));
        char args[64];
        std::snprintf(args, sizeof args, c.form, HandleText(named).c_str());
        EXPECT_EQ(RunSaver(args), -1) << args;
        const plat::HWND owner = c.named ? named : foreground;
        EXPECT_EQ(headless::CountCalls("DialogBoxParamA " + HandleText(owner)), 1) << args;
        EXPECT_EQ(headless::CountCalls("InitCommonControlsEx"), expected.initialisesCommonControls ? 1 : 0);
    }
}

}  // namespace
