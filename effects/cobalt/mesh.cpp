#include "effects/cobalt/mesh.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "effects/cobalt/mesh_path.h"
#include "platform/platform.h"
#include "toolkit/memory.h"

namespace cobalt {

SphereMesh sphereMesh;

namespace {

// Receives the vertex block, then the face block; each is read in one piece.
std::uint8_t scratch[MeshScratchBytes];

// Where the bytes come from: an open file, or a buffer in memory.
struct MeshSource {
    std::FILE* file;
    const std::uint8_t* bytes;
    std::size_t size;
    std::size_t offset;
};

// Reads exactly `count` bytes; a short read or an empty block fails.
bool ReadBlock(MeshSource& source, std::uint8_t* out, std::size_t count) {
    if (count == 0) return false;
    if (source.file != nullptr) return std::fread(out, count, 1, source.file) == 1;
    if (source.size - source.offset < count) return false;
    std::memcpy(out, source.bytes + source.offset, count);
    source.offset += count;
    return true;
}

std::uint16_t DecodeU16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

std::int32_t DecodeS16(const std::uint8_t* p) { return static_cast<std::int16_t>(DecodeU16(p)); }

float DecodeF32(const std::uint8_t* p) {
    const std::uint32_t bits = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                               (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool ReadCount(MeshSource& source, int& count) {
    std::uint8_t raw[2];
    if (!ReadBlock(source, raw, sizeof raw)) return false;
    count = DecodeU16(raw);
    return true;
}

bool LoadTables(MeshSource& source) {
    int vertexCount = 0;
    int faceCount = 0;
    if (!ReadCount(source, vertexCount) || !ReadCount(source, faceCount)) return false;

    const std::size_t vertexBytes = static_cast<std::size_t>(vertexCount) * MeshVertexBytes;
    const std::size_t faceBytes = static_cast<std::size_t>(faceCount) * MeshFaceBytes;
    if (vertexBytes == 0 || faceBytes == 0) return false;
    if (vertexBytes > MeshScratchBytes || faceBytes > MeshScratchBytes) return false;

    sphereMesh.vertices = static_cast<MeshVertex*>(AllocateZeroed(vertexCount, sizeof(MeshVertex)));
    if (sphereMesh.vertices == nullptr) return false;
    sphereMesh.faces = static_cast<MeshFace*>(AllocateZeroed(faceCount, sizeof(MeshFace)));
    if (sphereMesh.faces == nullptr) return false;
    sphereMesh.vertexCount = vertexCount;
    sphereMesh.faceCount = faceCount;

    if (!ReadBlock(source, scratch, vertexBytes)) return false;
    for (int i = 0; i < vertexCount; ++i) {
        const std::uint8_t* p = scratch + i * MeshVertexBytes;
        sphereMesh.vertices[i].direction = Vector3(DecodeF32(p), DecodeF32(p + 4), DecodeF32(p + 8));
    }

    if (!ReadBlock(source, scratch, faceBytes)) return false;
    for (int j = 0; j < faceCount; ++j) {
        const std::uint8_t* p = scratch + j * MeshFaceBytes;
        MeshFace& face = sphereMesh.faces[j];
        for (int k = 0; k < 3; ++k) face.corner[k] = DecodeS16(p + 2 * k);
        face.colour[0] = p[6];
        face.colour[1] = p[7];
        face.colour[2] = p[8];
        face.colour[3] = 255;
    }
    return true;
}

bool Load(MeshSource& source) {
    FreeSphereMesh();
    if (!LoadTables(source)) {
        FreeSphereMesh();
        return false;
    }
    PrepareMesh();
    return true;
}

}  // namespace

bool LoadSphereMesh() {
    static char path[kMeshPathMax];
    if (FindSphereMesh(path)) return LoadSphereMeshFrom(path);
    static char line[3 * kMeshPathMax + 128];
    DescribeMissingMesh(line, sizeof line);
    plat::WriteDiagnostic(line);
    FreeSphereMesh();
    return false;
}

bool LoadSphereMeshFrom(const char* path) {
    // Opening a FIFO without a writer, or some devices, would block for ever;
    // only a regular file is opened at all.
    struct stat info;
    if (path == nullptr || stat(path, &info) != 0 || !S_ISREG(info.st_mode)) {
        FreeSphereMesh();
        return false;
    }
    MeshSource source = {std::fopen(path, "rb"), nullptr, 0, 0};
    if (source.file == nullptr) {
        FreeSphereMesh();
        return false;
    }
    const bool loaded = Load(source);
    std::fclose(source.file);
    return loaded;
}

bool LoadSphereMeshFromBytes(const std::uint8_t* bytes, std::size_t size) {
    MeshSource source = {nullptr, bytes, bytes != nullptr ? size : 0, 0};
    return Load(source);
}

void PrepareMesh() {
    const int vertexCount = sphereMesh.vertexCount;
    for (int i = 0; i < vertexCount; ++i) {
        MeshVertex& vertex = sphereMesh.vertices[i];
        vertex.direction = Normalized(vertex.direction);
    }
    // Faces in file order, so the last face that uses a vertex sets its colour.
    for (int j = 0; j < sphereMesh.faceCount; ++j) {
        const MeshFace& face = sphereMesh.faces[j];
        for (int k = 0; k < 3; ++k) {
            const std::int32_t index = face.corner[k];
            if (index < 0 || index >= vertexCount) continue;
            std::memcpy(sphereMesh.vertices[index].colour, face.colour, sizeof face.colour);
        }
    }
}

void FreeSphereMesh() {
    ReleaseMemory(sphereMesh.vertices);
    ReleaseMemory(sphereMesh.faces);
    sphereMesh = SphereMesh{};
}

}  // namespace cobalt
