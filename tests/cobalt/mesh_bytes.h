// Builds mesh files in the sphere.3d layout for the loader and effect tests, with
// the mesh writer's encoder (tools/make_sphere), and scratch directories to put
// them in. The corpus in tests/cobalt/corpus is the independent check of the
// layout.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "toolkit/vector3.h"

struct TestFace {
    std::int16_t a, b, c;
    std::uint8_t red, green, blue;
};

std::vector<std::uint8_t> MeshFileBytes(const std::vector<Vector3>& vertices, const std::vector<TestFace>& faces);
// Header only, with the given counts, followed by `bodyBytes` zero bytes.
std::vector<std::uint8_t> HeaderAndZeros(std::uint16_t vertexCount, std::uint16_t faceCount, std::size_t bodyBytes);

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

// A fresh, empty directory under the test temp directory, removed with the object.
struct ScratchDirectory {
    ScratchDirectory();
    ~ScratchDirectory();
    std::filesystem::path path;
};

// Makes `directory` the current directory for the object's lifetime.
struct CurrentDirectory {
    explicit CurrentDirectory(const std::filesystem::path& directory);
    ~CurrentDirectory();
    std::filesystem::path previous;
};

int OpenFileDescriptors();
