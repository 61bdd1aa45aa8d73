#include "effects/cobalt/burst.h"

#include <cstring>

#include "platform/gl.h"
#include "toolkit/memory.h"
#include "toolkit/random.h"

namespace cobalt {

Emitter emitter;
BurstState burst;

namespace {

void Bounce(float& coordinate, float& speed) {
    if (coordinate > BoxHalfSize) {
        coordinate = BoxHalfSize;
        speed = -speed;
    } else if (coordinate < -BoxHalfSize) {
        coordinate = -BoxHalfSize;
        speed = -speed;
    }
}

void WrapAbove(float& angle) {
    while (angle > TwoPi) angle -= TwoPi;
}

void WrapBelow(float& angle) {
    while (angle < 0.0f) angle += TwoPi;
}

void PushFree(TrailParticle* particle) {
    particle->next = burst.freeHead;
    burst.freeHead = particle;
}

void Unlink(TrailParticle* particle) {
    if (particle == burst.liveTail) {
        burst.liveTail = particle->prev;
    } else {
        particle->next->prev = particle->prev;
    }
    if (particle == burst.liveHead) {
        burst.liveHead = particle->next;
    } else {
        particle->prev->next = particle->next;
    }
}

void Append(TrailParticle* particle) {
    particle->prev = burst.liveTail;
    particle->next = nullptr;
    if (burst.liveTail != nullptr) burst.liveTail->next = particle;
    burst.liveTail = particle;
    if (burst.liveHead == nullptr) burst.liveHead = particle;
}

}  // namespace

bool InitParticles() {
    FreeParticles();
    emitter.position = Vector3(0.0f, 0.0f, 0.0f);
    emitter.velocity = Vector3(0.5f, 1.0f, 0.25f);
    emitter.rotation = Vector3(0.0f, 0.0f, 0.0f);
    const float d1 = RandSigned();
    const float d2 = RandSigned();
    const float d3 = RandSigned();
    emitter.spin = Vector3(TenDegreeTurn(d3), TenDegreeTurn(d2), TenDegreeTurn(d1));

    const int vertexCount = sphereMesh.vertexCount;
    const int poolSize = ParticleLife * vertexCount;
    burst.pool = static_cast<TrailParticle*>(AllocateZeroed(poolSize, sizeof(TrailParticle)));
    burst.lastEmitted = static_cast<TrailParticle**>(AllocateZeroed(vertexCount, sizeof(TrailParticle*)));
    if (burst.pool == nullptr || burst.lastEmitted == nullptr) {
        FreeParticles();
        return false;
    }
    burst.poolSize = poolSize;
    for (int i = 0; i < poolSize; ++i) {
        burst.pool[i] = TrailParticle{};
        PushFree(&burst.pool[i]);
    }
    return true;
}

void FreeParticles() {
    ReleaseMemory(burst.pool);
    ReleaseMemory(burst.lastEmitted);
    burst = BurstState{};
}

void MoveEmitter() {
    if (!IsNonZero(emitter.velocity)) return;
    Vector3 p = Add(emitter.position, emitter.velocity);
    Bounce(p.x, emitter.velocity.x);
    Bounce(p.y, emitter.velocity.y);
    Bounce(p.z, emitter.velocity.z);
    emitter.position = p;
}

void AdvanceRotation() {
    if (!IsNonZero(emitter.spin)) return;
    Vector3& r = emitter.rotation;
    r = Add(r, emitter.spin);
    WrapAbove(r.x);
    WrapAbove(r.y);
    WrapAbove(r.z);
    WrapBelow(r.x);
    WrapBelow(r.y);
    WrapBelow(r.z);
}

void RotateMesh() {
    for (int i = 0; i < sphereMesh.vertexCount; ++i) {
        MeshVertex& vertex = sphereMesh.vertices[i];
        RotateXYZ(vertex.direction, vertex.rotatedDirection, emitter.rotation);
    }
}

void UpdateAndDrawParticles() {
    TrailParticle* particle = burst.liveHead;
    while (particle != nullptr) {
        TrailParticle* const following = particle->next;
        particle->position = Add(particle->position, particle->velocity);
        particle->viewPosition = Subtract(particle->position, EyePosition);
        particle->life -= 1;
        const TrailParticle* link = particle->trailLink;
        if (link != nullptr && link->life > 0)
            DrawSegment(particle->viewPosition, link->viewPosition, particle->colour);
        if (particle->life <= 0) {
            Unlink(particle);
            PushFree(particle);
        }
        particle = following;
    }
}

void DrawSegment(Vector3 a, Vector3 b, const std::uint8_t colour[4]) {
    glColor3ubv(colour);
    glBegin(GL_LINES);
    glVertex3f(a.x, a.y, a.z);
    glVertex3f(b.x, b.y, b.z);
    glEnd();
}

void EmitParticle(const MeshVertex& vertex, TrailParticle*& slot) {
    TrailParticle* particle = burst.freeHead;
    if (particle == nullptr) return;
    burst.freeHead = particle->next;
    Append(particle);
    particle->position = Add(Multiply(vertex.direction, EmitRadius), emitter.position);
    particle->velocity = Multiply(vertex.rotatedDirection, EmitSpeed);
    std::memcpy(particle->colour, vertex.colour, sizeof particle->colour);
    particle->life = ParticleLife;
    particle->trailLink = slot;
    slot = particle;
}

void EmitAll() {
    for (int i = 0; i < sphereMesh.vertexCount; ++i) EmitParticle(sphereMesh.vertices[i], burst.lastEmitted[i]);
}

}  // namespace cobalt
