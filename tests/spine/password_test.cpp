// The screen-saver password on a headless Windows 9x family.
#include <gtest/gtest.h>

#include "tests/spine/run_saver.h"

namespace {

headless::Config Win9x() {
    headless::Config config = FreshConfig();
    config.win9xFamily = true;
    return config;
}

// A 9x saver with the password on and the provider answering `answers`.
void PrepareWithPassword(const std::vector<int>& answers) {
    Prepare(Win9x());
    headless::SetPasswordSetting(true, 1);
    headless::SetPasswordProvider(true, true);
    headless::QueuePasswordAnswers(answers);
}

const char* KeyOpener() { return IsAmber() ? "RegOpenKeyExA" : "RegOpenKeyA"; }

TEST(Password, WrongAnswerKeepsTheSaverRightAnswerClosesIt) {
    PrepareWithPassword({0, 1});
    bool hiddenAfterRefusal = false;
    headless::AtFrame(5, Key());
    OnFrame([&](int frame) {
        if (frame == 30) hiddenAfterRefusal = headless::CursorHidden();
    });
    headless::AtFrame(60, Key());
    EXPECT_EQ(RunSaver("/s"), 0);
    EXPECT_EQ(headless::PasswordQuestions(), 2);
    EXPECT_TRUE(hiddenAfterRefusal);
    EXPECT_GE(headless::FramesPresented(), 60);
    EXPECT_LE(headless::FramesPresented(), 61);
    EXPECT_FALSE(headless::TimedOut());
}

TEST(Password, PressesInQuickSuccessionAskOnce) {
    PrepareWithPassword({0, 1});
    headless::AtFrame(5, Key());
    headless::AtFrame(5, Simple(headless::Input::ButtonDown, 0));
    headless::AtFrame(6, Key());
    headless::AtFrame(100, Key());  // long after the refusal: asks again
    EXPECT_EQ(RunSaver("/s"), 0);
    EXPECT_EQ(headless::PasswordQuestions(), 2);
    EXPECT_GE(headless::FramesPresented(), 100);
    EXPECT_FALSE(headless::TimedOut());
}

TEST(Password, TheProviderIsBoundForTheRunAndTheFlagFollowsIt) {
    PrepareWithPassword({1});
    headless::AtFrame(5, Key());
    EXPECT_EQ(RunSaver("/s"), 0);
    EXPECT_EQ(headless::CountCalls(KeyOpener()), 1);
    EXPECT_EQ(headless::CountCalls("LoadLibraryA PASSWORD.CPL"), 1);
    EXPECT_EQ(headless::CountCalls("SystemParametersInfoA 97 1"), 1);
    EXPECT_EQ(headless::CountCalls("SystemParametersInfoA 97 0"), 1);
    EXPECT_EQ(headless::CountCalls("FreeLibrary"), 1);
    EXPECT_EQ(headless::PasswordQuestions(), 1);
}

TEST(Password, WithoutAPasswordTheFirstKeyCloses) {
    struct Case {
        bool settingPresent;
        plat::DWORD value;
        bool library;
        bool function;
    };
    for (const Case& c : {Case{false, 0, true, true}, Case{true, 0, true, true}, Case{true, 1, false, false},
                          Case{true, 1, true, false}}) {
        Prepare(Win9x());
        headless::SetPasswordSetting(c.settingPresent, c.value);
        headless::SetPasswordProvider(c.library, c.function);
        headless::QueuePasswordAnswers({0});
        headless::AtFrame(5, Key());
        EXPECT_EQ(RunSaver("/s"), 0);
        EXPECT_EQ(headless::PasswordQuestions(), 0);
        EXPECT_LE(headless::FramesPresented(), 6);
        EXPECT_EQ(headless::CountCalls("SystemParametersInfoA"), 0);
        // A library without the function is released at once.
        EXPECT_EQ(headless::CountCalls("FreeLibrary"), c.library && c.value != 0 ? 1 : 0);
    }
}

TEST(Password, PreviewAndDemoNeverReadTheSetting) {
    PrepareWithPassword({0});
    plat::HWND parent = headless::CreateForeignWindow(100, 80);
    headless::Event gone = Simple(headless::Input::DestroyForeign);
    gone.target = parent;
    headless::AtFrame(4, gone);
    char args[32];
    std::snprintf(args, sizeof args, "/p %u", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(parent)));
    EXPECT_EQ(RunSaver(args), 0);
    EXPECT_EQ(headless::CountCalls("RegOpenKey"), 0);
    EXPECT_EQ(headless::CountCalls("LoadLibraryA"), 0);

    PrepareWithPassword({0});
    headless::AtFrame(3, Simple(headless::Input::CloseButton));
    EXPECT_EQ(RunSaver("/c"), 0);
    EXPECT_EQ(headless::CountCalls("RegOpenKey"), 0);
    EXPECT_EQ(headless::PasswordQuestions(), 0);
}

TEST(Password, OutsideThe9xFamilyNothingIsAsked) {
    Prepare();
    headless::SetPasswordSetting(true, 1);
    headless::SetPasswordProvider(true, true);
    headless::QueuePasswordAnswers({0});
    headless::AtFrame(5, Key());
    EXPECT_EQ(RunSaver("/s"), 0);
    EXPECT_EQ(headless::CountCalls("RegOpenKey"), 0);
    EXPECT_EQ(headless::PasswordQuestions(), 0);
    EXPECT_LE(headless::FramesPresented(), 6);
}

}  // namespace
