#include "tests/cobalt/mesh_bytes.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "tools/make_sphere/sphere_file.h"

namespace fs = std::filesystem;

std::vector<std::uint8_t> MeshFileBytes(const std::vector<Vector3>& vertices, const std::vector<TestFace>& faces) {
    SphereModel model;
    for (const Vector3& v : vertices) model.points.push_back({v.x, v.y, v.z});
    for (const TestFace& f : faces) model.faces.push_back({{f.a, f.b, f.c}, {f.red, f.green, f.blue}});
    return EncodeSphereFile(model);
}

std::vector<std::uint8_t> HeaderAndZeros(std::uint16_t vertexCount, std::uint16_t faceCount, std::size_t bodyBytes) {
    SphereModel model;
    model.points.resize(vertexCount, SpherePoint{0.0f, 0.0f, 0.0f});
    model.faces.resize(faceCount, SphereFace{{0, 0, 0}, {0, 0, 0}});
    std::vector<std::uint8_t> out = EncodeSphereFile(model);
    out.resize(4 + bodyBytes, 0);
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
