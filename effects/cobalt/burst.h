// cobalt's burst: an emitter that drifts and bounces inside a cube fires, every
// frame, one particle along each rotated vertex direction of the sphere mesh.
// Consecutive particles of one vertex are joined by a line in the vertex's colour.
// The pool holds exactly ParticleLife x vertexCount records and is allocated once;
// a frame only moves records between the live list and the free stack.
#pragma once

#include <cstdint>

#include "effects/cobalt/mesh.h"
#include "toolkit/vector3.h"

namespace cobalt {

constexpr int ParticleLife = 100;
constexpr float EmitRadius = 0.0f;
constexpr float EmitSpeed = 1.0f;
constexpr float BoxHalfSize = 40.0f;
constexpr float TwoPi = 6.2831855f;
inline const Vector3 EyePosition(0.0f, 0.0f, 75.0f);

struct Emitter {
    Vector3 position;
    Vector3 velocity;  // per frame; a component only changes sign, at a bounce
    Vector3 rotation;  // mesh angles about X, Y, Z, kept in [0, 2 pi]
    Vector3 spin;      // added to rotation every frame
};

struct TrailParticle {
    Vector3 position;
    Vector3 viewPosition;  // position - EyePosition, as last drawn
    Vector3 velocity;
    std::uint8_t colour[4];
    std::int32_t life;  // frames left
    TrailParticle* prev;
    TrailParticle* next;       // also chains the free stack
    TrailParticle* trailLink;  // the same vertex's previous particle; not cleared on its retirement
};

struct BurstState {
    TrailParticle* pool;
    int poolSize;
    TrailParticle* liveHead;  // oldest
    TrailParticle* liveTail;  // newest
    TrailParticle* freeHead;
    TrailParticle** lastEmitted;  // per vertex: its newest particle
};

extern Emitter emitter;
extern BurstState burst;

// Needs the mesh loaded. Draws the spin, allocates the pool and lastEmitted and
// fills the free stack. False (with nothing left allocated) when allocation fails.
bool InitParticles();
void FreeParticles();

void MoveEmitter();
void AdvanceRotation();
void RotateMesh();
void UpdateAndDrawParticles();
void DrawSegment(Vector3 a, Vector3 b, const std::uint8_t colour[4]);
void EmitParticle(const MeshVertex& vertex, TrailParticle*& slot);
void EmitAll();

}  // namespace cobalt
