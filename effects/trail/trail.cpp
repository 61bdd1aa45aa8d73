#include "effects/trail/trail.h"

#include <cmath>

#include "platform/platform.h"
#include "toolkit/memory.h"
#include "toolkit/random.h"

namespace trail {

TrailState state;

namespace {

constexpr int kParticleLife = 500;
constexpr float kEmitRadius = 0.0f;
constexpr float kEmitSpeed = 0.1f;
constexpr double kScenePhaseStep = 0.004;
constexpr float kPulsePhaseStep = 0.0001f;
constexpr double kPathFrequencyX = 5.25;
constexpr double kPathFrequencyY = 4.69;
constexpr double kPathFrequencyZ = 3.97;
constexpr double kTwoPi = 6.283185307179586;

float SineF(double angle) { return static_cast<float>(std::sin(angle)); }

// Keeps an angle in [0, 2pi] after the spin was added.
float WrapAngle(float angle) {
    if (angle > kTwoPi) return static_cast<float>(std::fmod(angle, kTwoPi));
    if (angle < 0.0f) return static_cast<float>(kTwoPi - std::fmod(-angle, kTwoPi));
    return angle;
}

}  // namespace

bool InitPoints(const TrailSettings& settings) {
    FreeTrail();  // a start-up without the shutdown before it must not leak
    state.settings = settings;
    if (settings.pointCount < 1) return false;
    state.points = static_cast<TrailPoint*>(AllocateZeroed(settings.pointCount, sizeof(TrailPoint)));
    if (state.points == nullptr) return false;

    for (int i = 0; i < settings.pointCount; ++i) {
        TrailPoint& point = state.points[i];
        point.direction = RandSignedVector();
        point.direction.Normalize();
        Vector3 tint(std::fabs(point.direction.x), std::fabs(point.direction.y) + 1.0f,
                     std::fabs(point.direction.z) + 1.0f);
        tint.Normalize();
        point.colour[0] = tint.x;
        point.colour[1] = tint.y;
        point.colour[2] = tint.z;
        point.colour[3] = 1.0f;
        point.pulseOffset = static_cast<float>(kTwoPi * i / settings.pointCount);
    }
    InitParticles();
    return true;
}

void InitParticles() {
    state.particleLife = kParticleLife;
    state.emitRadius = kEmitRadius;
    state.emitSpeed = kEmitSpeed;
    state.emitter.position.Clear();
    state.emitter.rotation.Clear();
    Vector3 spin = RandSignedVector();
    state.emitter.spin = Vector3(TenDegreeTurn(spin.x), TenDegreeTurn(spin.y), TenDegreeTurn(spin.z));

    if (state.ring != nullptr) ReleaseMemory(state.ring);
    state.ringCapacity = state.particleLife * state.settings.pointCount;
    state.ring = static_cast<TrailParticle*>(AllocateZeroed(state.ringCapacity, sizeof(TrailParticle)));
    if (state.ring == nullptr) {
        plat::MessageBoxA(nullptr, "Failed to allocate particle buffer", "Error!", plat::MB_OK);
        plat::PostQuitMessage(0);
    }
    state.ringIndex = 0;
}

void MoveEmitter() {
    state.scenePhase += kScenePhaseStep;
    float radius = state.settings.pathRadius;
    state.emitter.position =
        Vector3(SineF(kPathFrequencyX * state.scenePhase) * radius, SineF(kPathFrequencyY * state.scenePhase) * radius,
                SineF(kPathFrequencyZ * state.scenePhase) * radius);
}

void AdvanceRotation() {
    Vector3& rotation = state.emitter.rotation;
    const Vector3& spin = state.emitter.spin;
    rotation.x = WrapAngle(rotation.x + spin.x);
    rotation.y = WrapAngle(rotation.y + spin.y);
    rotation.z = WrapAngle(rotation.z + spin.z);
}

void RotatePoints() {
    if (state.points == nullptr) return;
    for (int i = 0; i < state.settings.pointCount; ++i) {
        TrailPoint& point = state.points[i];
        RotateXYZ(point.direction, point.rotatedDirection, state.emitter.rotation);
    }
}

void UpdateAndDrawParticles() {
    if (state.ring == nullptr) return;
    const int capacity = state.ringCapacity;
    const int lag = state.settings.pointCount;
    const float life = static_cast<float>(state.particleLife);
    const TrailSegmentFn drawSegment = state.settings.drawSegment;
    for (int s = 0; s < capacity; ++s) {
        TrailParticle& cur = state.ring[s];
        const TrailParticle& older = state.ring[(s - lag + capacity) % capacity];
        cur.position.x += cur.velocity.x;
        cur.position.y += cur.velocity.y;
        cur.position.z += cur.velocity.z;
        cur.life -= 1;
        float fade = static_cast<float>(cur.life) / life;
        cur.colour[3] = fade * fade;
        if (cur.life > 0 && older.life > 0 && drawSegment != nullptr) drawSegment(cur, older);
    }
}

void EmitAll() {
    if (state.ring == nullptr || state.points == nullptr) return;
    const int count = state.settings.pointCount;
    for (int i = 0; i < count; ++i) EmitParticle(state.points[i], state.points[(i + 1) % count]);
}

void EmitParticle(const TrailPoint& point, const TrailPoint& next) {
    if (state.ring == nullptr) return;
    TrailParticle& slot = state.ring[state.ringIndex];
    state.ringIndex = (state.ringIndex + 1) % state.ringCapacity;

    slot.position = Add(Multiply(point.direction, state.emitRadius), state.emitter.position);
    slot.velocity = Multiply(point.rotatedDirection, state.emitSpeed);
    state.pulsePhase += kPulsePhaseStep;
    slot.velocity.Scale(0.5f * SineF(point.pulseOffset + state.pulsePhase) + 0.5f);
    if (state.settings.particleNormals) {
        slot.normal.SetCross(Negate(point.rotatedDirection), Subtract(next.rotatedDirection, point.rotatedDirection));
        slot.normal.Normalize();
    }
    for (int c = 0; c < 4; ++c) slot.colour[c] = point.colour[c];
    slot.life = state.particleLife;
}

void FreeTrail() {
    if (state.points != nullptr) ReleaseMemory(state.points);
    state.points = nullptr;
    if (state.ring != nullptr) ReleaseMemory(state.ring);
    state.ring = nullptr;
}

}  // namespace trail
