// The animated WebP writer of the headless renderer, read back with libwebp's own
// decoder: canvas, frame order, rows top first, timing and endless looping.
#include "platform/headless/webp_animation.h"

#include <gtest/gtest.h>
#include <webp/demux.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 32;

struct Decoded {
    int width = 0, height = 0, loops = -1;
    std::vector<std::vector<std::uint8_t>> frames;  // RGBA, top row first
    std::vector<int> endMs;                         // each frame's end time
};

Decoded Decode(const std::string& path) {
    Decoded decoded;
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    WebPData data = {bytes.data(), bytes.size()};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_RGBA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    if (decoder == nullptr) return decoded;
    WebPAnimInfo info;
    WebPAnimDecoderGetInfo(decoder, &info);
    decoded.width = static_cast<int>(info.canvas_width);
    decoded.height = static_cast<int>(info.canvas_height);
    decoded.loops = static_cast<int>(info.loop_count);
    while (WebPAnimDecoderHasMoreFrames(decoder)) {
        std::uint8_t* rgba = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderGetNext(decoder, &rgba, &timestamp)) break;
        decoded.frames.emplace_back(rgba, rgba + decoded.width * decoded.height * 4);
        decoded.endMs.push_back(timestamp);
    }
    WebPAnimDecoderDelete(decoder);
    return decoded;
}

// A frame as ReadPixels gives it, bottom row first: `bottom` below the middle,
// `top` above it; alpha left at 0, which the writer must ignore.
std::vector<std::uint8_t> Frame(const std::uint8_t top[3], const std::uint8_t bottom[3]) {
    std::vector<std::uint8_t> rgba(kSide * kSide * 4, 0);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            for (int c = 0; c < 3; ++c) rgba[(y * kSide + x) * 4 + c] = y < kSide / 2 ? bottom[c] : top[c];
    return rgba;
}

// Lossy coding moves flat colours by a few steps, and never far.
void ExpectColour(const std::vector<std::uint8_t>& rgba, int x, int y, const std::uint8_t rgb[3], const char* what) {
    const std::uint8_t* pixel = &rgba[(y * kSide + x) * 4];
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(pixel[c], rgb[c], 12) << what << ", channel " << c;
    EXPECT_EQ(pixel[3], 255) << what << " is opaque";
}

TEST(WebpAnimation, FramesInOrderTopRowFirstEachForItsTimeLoopingForever) {
    const std::uint8_t red[3] = {220, 30, 30}, blue[3] = {30, 30, 220}, green[3] = {30, 200, 30};
    std::vector<std::uint8_t> frames = Frame(red, blue);
    std::vector<std::uint8_t> second = Frame(green, green);
    std::vector<std::uint8_t> third = Frame(blue, red);
    frames.insert(frames.end(), second.begin(), second.end());
    frames.insert(frames.end(), third.begin(), third.end());
    std::string path = ::testing::TempDir() + "webp_animation_test.webp";
    ASSERT_TRUE(headless::WriteWebpAnimation(path.c_str(), kSide, kSide, frames.data(), 3, 60));
    Decoded decoded = Decode(path);
    std::remove(path.c_str());
    EXPECT_EQ(decoded.width, kSide);
    EXPECT_EQ(decoded.height, kSide);
    EXPECT_EQ(decoded.loops, 0);
    ASSERT_EQ(decoded.frames.size(), 3u);
    EXPECT_EQ(decoded.endMs, (std::vector<int>{60, 120, 180}));
    ExpectColour(decoded.frames[0], 4, 2, red, "first frame, top");
    ExpectColour(decoded.frames[0], 4, kSide - 3, blue, "first frame, bottom");
    ExpectColour(decoded.frames[1], 20, 20, green, "second frame");
    ExpectColour(decoded.frames[2], 28, 2, blue, "third frame, top");
    ExpectColour(decoded.frames[2], 28, kSide - 3, red, "third frame, bottom");
}

TEST(WebpAnimation, SameFramesSameBytes) {
    const std::uint8_t grey[3] = {90, 90, 90}, white[3] = {250, 250, 250};
    std::vector<std::uint8_t> frames = Frame(grey, white);
    std::vector<std::uint8_t> second = Frame(white, grey);
    frames.insert(frames.end(), second.begin(), second.end());
    std::string a = ::testing::TempDir() + "webp_a.webp", b = ::testing::TempDir() + "webp_b.webp";
    ASSERT_TRUE(headless::WriteWebpAnimation(a.c_str(), kSide, kSide, frames.data(), 2, 40));
    ASSERT_TRUE(headless::WriteWebpAnimation(b.c_str(), kSide, kSide, frames.data(), 2, 40));
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    std::string bytesA((std::istreambuf_iterator<char>(fa)), std::istreambuf_iterator<char>());
    std::string bytesB((std::istreambuf_iterator<char>(fb)), std::istreambuf_iterator<char>());
    std::remove(a.c_str());
    std::remove(b.c_str());
    EXPECT_FALSE(bytesA.empty());
    EXPECT_TRUE(bytesA == bytesB);
}

TEST(WebpAnimation, NothingToWriteOrNowhereToWriteFails) {
    std::vector<std::uint8_t> frame(kSide * kSide * 4, 7);
    EXPECT_FALSE(headless::WriteWebpAnimation("/nonexistent-folder/x.webp", kSide, kSide, frame.data(), 1, 10));
    std::string path = ::testing::TempDir() + "webp_none.webp";
    EXPECT_FALSE(headless::WriteWebpAnimation(path.c_str(), kSide, kSide, frame.data(), 0, 10));
    EXPECT_FALSE(headless::WriteWebpAnimation(path.c_str(), 0, kSide, frame.data(), 1, 10));
    std::FILE* file = std::fopen(path.c_str(), "rb");
    EXPECT_EQ(file, nullptr) << "nothing is written when there is nothing to write";
    if (file != nullptr) std::fclose(file);
}

}  // namespace
