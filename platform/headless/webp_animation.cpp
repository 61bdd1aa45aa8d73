// Animated WebP output through libwebp's animation encoder (libwebpmux), which
// stores each frame as the smallest of a key frame or the changed rectangle.
#include "platform/headless/webp_animation.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace headless {

namespace {

// Lossy quality 0..100: trails over black keep their look at a fifth of the size
// that near-lossless takes.
constexpr float kQuality = 80.0f;
// A key frame at least this often keeps small errors of the frames stored as a
// change from the one before from piling up where the picture fades.
constexpr int kKeyFrameEvery = 12;

bool AddFrame(WebPAnimEncoder* encoder, const WebPConfig& config, int width, int height, const std::uint8_t* rgba,
              int timestampMs, std::vector<std::uint8_t>* topDown) {
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* from = rgba + static_cast<std::size_t>(height - 1 - y) * row;
        std::copy(from, from + row, topDown->begin() + static_cast<std::ptrdiff_t>(y * row));
    }
    WebPPicture picture;
    if (!WebPPictureInit(&picture)) return false;
    picture.width = width;
    picture.height = height;
    picture.use_argb = 1;
    bool added = WebPPictureImportRGBX(&picture, topDown->data(), static_cast<int>(row)) &&
                 WebPAnimEncoderAdd(encoder, &picture, timestampMs, &config);
    WebPPictureFree(&picture);
    return added;
}

bool WriteFile(const char* path, const WebPData& data) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(data.bytes, 1, data.size, file) == data.size;
    return std::fclose(file) == 0 && written;
}

}  // namespace

bool WriteWebpAnimation(const char* path, int width, int height, const std::uint8_t* frames, int count, int frameMs) {
    if (path == nullptr || frames == nullptr || width <= 0 || height <= 0 || count <= 0 || frameMs <= 0) return false;
    WebPAnimEncoderOptions options;
    WebPConfig config;
    if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&config)) return false;
    options.anim_params.loop_count = 0;  // forever
    options.anim_params.bgcolor = 0xFF000000u;
    options.kmax = kKeyFrameEvery;
    options.kmin = kKeyFrameEvery - 1;
    config.quality = kQuality;
    config.thread_level = 0;
    WebPAnimEncoder* encoder = WebPAnimEncoderNew(width, height, &options);
    if (encoder == nullptr) return false;

    const std::size_t frameBytes = static_cast<std::size_t>(width) * height * 4;
    std::vector<std::uint8_t> topDown(frameBytes);
    bool encoded = true;
    for (int i = 0; i < count && encoded; ++i)
        encoded = AddFrame(encoder, config, width, height, frames + i * frameBytes, i * frameMs, &topDown);
    WebPData data;
    WebPDataInit(&data);
    // The last frame's duration comes from the end time given with no picture.
    encoded = encoded && WebPAnimEncoderAdd(encoder, nullptr, count * frameMs, nullptr) &&
              WebPAnimEncoderAssemble(encoder, &data);
    bool written = encoded && WriteFile(path, data);
    WebPDataClear(&data);
    WebPAnimEncoderDelete(encoder);
    return written;
}

}  // namespace headless
