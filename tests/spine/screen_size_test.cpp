// The saver window follows the screen's size, and sleeps while the display is off.
#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/recording_gl.h"
#include "tests/spine/run_saver.h"

namespace {

struct Viewport {
    long width, height;
    bool operator==(const Viewport& other) const { return width == other.width && height == other.height; }
};

std::vector<Viewport> Viewports() {
    std::vector<Viewport> viewports;
    for (std::size_t i = 0; i < recgl::Stored(); ++i) {
        const recgl::Call& call = recgl::At(i);
        if (recgl::Is(call, "glViewport"))
            viewports.push_back({static_cast<long>(call.args[2]), static_cast<long>(call.args[3])});
    }
    return viewports;
}

headless::Event ResizeScreen(int width, int height) {
    headless::Event event{headless::Input::ResizeScreen};
    event.a = width;
    event.b = height;
    return event;
}

constexpr unsigned kWmSize = 0x0005;

TEST(ScreenSize, ThePreviewSetsItsProjectionAgainWhenTheScreenChangedSize) {
    Prepare();
    plat::HWND parent = headless::CreateForeignWindow(152, 112);
    headless::AtFrame(5, ResizeScreen(800, 600));
    headless::AtFrame(5, Msg(kWmSize, 0, (112 << 16) | 152));
    headless::AtFrame(10, Msg(kWmSize, 0, (112 << 16) | 152));  // same metrics: nothing to do
    headless::Event destroy{headless::Input::DestroyForeign};
    destroy.target = parent;
    headless::AtFrame(15, destroy);
    EXPECT_EQ(RunSaver(("p " + std::to_string(reinterpret_cast<std::uintptr_t>(parent))).c_str()), 0);
    EXPECT_EQ(Viewports(), (std::vector<Viewport>{{1024, 768}, {800, 600}}));
}

TEST(ScreenSize, ASizeMessageWithTheScreenUnchangedSetsNoProjection) {
    Prepare();
    headless::AtFrame(3, Msg(kWmSize, 0, (300 << 16) | 400));
    headless::AtFrame(6, Key());
    EXPECT_EQ(RunSaver("/s"), 0);
    EXPECT_EQ(Viewports(), (std::vector<Viewport>{{1024, 768}}));
}

TEST(DisplayAsleep, NoFrameIsDrawnWhileTheDisplayIsOffAndDrawingResumesAfter) {
    Prepare();
    std::vector<std::uint64_t> frameTimes;
    OnFrame([&frameTimes](int) { frameTimes.push_back(headless::NowMs()); });
    headless::AtFrame(10, Simple(headless::Input::DisplayOff));
    headless::AtMs(5000, Simple(headless::Input::DisplayOn));
    headless::AtFrame(20, Key());
    EXPECT_EQ(RunSaver("/s"), 0);
    ASSERT_EQ(frameTimes.size(), 20u);
    EXPECT_LT(frameTimes[9], 200u);
    // The held timer fires once the display is on again, then keeps its pace.
    EXPECT_EQ(frameTimes[10], 5000u);
    EXPECT_EQ(frameTimes[11], 5010u);
    EXPECT_FALSE(headless::DisplayAsleep());
}

}  // namespace
