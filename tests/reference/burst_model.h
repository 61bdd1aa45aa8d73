// The model of cobalt: reading the sphere mesh from the file's bytes, and the
// burst (the bouncing emitter, the tumbling mesh, the particle pool with its live
// list and free stack, and the GL calls of a frame). Written from the rules; it
// shares no code with effects/cobalt and draws from its own random stream.
//
// Records are numbered as the rules number them (the pool is records 0 .. n-1,
// pushed on the free stack in that order), so the model's links are record
// numbers, -1 for none, and compare one to one with the program's pointers.
//
// Choices the rules leave free, pinned here once:
// - a mesh whose vertex or face block exceeds the 30000-byte scratch area fails
//   to load;
// - the spin is ((draw * 10) * pi) / 180 in double (pi the float 3.1415927),
//   rounded to float once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/reference/gl_calls.h"
#include "tests/reference/random_model.h"
#include "tests/reference/vector_model.h"

namespace model {

struct MeshVertexModel {
    std::uint8_t colour[4];
    Vec direction;
    Vec rotatedDirection;
};

struct MeshFaceModel {
    std::int32_t corner[3];
    std::uint8_t colour[4];
};

struct MeshModel {
    std::vector<MeshVertexModel> vertices;
    std::vector<MeshFaceModel> faces;
};

// LoadSphereMesh and PrepareMesh over the bytes of a file. False for a file that
// does not load; `mesh` is then left empty.
bool ReadMesh(const std::uint8_t* bytes, std::size_t size, MeshModel& mesh);

struct BurstParticleModel {
    Vec position;
    Vec viewPosition;
    Vec velocity;
    std::uint8_t colour[4];
    std::int32_t life;
    int prev, next, trailLink;
};

struct BurstModel {
    MeshModel mesh;
    Vec position;
    Vec velocity;
    Vec rotation;
    Vec spin;
    std::vector<BurstParticleModel> pool;
    int liveHead = -1;
    int liveTail = -1;
    int freeHead = -1;
    std::vector<int> lastEmitted;
};

// InitParticles over a loaded mesh: the emitter, the spin (three draws) and the
// pool with every record on the free stack.
void StartBurst(BurstModel& burst, RandomStream& stream, const MeshModel& mesh);
// One EffectDraw; appends its GL calls.
void BurstFrame(BurstModel& burst, GlCalls& calls);

}  // namespace model
