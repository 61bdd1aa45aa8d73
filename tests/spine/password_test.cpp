// The screen-saver password on a headless Windows 9x family.
#include <gtest/gtest.h>

#include "shell/shell.h"
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

const char* KeyOpener() { return expected.passwordKeyOpener; }

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

// After a refused question, requests in the next 200 milliseconds are dropped;
// the first one after them asks again.
TEST(Password, RequestsWithin200MillisecondsOfARefusalAreDropped) {
    PrepareWithPassword({0, 1});
    headless::AtMs(100, Key());  // refused
    headless::AtMs(250, Key());  // 150 ms after: dropped
    headless::AtMs(450, Key());  // 350 ms after: asked, accepted
    EXPECT_EQ(RunSaver("/s"), 0);
    EXPECT_EQ(headless::PasswordQuestions(), 2);
    EXPECT_GE(headless::NowMs(), 450u);
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

// Position of the first call-log line that starts with `prefix`, or -1.
int LogIndex(const std::string& prefix) {
    const auto& log = headless::CallLog();
    for (std::size_t i = 0; i < log.size(); ++i)
        if (log[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    return -1;
}

TEST(Password, TheProviderIsBoundOrReleasedBeforeTheKeyCloses) {
    PrepareWithPassword({1});
    headless::AtFrame(5, Key());
    EXPECT_EQ(RunSaver("/s"), 0);
    const int query = LogIndex("RegQueryValueExA ScreenSaveUsePassword");
    const int load = LogIndex("LoadLibraryA PASSWORD.CPL");
    const int lookup = LogIndex("GetProcAddress VerifyScreenSavePwd");
    const int running = LogIndex("SystemParametersInfoA 97 1");
    const int close = LogIndex("RegCloseKey");
    ASSERT_GE(query, 0);
    EXPECT_LT(query, load);
    EXPECT_LT(load, lookup);
    EXPECT_LT(lookup, running);
    EXPECT_LT(running, close);

    // A library without the function is released while the key is still open.
    Prepare(Win9x());
    headless::SetPasswordSetting(true, 1);
    headless::SetPasswordProvider(true, false);
    headless::AtFrame(5, Key());
    EXPECT_EQ(RunSaver("/s"), 0);
    const int freed = LogIndex("FreeLibrary PASSWORD.CPL");
    ASSERT_GE(freed, 0);
    EXPECT_LT(LogIndex("GetProcAddress VerifyScreenSavePwd"), freed);
    EXPECT_LT(freed, LogIndex("RegCloseKey"));
}

TEST(Password, TheVerificationRequestIsAnsweredOnlyOnThe9xFamily) {
    struct Case {
        bool win9x;
        bool provider;
        int answer;
        plat::LRESULT expected;
    };
    for (const Case& c :
         {Case{false, true, 1, 0}, Case{true, false, 0, 1}, Case{true, true, 0, 0}, Case{true, true, 1, 1}}) {
        headless::Config config = FreshConfig();
        config.win9xFamily = c.win9x;
        Prepare(config);
        headless::SetPasswordSetting(true, 1);
        headless::SetPasswordProvider(c.provider, c.provider);
        headless::QueuePasswordAnswers({c.answer, 1});  // the request, then the key's close
        plat::LRESULT verdict = -5;
        OnFrame([&](int frame) {
            if (frame == 2) verdict = plat::SendMessageA(shell.saverWindow, kVerifyPasswordMessage, 0, 0);
        });
        headless::AtFrame(4, Key());
        EXPECT_EQ(RunSaver("/s"), 0);
        EXPECT_EQ(verdict, c.expected) << c.win9x << c.provider << c.answer;
        EXPECT_EQ(headless::PasswordQuestions(), c.win9x && c.provider ? 2 : 0);
        EXPECT_FALSE(headless::TimedOut());
    }
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
