// What each deliverable draws, read back from Mesa's offscreen GL.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/gl.h"
#include "platform/headless/headless.h"
#include "shell/shell.h"
#include "tests/deliverables/expected.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

struct Capture {
    int frame = 0;        // read the picture after this frame
    int whitenFrame = 0;  // fill the colour buffer with white after this frame
    std::vector<std::uint8_t> rgba;
};

void OnFrame(int frame, void* context) {
    Capture& capture = *static_cast<Capture*>(context);
    if (frame == capture.whitenFrame) {
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0, 0, 0, 0);
    }
    if (frame == capture.frame) {
        capture.rgba.resize(kWidth * kHeight * 4);
        ASSERT_TRUE(headless::ReadPixels(0, 0, kWidth, kHeight, capture.rgba.data()));
        plat::PostQuitMessage(0);
    }
}

Capture RunAndCapture(int frame, int whitenFrame = -1) {
    headless::Config config;
    config.screenWidth = kWidth;
    config.screenHeight = kHeight;
    config.utc.wSecond = 17;
    config.maxFrames = frame + 10;
    headless::Reset(config);
    Capture capture;
    capture.frame = frame;
    capture.whitenFrame = whitenFrame;
    headless::SetFrameHook(OnFrame, &capture);
    EXPECT_EQ(SaverMain(plat::GetModuleHandleA(nullptr), nullptr, "/s", plat::SW_SHOWDEFAULT), 0);
    headless::SetFrameHook(nullptr, nullptr);
    EXPECT_TRUE(headless::MessageBoxes().empty());
    EXPECT_EQ(capture.rgba.size(), static_cast<std::size_t>(kWidth * kHeight * 4));
    return capture;
}

struct Census {
    int black = 0;      // every channel below 8
    int saturated = 0;  // some channel at 255
    int coloured = 0;   // channels differ by more than 24
    int lit = 0;        // some channel above 40
    int total = 0;
};

Census Count(const std::vector<std::uint8_t>& rgba) {
    Census c;
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) {
        const int r = rgba[i], g = rgba[i + 1], b = rgba[i + 2];
        const int high = std::max({r, g, b}), low = std::min({r, g, b});
        c.black += high < 8;
        c.saturated += high == 255;
        c.coloured += high - low > 24;
        c.lit += high > 40;
        ++c.total;
    }
    return c;
}

TEST(Picture, TrailsAppearOverADarkBackground) {
    const Capture capture = RunAndCapture(400);
    const Census c = Count(capture.rgba);
    // Something is drawn, in colour, over a background that stays black, and the
    // additive trails never white out the frame (cobalt's core is the brightest:
    // about a sixth of its pixels saturate at 640 x 480).
    EXPECT_GT(c.lit, c.total / 100) << "lit " << c.lit;
    EXPECT_GT(c.coloured, c.total / 100) << "coloured " << c.coloured;
    EXPECT_GT(c.black, c.total / 3) << "black " << c.black;
    EXPECT_LT(c.saturated, c.total / 4) << "saturated " << c.saturated;
}

// A white frame, then one more: what the deliverable does to the last frame.
TEST(Picture, WhatTheNextFrameDoesToAWhiteFrame) {
    const Capture capture = RunAndCapture(21, 20);
    std::vector<int> greens;
    for (std::size_t i = 0; i + 3 < capture.rgba.size(); i += 4) greens.push_back(capture.rgba[i + 1]);
    std::sort(greens.begin(), greens.end());
    const int p10 = greens[greens.size() / 10];
    const int p50 = greens[greens.size() / 2];
    const int p90 = greens[greens.size() * 9 / 10];
    switch (expected.overlay) {
        case ExpectedOverlay::None:
            // Cleared to black; only the effect's own drawing shows.
            EXPECT_GT(Count(capture.rgba).black, static_cast<int>(greens.size()) * 8 / 10);
            break;
        case ExpectedOverlay::TexturedWhite:
            // Each pixel keeps 1 - (fadeAlpha / 255) A of its brightness, A the
            // plasma's alpha there: never darker than 255 - fadeAlpha less rounding
            // (Mesa's texture filtering and blend, within 7 steps), and the
            // darkening varies across the window.
            EXPECT_GE(p10, 255 - expected.fadeAlpha - 7);
            EXPECT_GT(p90 - p10, 20) << p10 << " " << p50 << " " << p90;
            break;
        case ExpectedOverlay::UntexturedBlack:
            // The same factor, 1 - fadeAlpha / 255, everywhere: 255 becomes
            // 255 - fadeAlpha (Mesa rounds the blend to within one step).
            EXPECT_LE(p50 - p10, 2) << p10 << " " << p50 << " " << p90;
            EXPECT_GE(p10, 255 - expected.fadeAlpha - 2);
            EXPECT_LE(p90, 255 - expected.fadeAlpha + 1);
            break;
    }
}

}  // namespace
