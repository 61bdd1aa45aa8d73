// GL start-up and the structure of a frame, through the recording GL.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/host.h"
#include "platform/gl.h"
#include "platform/headless/recording_gl.h"
#include "savers/saver_variant.h"
#include "tests/deliverables/host_calls.h"
#include "tests/reference/side_by_side.h"
#include "tests/spine/run_saver.h"
#include "toolkit/random.h"

namespace {

// Index of the n-th (0-based) call of `name`, or Stored() when there is none.
std::size_t Nth(const char* name, int n) {
    for (std::size_t i = 0; i < recgl::Stored(); ++i)
        if (recgl::Is(recgl::At(i), name) && n-- == 0) return i;
    return recgl::Stored();
}

// Lines of the platform call log equal to `line` (CountCalls matches prefixes).
long CallsExactly(const char* line) {
    const std::vector<std::string>& log = headless::CallLog();
    return static_cast<long>(std::count(log.begin(), log.end(), line));
}

int RunFrames(const char* args, int frames) {
    headless::AtFrame(frames, Key());
    return RunSaver(args);
}

// Start-up and frames of a saver run as the deliverable's table says, with the
// probe marking each EffectDraw by one call.
model::GlCalls SaverRunCalls(int width, int height, int frames) {
    model::GlCalls calls;
    ProjectionCalls(calls, width, height);
    BeforeSetupCalls(calls, expected);
    for (int f = 0; f < frames; ++f) {
        FrameOpeningCalls(calls, expected);
        model::Call(calls, "glLineWidth", kProbeLineWidth);
        FrameClosingCalls(calls);
    }
    return calls;
}

TEST(Frame, SaverStartsGLThenTicksAFrameTimer) {
    Prepare();
    EXPECT_EQ(RunFrames("/s", 5), 0);
    EXPECT_EQ(probe.setupCalls, 1);
    EXPECT_EQ(probe.initCalls, 1);
    EXPECT_EQ(probe.drawCalls, headless::FramesPresented());
    EXPECT_EQ(probe.freeCalls, 1);
    // Whole lines: the period as the host asks for it (1 ms), before the
    // emulated layer raises it to 10 ms; "SetTimer 1 10" must not pass.
    EXPECT_EQ(CallsExactly("SetTimer 1 1"), 1);
    EXPECT_EQ(CallsExactly("KillTimer 1"), 1);
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST(Frame, TheTimerIsPacedByTheTenMillisecondFloor) {
    Prepare();
    headless::AtMs(1000, Key());
    EXPECT_EQ(RunSaver("/s"), 0);
    EXPECT_GE(headless::FramesPresented(), 95);
    EXPECT_LE(headless::FramesPresented(), 101);
}

// Every GL call of the run: the projection, the deliverable's blending before
// the effect starts, and per frame its overlay and clear, the reset, the
// effect's step and the flush.
TEST(Frame, EveryCallFollowsTheDeliverablesSettings) {
    Prepare();
    EXPECT_EQ(RunFrames("/s", 4), 0);
    EXPECT_EQ(model::FirstCallDifference(SaverRunCalls(1024, 768, headless::FramesPresented())), "");
}

// The fade settings as the table gives them. Where the overlay is off, nothing
// drawn shows its alpha or style, so this is where they are pinned.
TEST(Frame, TheProgramIsBuiltWithItsOwnSettings) {
    EXPECT_STREQ(saverVariant.name, expected.name);
    EXPECT_EQ(saverVariant.fadeAlpha, expected.fadeAlpha);
    const bool on = expected.overlay != ExpectedOverlay::None;
    EXPECT_EQ(saverVariant.fadeEnabled, on ? 1 : 0);
    const FadeStyle style = !on                                                  ? FadeStyle::None
                            : expected.overlay == ExpectedOverlay::TexturedWhite ? FadeStyle::Textured
                                                                                 : FadeStyle::Black;
    EXPECT_EQ(saverVariant.fadeStyle, style);
}

TEST(Frame, ProjectionFollowsThePrimaryScreen) {
    Prepare();
    EXPECT_EQ(RunFrames("/s", 2), 0);
    const recgl::Call& viewport = recgl::At(Nth("glViewport", 0));
    EXPECT_EQ(viewport.args[2], 1024);
    EXPECT_EQ(viewport.args[3], 768);
    // height / width = 0.75 exactly: the sides are -4/3 and 4/3.
    const recgl::Call& frustum = recgl::At(Nth("glFrustum", 0));
    EXPECT_EQ(frustum.args[0], -1.3333333333333333);
    EXPECT_EQ(frustum.args[1], 1.3333333333333333);
}

TEST(Frame, APreviewStillProjectsTheWholeScreen) {
    headless::Config config = FreshConfig();
    config.screenWidth = 1280;
    config.screenHeight = 1024;
    Prepare(config);
    plat::HWND parent = headless::CreateForeignWindow(152, 112);
    headless::Event gone = Simple(headless::Input::DestroyForeign);
    gone.target = parent;
    headless::AtFrame(2, gone);
    EXPECT_EQ(RunSaver(("p " + HandleText(parent)).c_str()), 0);
    const recgl::Call& viewport = recgl::At(Nth("glViewport", 0));
    EXPECT_EQ(viewport.args[2], 1280);
    EXPECT_EQ(viewport.args[3], 1024);
    // height / width = 0.8, rounded to float first, then inverted in double.
    EXPECT_EQ(recgl::At(Nth("glFrustum", 0)).args[1], 1.2499999813735487);
    EXPECT_EQ(model::FirstCallDifference(SaverRunCalls(1280, 1024, headless::FramesPresented())), "");
}

TEST(Frame, TheRandomSourceIsSeededFromTheClock) {
    headless::Config config = FreshConfig();
    config.utc.wMinute = 59;
    config.utc.wSecond = 58;
    config.utc.wMilliseconds = 999;
    Prepare(config);
    EXPECT_EQ(RunFrames("/s", 1), 0);
    SeedRandom(59 + 58 + 999);
    EXPECT_EQ(probe.firstDraw, Random15());
}

struct FailureCase {
    void (*arrange)(headless::Config&);
    const char* text;
};

TEST(Frame, StartFailuresShowTheirBoxAndEndTheRun) {
    const FailureCase cases[] = {
        {[](headless::Config& c) { c.failChoosePixelFormat = true; },
         "ChoosePixelFormat() failed:  Cannot find a suitable pixel format."},
        {[](headless::Config& c) { c.failSetPixelFormat = true; },
         "SetPixelFormat() failed:  Cannot set format specified."},
        {[](headless::Config&) { probe.failInit = true; }, "Init Points Failed"},
    };
    for (const FailureCase& failure : cases) {
        headless::Config config = FreshConfig();
        failure.arrange(config);
        Prepare(config);
        failure.arrange(config);  // the probe is reset by Prepare
        EXPECT_EQ(RunSaver("/s"), 0) << failure.text;
        ASSERT_EQ(headless::MessageBoxes().size(), 1u) << failure.text;
        EXPECT_EQ(headless::MessageBoxes()[0].text, failure.text);
        EXPECT_EQ(headless::MessageBoxes()[0].caption, "Error");
        EXPECT_EQ(headless::MessageBoxes()[0].owner, nullptr);
        EXPECT_EQ(headless::MessageBoxes()[0].type, plat::MB_OK);
        EXPECT_EQ(headless::FramesPresented(), 0) << failure.text;
        EXPECT_EQ(headless::CountCalls("SetTimer"), 0) << failure.text;
        EXPECT_FALSE(headless::TimedOut()) << failure.text;
    }
}

TEST(Frame, ATimerThatCannotStartEndsTheRunSilently) {
    headless::Config config = FreshConfig();
    config.failSetTimer = true;
    Prepare(config);
    EXPECT_EQ(RunSaver("/s"), 0);
    EXPECT_TRUE(headless::MessageBoxes().empty());
    EXPECT_EQ(headless::FramesPresented(), 0);
    EXPECT_FALSE(headless::TimedOut());
}

TEST(Frame, StopReleasesTheContextInOrder) {
    Prepare();
    EXPECT_EQ(RunFrames("/s", 2), 0);
    const auto& log = headless::CallLog();
    std::vector<std::string> tail;
    for (const std::string& line : log)
        if (line.rfind("KillTimer", 0) == 0 || line.rfind("wglMakeCurrent", 0) == 0 ||
            line.rfind("ReleaseDC", 0) == 0 || line.rfind("wglDeleteContext", 0) == 0)
            tail.push_back(line.substr(0, line.find(' ')));
    ASSERT_GE(tail.size(), 4u);
    const std::vector<std::string> last(tail.end() - 4, tail.end());
    EXPECT_EQ(last, (std::vector<std::string>{"KillTimer", "wglMakeCurrent", "ReleaseDC", "wglDeleteContext"}));
}

}  // namespace
