// GL start-up and the structure of a frame, through the recording GL.
#include <gtest/gtest.h>

#include <vector>

#include "host/host.h"
#include "host/random.h"
#include "platform/gl.h"
#include "platform/headless/recording_gl.h"
#include "tests/spine/run_saver.h"

namespace {

std::vector<std::string> Names(std::size_t from, std::size_t to) {
    std::vector<std::string> names;
    for (std::size_t i = from; i < to && i < recgl::Stored(); ++i) names.push_back(recgl::At(i).name);
    return names;
}

// Index of the n-th (0-based) call of `name`, or Stored() when there is none.
std::size_t Nth(const char* name, int n) {
    for (std::size_t i = 0; i < recgl::Stored(); ++i)
        if (recgl::Is(recgl::At(i), name) && n-- == 0) return i;
    return recgl::Stored();
}

int RunFrames(const char* args, int frames) {
    headless::AtFrame(frames, Key());
    return RunSaver(args);
}

TEST(Frame, SaverStartsGLThenTicksAFrameTimer) {
    Prepare();
    EXPECT_EQ(RunFrames("/s", 5), 0);
    EXPECT_EQ(probe.setupCalls, 1);
    EXPECT_EQ(probe.initCalls, 1);
    EXPECT_EQ(probe.drawCalls, headless::FramesPresented());
    EXPECT_EQ(probe.freeCalls, 1);
    EXPECT_EQ(headless::CountCalls("SetTimer 1 1"), 1);
    EXPECT_EQ(headless::CountCalls("KillTimer 1"), 1);
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

TEST(Frame, TheTimerIsPacedByTheTenMillisecondFloor) {
    Prepare();
    headless::AtMs(1000, Key());
    EXPECT_EQ(RunSaver("/s"), 0);
    EXPECT_GE(headless::FramesPresented(), 95);
    EXPECT_LE(headless::FramesPresented(), 101);
}

TEST(Frame, OneFrameHasTheDeliverablesOverlayClearAndOrder) {
    Prepare();
    EXPECT_EQ(RunFrames("/s", 3), 0);
    // The second frame lies between the first and second probe marks.
    ASSERT_TRUE(recgl::Is(recgl::At(Nth("glLineWidth", 0) + 1), "glFlush"));
    const std::size_t begin = Nth("glLineWidth", 0) + 2;
    const std::size_t mark = Nth("glLineWidth", 1);
    ASSERT_LT(mark, recgl::Stored());
    const std::vector<std::string> frame = Names(begin, mark + 1);
    ASSERT_GE(frame.size(), 3u);
    // The frame ends with the effect's step, a flush and (after the mark) no more GL.
    EXPECT_EQ(frame[frame.size() - 2], "glLoadIdentity");
    EXPECT_EQ(recgl::At(mark + 1).name, std::string("glFlush"));

    std::size_t clear = begin;
    while (clear < mark && !recgl::Is(recgl::At(clear), "glClear")) ++clear;
    ASSERT_LT(clear, mark);
    const recgl::Call& clearCall = recgl::At(clear);
    if (saverVariant.fadeEnabled) {
        EXPECT_EQ(clearCall.args[0], GL_DEPTH_BUFFER_BIT);
        const std::vector<std::string> overlay = Names(begin, clear);
        ASSERT_FALSE(overlay.empty());
        EXPECT_EQ(overlay.front(), "glPushAttrib");
        EXPECT_EQ(recgl::At(begin).args[0], GL_ALL_ATTRIB_BITS);
        EXPECT_EQ(overlay.back(), "glPopAttrib");
        int vertices = 0, texCoords = 0;
        for (const std::string& n : overlay) {
            vertices += n == "glVertex2f";
            texCoords += n == "glTexCoord2f";
        }
        EXPECT_EQ(vertices, 4);
        EXPECT_EQ(texCoords, saverVariant.fadeStyle == FadeStyle::Textured ? 4 : 0);
        // Corners (0,0), (0,1), (1,1), (1,0) in this order, colour bytes and alpha 63.
        const float corners[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
        int corner = 0;
        for (std::size_t i = begin; i < clear; ++i) {
            const recgl::Call& c = recgl::At(i);
            if (recgl::Is(c, "glVertex2f")) {
                EXPECT_EQ(c.args[0], corners[corner][0]);
                EXPECT_EQ(c.args[1], corners[corner][1]);
                ++corner;
            }
            if (recgl::Is(c, "glColor4ub")) {
                const double level = saverVariant.fadeStyle == FadeStyle::Textured ? 1 : 0;
                EXPECT_EQ(c.args[0], level);
                EXPECT_EQ(c.args[3], 63);
            }
            if (recgl::Is(c, "glOrtho")) {
                EXPECT_EQ(c.args[0], 0.0);
                EXPECT_EQ(c.args[1], 1.0);
                EXPECT_EQ(c.args[4], -1.0);
                EXPECT_EQ(c.args[5], 0.0);
            }
        }
    } else {
        EXPECT_EQ(clearCall.args[0], GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        EXPECT_EQ(recgl::CountOf("glPushAttrib"), 0u);
        EXPECT_EQ(clear, begin);  // nothing before the clear
    }
}

TEST(Frame, FramesEndWithFlushAndSwap) {
    Prepare();
    EXPECT_EQ(RunFrames("/s", 6), 0);
    EXPECT_EQ(recgl::CountOf("glFlush"), static_cast<std::size_t>(headless::FramesPresented()));
    EXPECT_EQ(recgl::CountOf("glLineWidth"), static_cast<std::size_t>(headless::FramesPresented()));
}

void ExpectProjection(int width, int height) {
    const std::size_t viewport = Nth("glViewport", 0);
    ASSERT_LT(viewport, recgl::Stored());
    EXPECT_EQ(recgl::At(viewport).args[2], width);
    EXPECT_EQ(recgl::At(viewport).args[3], height);
    const std::size_t frustum = Nth("glFrustum", 0);
    ASSERT_LT(frustum, recgl::Stored());
    const float aspect = static_cast<float>(static_cast<double>(height) / width);
    const recgl::Call& f = recgl::At(frustum);
    EXPECT_EQ(f.args[0], -1.0 / aspect);
    EXPECT_EQ(f.args[1], 1.0 / aspect);
    EXPECT_EQ(f.args[2], -1.0);
    EXPECT_EQ(f.args[3], 1.0);
    EXPECT_EQ(f.args[4], 1.0);
    EXPECT_EQ(f.args[5], 1000.0);
}

TEST(Frame, ProjectionFollowsThePrimaryScreen) {
    Prepare();
    EXPECT_EQ(RunFrames("/s", 2), 0);
    ExpectProjection(1024, 768);
    EXPECT_NEAR(recgl::At(Nth("glFrustum", 0)).args[1], 1024.0 / 768.0, 1e-6);
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
    char args[32];
    std::snprintf(args, sizeof args, "p %u", static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(parent)));
    EXPECT_EQ(RunSaver(args), 0);
    ExpectProjection(1280, 1024);
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

TEST(Frame, CobaltSwitchesAdditiveBlendingOnBeforeTheEffect) {
    Prepare();
    EXPECT_EQ(RunFrames("/s", 1), 0);
    const std::size_t firstFrame = Nth("glClear", 0);
    const std::size_t blend = Nth("glBlendFunc", 0);
    if (saverVariant.additiveBlendBeforeSetup) {
        ASSERT_LT(blend, firstFrame);
        EXPECT_EQ(recgl::At(blend).args[0], GL_SRC_ALPHA);
        EXPECT_EQ(recgl::At(blend).args[1], GL_ONE);
    } else {
        EXPECT_GT(blend, Nth("glFrustum", 0));  // only the overlay sets a blend function
        EXPECT_EQ(recgl::At(blend).args[1], GL_ONE_MINUS_SRC_ALPHA);
    }
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
