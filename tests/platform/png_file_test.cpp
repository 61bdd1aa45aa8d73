// The PNG writer of the headless renderer: top row first, alpha dropped.
#include "platform/headless/png_file.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> ReadRgb(const std::string& path, int* width, int* height) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    return rgb;
}

TEST(PngFile, BottomUpRowsAreWrittenTopRowFirst) {
    // Two rows of three pixels, bottom row first as glReadPixels gives them.
    const std::vector<std::uint8_t> rgba = {
        255, 0,   0, 10, 255, 0,   0, 20, 255, 0, 0,   30,   // bottom: red
        0,   255, 0, 40, 0,   255, 0, 50, 0,   0, 255, 60};  // top: green, green, blue
    std::string path = ::testing::TempDir() + "png_file_test.png";
    ASSERT_TRUE(headless::WritePng(path.c_str(), 3, 2, rgba.data()));
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb = ReadRgb(path, &width, &height);
    std::remove(path.c_str());
    ASSERT_EQ(width, 3);
    ASSERT_EQ(height, 2);
    EXPECT_EQ(rgb, (std::vector<std::uint8_t>{0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 0, 0, 255, 0, 0, 255, 0, 0}));
}

TEST(PngFile, UnwritablePathFails) {
    const std::uint8_t rgba[4] = {1, 2, 3, 4};
    EXPECT_FALSE(headless::WritePng("/nonexistent-folder/x.png", 1, 1, rgba));
    EXPECT_FALSE(headless::WritePng("x.png", 0, 1, rgba));
}

}  // namespace
