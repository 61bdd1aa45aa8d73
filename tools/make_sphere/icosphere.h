// A unit icosphere: the icosahedron with every triangle split into four, the new
// corners pushed out onto the sphere, `subdivisions` times. Each face carries a
// colour that varies smoothly with the direction of its centre.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

struct SpherePoint {
    float x, y, z;
};

struct SphereFace {
    std::array<std::int16_t, 3> corner;
    std::array<std::uint8_t, 3> colour;  // R, G, B
};

struct SphereModel {
    std::vector<SpherePoint> points;
    std::vector<SphereFace> faces;
};

SphereModel BuildIcosphere(int subdivisions);
