// Writing frames read back from the headless GL surface as an animated WebP.
#pragma once

#include <cstdint>

namespace headless {

// Writes `count` frames of width x height as an animated WebP that shows each for
// `frameMs` milliseconds and loops forever. The frames lie one after another in
// `frames`, each 4 bytes RGBA per pixel with rows bottom-up as ReadPixels gives
// them; alpha is ignored. Lossy at a fixed quality; the same frames give the same
// bytes. False when the frames cannot be encoded or the file cannot be written.
bool WriteWebpAnimation(const char* path, int width, int height, const std::uint8_t* frames, int count, int frameMs);

}  // namespace headless
