#include "effects/cobalt/mesh.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdarg>
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

// Why the last load failed, or a note on a mesh that loaded; empty when there
// is nothing to say.
char problemText[160];

// Records the problem of this load; false, for a failure to return.
bool Problem(const char* format, ...) __attribute__((format(printf, 1, 2)));
bool Problem(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(problemText, sizeof problemText, format, args);
    va_end(args);
    return false;
}

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
    if (!ReadCount(source, vertexCount) || !ReadCount(source, faceCount))
        return Problem("cut short in its 4-byte header");

    const std::size_t vertexBytes = static_cast<std::size_t>(vertexCount) * MeshVertexBytes;
    const std::size_t faceBytes = static_cast<std::size_t>(faceCount) * MeshFaceBytes;
    const int vertexLimit = static_cast<int>(MeshScratchBytes / MeshVertexBytes);
    const int faceLimit = static_cast<int>(MeshScratchBytes / MeshFaceBytes);
    if (vertexCount == 0) return Problem("it has no vertices");
    if (faceCount == 0) return Problem("it has no faces");
    if (vertexCount > vertexLimit)
        return Problem("%d vertices, more than the %d it can hold", vertexCount, vertexLimit);
    if (faceCount > faceLimit) return Problem("%d faces, more than the %d it can hold", faceCount, faceLimit);

    sphereMesh.vertices = static_cast<MeshVertex*>(AllocateZeroed(vertexCount, sizeof(MeshVertex)));
    if (sphereMesh.vertices == nullptr) return Problem("out of memory");
    sphereMesh.faces = static_cast<MeshFace*>(AllocateZeroed(faceCount, sizeof(MeshFace)));
    if (sphereMesh.faces == nullptr) return Problem("out of memory");
    sphereMesh.vertexCount = vertexCount;
    sphereMesh.faceCount = faceCount;

    if (!ReadBlock(source, scratch, vertexBytes)) {
        return Problem("cut short in its vertex block, which takes %d bytes", static_cast<int>(vertexBytes));
    }
    for (int i = 0; i < vertexCount; ++i) {
        const std::uint8_t* p = scratch + i * MeshVertexBytes;
        sphereMesh.vertices[i].direction = Vector3(DecodeF32(p), DecodeF32(p + 4), DecodeF32(p + 8));
    }

    if (!ReadBlock(source, scratch, faceBytes)) {
        return Problem("cut short in its face block, which takes %d bytes", static_cast<int>(faceBytes));
    }
    // A corner that names no vertex is allowed, and colours nothing: worth a note.
    int strays = 0, firstStrayFace = 0, firstStrayVertex = 0;
    for (int j = 0; j < faceCount; ++j) {
        const std::uint8_t* p = scratch + j * MeshFaceBytes;
        MeshFace& face = sphereMesh.faces[j];
        for (int k = 0; k < 3; ++k) {
            face.corner[k] = DecodeS16(p + 2 * k);
            if (face.corner[k] >= 0 && face.corner[k] < vertexCount) continue;
            if (strays++ == 0) {
                firstStrayFace = j;
                firstStrayVertex = face.corner[k];
            }
        }
        face.colour[0] = p[6];
        face.colour[1] = p[7];
        face.colour[2] = p[8];
        face.colour[3] = 255;
    }
    if (strays > 0) {
        Problem(
            "%d face corners name no vertex and colour nothing (the first: vertex %d in face %d; there are %d "
            "vertices)",
            strays, firstStrayVertex, firstStrayFace, vertexCount);
    }
    return true;
}

bool Load(MeshSource& source) {
    FreeSphereMesh();
    problemText[0] = '\0';
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
    static char line[3 * kMeshPathMax + 256];
    if (!FindSphereMesh(path)) {
        DescribeMissingMesh(line, sizeof line);
        plat::WriteDiagnostic(line);
        FreeSphereMesh();
        return false;
    }
    const bool loaded = LoadSphereMeshFrom(path);
    if (problemText[0] != '\0') {
        std::snprintf(line, sizeof line, "cobalt: %s%s: %s", loaded ? "" : "cannot load ", MeshPlaceName(path),
                      problemText);
        plat::WriteDiagnostic(line);
    }
    return loaded;
}

bool LoadSphereMeshFrom(const char* path) {
    // Opening a FIFO without a writer, or some devices, would block for ever;
    // only a regular file is opened at all.
    problemText[0] = '\0';
    struct stat info;
    if (path == nullptr || stat(path, &info) != 0) {
        FreeSphereMesh();
        return Problem("cannot open it (%s)", path != nullptr ? std::strerror(errno) : "no path");
    }
    if (!S_ISREG(info.st_mode)) {
        FreeSphereMesh();
        return Problem("it is not a regular file");
    }
    MeshSource source = {std::fopen(path, "rb"), nullptr, 0, 0};
    if (source.file == nullptr) {
        FreeSphereMesh();
        return Problem("cannot open it (%s)", std::strerror(errno));
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

const char* SphereMeshProblem() { return problemText; }

void FreeSphereMesh() {
    ReleaseMemory(sphereMesh.vertices);
    ReleaseMemory(sphereMesh.faces);
    sphereMesh = SphereMesh{};
}

}  // namespace cobalt
