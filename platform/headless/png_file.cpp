// PNG output through libpng's simplified API, which reports errors by result
// instead of jumping out of the caller.
#include "platform/headless/png_file.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace headless {

bool WritePng(const char* path, int width, int height, const std::uint8_t* rgba) {
    if (path == nullptr || rgba == nullptr || width <= 0 || height <= 0) return false;
    std::size_t w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
    std::vector<std::uint8_t> rgb(w * h * 3);
    for (std::size_t i = 0; i < w * h; ++i) std::memcpy(&rgb[i * 3], &rgba[i * 4], 3);

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    // A negative stride makes libpng take the last row of the buffer first.
    png_int_32 stride = -static_cast<png_int_32>(w * 3);
    bool written = png_image_write_to_file(&image, path, 0, rgb.data(), stride, nullptr) != 0;
    png_image_free(&image);
    return written;
}

}  // namespace headless
