// Writing a frame read back from the headless GL surface as a PNG file.
#pragma once

#include <cstdint>

namespace headless {

// Writes an 8-bit RGB PNG of `rgba` (rows bottom-up as ReadPixels gives them, 4 bytes
// per pixel; alpha is dropped) with the top row first. False when the file cannot
// be written.
bool WritePng(const char* path, int width, int height, const std::uint8_t* rgba);

}  // namespace headless
