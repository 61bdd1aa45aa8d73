#include "effects/amber/trail.h"

#include <cmath>

#include "host/memory.h"
#include "host/random.h"
#include "platform/platform.h"

namespace amber {

TrailState trail;

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
constexpr float kPi = 3.1415927f;

float SineF(double angle) { return static_cast<float>(std::sin(angle)); }

// Keeps an angle in [0, 2pi] after the spin was added.
float WrapAngle(float angle) {
    if (angle > kTwoPi) return static_cast<float>(std::fmod(angle, kTwoPi));
    if (angle < 0.0f) return static_cast<float>(kTwoPi - std::fmod(-angle, kTwoPi));
    return angle;
}

// A signed unit draw times 10 degrees, in radians.
float SpinFromDraw(float draw) { return static_cast<float>(draw * 10.0 * static_cast<double>(kPi) / 180.0); }

}  // namespace

bool InitPoints(const TrailSettings& settings) {
    FreeTrail();  // a start-up without the shutdown before it must not leak
    trail.settings = settings;
    if (settings.pointCount < 1) return false;
    trail.points = static_cast<TrailPoint*>(AllocateZeroed(settings.pointCount, sizeof(TrailPoint)));
    if (trail.points == nullptr) return false;

    for (int i = 0; i < settings.pointCount; ++i) {
        TrailPoint& point = trail.points[i];
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
    trail.particleLife = kParticleLife;
    trail.emitRadius = kEmitRadius;
    trail.emitSpeed = kEmitSpeed;
    trail.emitter.position.Clear();
    trail.emitter.rotation.Clear();
    Vector3 spin = RandSignedVector();
    trail.emitter.spin = Vector3(SpinFromDraw(spin.x), SpinFromDraw(spin.y), SpinFromDraw(spin.z));

    if (trail.ring != nullptr) ReleaseMemory(trail.ring);
    trail.ringCapacity = trail.particleLife * trail.settings.pointCount;
    trail.ring = static_cast<TrailParticle*>(AllocateZeroed(trail.ringCapacity, sizeof(TrailParticle)));
    if (trail.ring == nullptr) {
        plat::MessageBoxA(nullptr, "Failed to allocate particle buffer", "Error!", plat::MB_OK);
        plat::PostQuitMessage(0);
    }
    trail.ringIndex = 0;
}

void MoveEmitter() {
    trail.scenePhase += kScenePhaseStep;
    float radius = trail.settings.pathRadius;
    trail.emitter.position =
        Vector3(SineF(kPathFrequencyX * trail.scenePhase) * radius, SineF(kPathFrequencyY * trail.scenePhase) * radius,
                SineF(kPathFrequencyZ * trail.scenePhase) * radius);
}

void AdvanceRotation() {
    Vector3& rotation = trail.emitter.rotation;
    const Vector3& spin = trail.emitter.spin;
    rotation.x = WrapAngle(rotation.x + spin.x);
    rotation.y = WrapAngle(rotation.y + spin.y);
    rotation.z = WrapAngle(rotation.z + spin.z);
}

void RotatePoints() {
    if (trail.points == nullptr) return;
    for (int i = 0; i < trail.settings.pointCount; ++i) {
        TrailPoint& point = trail.points[i];
        RotateXYZ(point.direction, point.rotatedDirection, trail.emitter.rotation);
    }
}

void UpdateAndDrawParticles() {
    if (trail.ring == nullptr) return;
    const int capacity = trail.ringCapacity;
    const int lag = trail.settings.pointCount;
    const float life = static_cast<float>(trail.particleLife);
    const TrailSegmentFn drawSegment = trail.settings.drawSegment;
    for (int s = 0; s < capacity; ++s) {
        TrailParticle& cur = trail.ring[s];
        const TrailParticle& older = trail.ring[(s - lag + capacity) % capacity];
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
    if (trail.ring == nullptr || trail.points == nullptr) return;
    const int count = trail.settings.pointCount;
    for (int i = 0; i < count; ++i) EmitParticle(trail.points[i], trail.points[(i + 1) % count]);
}

void EmitParticle(const TrailPoint& point, const TrailPoint& next) {
    if (trail.ring == nullptr) return;
    TrailParticle& slot = trail.ring[trail.ringIndex];
    trail.ringIndex = (trail.ringIndex + 1) % trail.ringCapacity;

    slot.position = Add(Multiply(point.direction, trail.emitRadius), trail.emitter.position);
    slot.velocity = Multiply(point.rotatedDirection, trail.emitSpeed);
    trail.pulsePhase += kPulsePhaseStep;
    slot.velocity.Scale(0.5f * SineF(point.pulseOffset + trail.pulsePhase) + 0.5f);
    if (trail.settings.particleNormals) {
        slot.normal.SetCross(Negate(point.rotatedDirection), Subtract(next.rotatedDirection, point.rotatedDirection));
        slot.normal.Normalize();
    }
    for (int c = 0; c < 4; ++c) slot.colour[c] = point.colour[c];
    slot.life = trail.particleLife;
}

void FreeTrail() {
    if (trail.points != nullptr) ReleaseMemory(trail.points);
    trail.points = nullptr;
    if (trail.ring != nullptr) ReleaseMemory(trail.ring);
    trail.ring = nullptr;
}

}  // namespace amber
