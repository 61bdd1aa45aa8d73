// Encodes a sphere model in cobalt's mesh layout: u16 vertex count, u16 face
// count, per vertex three little-endian f32, per face three little-endian s16
// corners and three colour bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/make_sphere/icosphere.h"

std::vector<std::uint8_t> EncodeSphereFile(const SphereModel& model);
bool WriteSphereFile(const char* path, const SphereModel& model);
