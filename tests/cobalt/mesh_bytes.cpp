#include "tests/cobalt/mesh_bytes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

namespace fs = std::filesystem;

namespace {

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutF32(std::vector<std::uint8_t>& out, float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(bits >> shift));
}

}  // namespace

std::vector<std::uint8_t> MeshFileBytes(const std::vector<Vector3>& vertices, const std::vector<TestFace>& faces) {
    std::vector<std::uint8_t> out;
    PutU16(out, static_cast<std::uint16_t>(vertices.size()));
    PutU16(out, static_cast<std::uint16_t>(faces.size()));
    for (const Vector3& v : vertices) {
        PutF32(out, v.x);
        PutF32(out, v.y);
        PutF32(out, v.z);
    }
    for (const TestFace& f : faces) {
        PutU16(out, static_cast<std::uint16_t>(f.a));
        PutU16(out, static_cast<std::uint16_t>(f.b));
        PutU16(out, static_cast<std::uint16_t>(f.c));
        out.push_back(f.red);
        out.push_back(f.green);
        out.push_back(f.blue);
    }
    return out;
}

std::vector<std::uint8_t> HeaderAndZeros(std::uint16_t vertexCount, std::uint16_t faceCount, std::size_t bodyBytes) {
    std::vector<std::uint8_t> out;
    PutU16(out, vertexCount);
    PutU16(out, faceCount);
    out.resize(out.size() + bodyBytes, 0);
    return out;
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good()) << path;
}

ScratchDirectory::ScratchDirectory() {
    static int serial = 0;
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string("cobalt_") + (info != nullptr ? info->name() : "test") + "_" +
                             std::to_string(::getpid()) + "_" + std::to_string(++serial);
    path = fs::path(testing::TempDir()) / name;
    fs::remove_all(path);
    fs::create_directories(path);
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

CurrentDirectory::CurrentDirectory(const fs::path& directory) : previous(fs::current_path()) {
    fs::current_path(directory);
}

CurrentDirectory::~CurrentDirectory() { fs::current_path(previous); }

int OpenFileDescriptors() {
    int count = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        (void)entry;
        ++count;
    }
    return count;
}
