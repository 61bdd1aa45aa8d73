// libFuzzer target for cobalt's mesh loader: any byte string either loads into
// tables that respect the format's bounds or fails with nothing left allocated.
// Small meshes that load are also run for a few frames of the burst.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "effects/cobalt/burst.h"
#include "effects/cobalt/mesh.h"
#include "platform/headless/recording_gl.h"
#include "toolkit/random.h"

using namespace cobalt;

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

float RawFloat(const std::uint8_t* p) {
    const std::uint32_t bits = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Compares the loaded tables with the input decoded here independently.
void CheckLoadedMesh(const std::uint8_t* data) {
    Check(sphereMesh.vertices != nullptr && sphereMesh.faces != nullptr);
    Check(sphereMesh.vertexCount == (data[0] | (data[1] << 8)));
    Check(sphereMesh.faceCount == (data[2] | (data[3] << 8)));
    Check(sphereMesh.vertexCount > 0 && sphereMesh.vertexCount * MeshVertexBytes <= MeshScratchBytes);
    Check(sphereMesh.faceCount > 0 && sphereMesh.faceCount * MeshFaceBytes <= MeshScratchBytes);
    const std::uint8_t* faceBytes = data + 4 + sphereMesh.vertexCount * MeshVertexBytes;
    for (int j = 0; j < sphereMesh.faceCount; ++j) {
        const MeshFace& face = sphereMesh.faces[j];
        const std::uint8_t* raw = faceBytes + j * MeshFaceBytes;
        for (int k = 0; k < 3; ++k)
            Check(face.corner[k] == static_cast<std::int16_t>(raw[2 * k] | (raw[2 * k + 1] << 8)));
        Check(face.colour[0] == raw[6] && face.colour[1] == raw[7] && face.colour[2] == raw[8] &&
              face.colour[3] == 255);
    }
    for (int i = 0; i < sphereMesh.vertexCount; ++i) {
        const MeshVertex& v = sphereMesh.vertices[i];
        Check(v.colour[3] == 0 || v.colour[3] == 255);
        const std::uint8_t* raw = data + 4 + i * MeshVertexBytes;
        const double x = RawFloat(raw), y = RawFloat(raw + 4), z = RawFloat(raw + 8);
        const double length = std::sqrt(x * x + y * y + z * z);
        // Well inside float range the direction is the position over its length.
        if (length > 1e-15 && length < 1e15) {
            Check(std::fabs(v.direction.x - x / length) < 1e-5);
            Check(std::fabs(v.direction.y - y / length) < 1e-5);
            Check(std::fabs(v.direction.z - z / length) < 1e-5);
        } else if (length == 0.0) {
            Check(!IsNonZero(v.direction));
        }
    }
}

void RunFrames(int frames) {
    SeedRandom(1);
    Check(InitParticles());
    for (int frame = 0; frame < frames; ++frame) {
        MoveEmitter();
        AdvanceRotation();
        RotateMesh();
        UpdateAndDrawParticles();
        EmitAll();
    }
    FreeParticles();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    recgl::SetRecording(false);
    if (LoadSphereMeshFromBytes(data, size)) {
        CheckLoadedMesh(data);
        if (sphereMesh.vertexCount <= 16) RunFrames(3);
    } else {
        Check(sphereMesh.vertices == nullptr && sphereMesh.faces == nullptr && sphereMesh.vertexCount == 0);
    }
    FreeSphereMesh();
    return 0;
}
