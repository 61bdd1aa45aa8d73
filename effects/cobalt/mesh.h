// cobalt's sphere mesh: emission directions and trail colours read from the binary
// file "sphere.3d". Layout, little-endian and packed:
//   u16 vertexCount, u16 faceCount,
//   vertexCount x (f32 x, f32 y, f32 z),
//   faceCount x (s16 corner0, s16 corner1, s16 corner2, u8 red, u8 green, u8 blue),
//   anything after the face block is ignored.
// Both blocks must fit a 30000-byte scratch area (2500 vertices, 3333 faces); a
// file that does not, is cut short or has a zero count fails to load.
#pragma once

#include <cstddef>
#include <cstdint>

#include "toolkit/vector3.h"

namespace cobalt {

struct MeshVertex {
    std::uint8_t colour[4];    // R, G, B, A; (0, 0, 0, 0) when no face uses the vertex
    Vector3 direction;         // unit direction (or zero for a vertex at the origin)
    Vector3 rotatedDirection;  // direction under the current rotation, per frame
};

struct MeshFace {
    std::int32_t corner[3];  // vertex indices, sign-extended; out of range matches nothing
    std::uint8_t colour[4];  // R, G, B from the file, A = 255
};

struct SphereMesh {
    MeshVertex* vertices;
    MeshFace* faces;
    int vertexCount;
    int faceCount;
};

extern SphereMesh sphereMesh;

constexpr std::size_t MeshScratchBytes = 30000;
constexpr std::size_t MeshVertexBytes = 12;
constexpr std::size_t MeshFaceBytes = 9;

// Each loader replaces the current tables. On failure the tables are released and
// the result is false; the file, if any was opened, is closed on every path.
// LoadSphereMesh reads "sphere.3d" from the first place that has one (see
// mesh_path.h) and writes a diagnostic line when none does, when the file there
// fails to load (naming it and the problem) or loads with a problem. Anything
// but a regular file fails to load without being opened.
bool LoadSphereMesh();
bool LoadSphereMeshFrom(const char* path);
bool LoadSphereMeshFromBytes(const std::uint8_t* bytes, std::size_t size);

// The problem of the last load: why it failed ("cut short in its vertex block
// ..."), or for one that succeeded a note on corners that name no vertex; empty
// when there is nothing to say.
const char* SphereMeshProblem();

// Normalises every direction and gives each vertex the colour of the last face in
// file order that uses it.
void PrepareMesh();

void FreeSphereMesh();

}  // namespace cobalt
