#include "tools/make_sphere/sphere_file.h"

#include <cstdio>
#include <cstring>

namespace {

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutF32(std::vector<std::uint8_t>& out, float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>((bits >> shift) & 0xFF));
}

}  // namespace

std::vector<std::uint8_t> EncodeSphereFile(const SphereModel& model) {
    std::vector<std::uint8_t> out;
    PutU16(out, static_cast<std::uint16_t>(model.points.size()));
    PutU16(out, static_cast<std::uint16_t>(model.faces.size()));
    for (const SpherePoint& p : model.points) {
        PutF32(out, p.x);
        PutF32(out, p.y);
        PutF32(out, p.z);
    }
    for (const SphereFace& face : model.faces) {
        for (std::int16_t corner : face.corner) PutU16(out, static_cast<std::uint16_t>(corner));
        for (std::uint8_t channel : face.colour) out.push_back(channel);
    }
    return out;
}

bool WriteSphereFile(const char* path, const SphereModel& model) {
    const std::vector<std::uint8_t> bytes = EncodeSphereFile(model);
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), bytes.size(), 1, file) == 1;
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}
