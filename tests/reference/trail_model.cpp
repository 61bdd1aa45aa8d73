#include "tests/reference/trail_model.h"

#include <cmath>

namespace model {

const TrailLook kAmberTrail = {10, 40.0f, {0.0f, 20.0f, 0.0f}, true};
const TrailLook kJadeTrail = {25, 50.0f, {0.0f, 0.0f, 42.0f}, false};

namespace {

constexpr int kParticleLife = 500;
constexpr float kEmitRadius = 0.0f;
constexpr float kEmitSpeed = 0.1f;
constexpr double kTwoPi = 6.283185307179586;
constexpr float kPi = 3.1415927f;
constexpr float kInnerScale = 0.75f;

float TenDegreesOf(float draw) {
    const double degrees = static_cast<double>(draw) * 10.0;
    return static_cast<float>(degrees * static_cast<double>(kPi) / 180.0);
}

float Wrapped(float angle) {
    const double a = angle;
    if (a > kTwoPi) return static_cast<float>(std::fmod(a, kTwoPi));
    if (a < 0.0) return static_cast<float>(kTwoPi - std::fmod(-a, kTwoPi));
    return angle;
}

float SineOf(double x) { return static_cast<float>(std::sin(x)); }

void Vertex(GlCalls& calls, const char* name, Vec v) { Call(calls, name, v.x, v.y, v.z); }

void Colour(GlCalls& calls, const float* c) { Call(calls, "glColor4fv", c[0], c[1], c[2], c[3]); }

void MoveEmitter(TrailModel& t) {
    t.scenePhase = t.scenePhase + 0.004;
    const float r = t.look.pathRadius;
    t.emitterPosition =
        MakeVec(SineOf(5.25 * t.scenePhase) * r, SineOf(4.69 * t.scenePhase) * r, SineOf(3.97 * t.scenePhase) * r);
}

void AdvanceRotation(TrailModel& t) {
    t.rotation.x = Wrapped(t.rotation.x + t.spin.x);
    t.rotation.y = Wrapped(t.rotation.y + t.spin.y);
    t.rotation.z = Wrapped(t.rotation.z + t.spin.z);
}

void RotatePoints(TrailModel& t) {
    for (TrailPointModel& p : t.points) RotateByAngles(p.direction, p.rotatedDirection, t.rotation);
}

void DrawQuad(GlCalls& calls, const ParticleModel& n, const ParticleModel& o) {
    static const float kClear[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    Call(calls, "glBegin", kGlQuads);
    Vertex(calls, "glNormal3fv", n.normal);
    Call(calls, "glTexCoord2f", 0.0, 0.0);
    Colour(calls, n.colour);
    Vertex(calls, "glVertex3fv", n.position);
    Vertex(calls, "glNormal3fv", o.normal);
    Call(calls, "glTexCoord2f", 1.0, 0.0);
    Colour(calls, o.colour);
    Vertex(calls, "glVertex3fv", o.position);
    Vertex(calls, "glNormal3fv", o.normal);
    Call(calls, "glTexCoord2f", 1.0, 1.0);
    Colour(calls, kClear);
    Vertex(calls, "glVertex3fv", Times(o.position, kInnerScale));
    Vertex(calls, "glNormal3fv", n.normal);
    Call(calls, "glTexCoord2f", 0.0, 1.0);
    Colour(calls, kClear);
    Vertex(calls, "glVertex3fv", Times(n.position, kInnerScale));
    Call(calls, "glEnd");
}

void DrawLine(GlCalls& calls, const ParticleModel& n, const ParticleModel& o) {
    Call(calls, "glBegin", kGlLines);
    Colour(calls, n.colour);
    Vertex(calls, "glVertex3fv", n.position);
    Colour(calls, o.colour);
    Vertex(calls, "glVertex3fv", o.position);
    Call(calls, "glEnd");
}

void UpdateAndDraw(TrailModel& t, GlCalls& calls) {
    const int capacity = static_cast<int>(t.ring.size());
    const int count = t.look.pointCount;
    for (int s = 0; s < capacity; ++s) {
        ParticleModel& cur = t.ring[s];
        const ParticleModel& older = t.ring[(s - count + capacity) % capacity];
        cur.position.x = cur.position.x + cur.velocity.x;
        cur.position.y = cur.position.y + cur.velocity.y;
        cur.position.z = cur.position.z + cur.velocity.z;
        cur.life = cur.life - 1;
        const float share = static_cast<float>(cur.life) / static_cast<float>(kParticleLife);
        cur.colour[3] = share * share;
        if (cur.life > 0 && older.life > 0) {
            if (t.look.quads)
                DrawQuad(calls, cur, older);
            else
                DrawLine(calls, cur, older);
        }
    }
}

void Emit(TrailModel& t, const TrailPointModel& p, const TrailPointModel& q) {
    ParticleModel& slot = t.ring[t.ringIndex];
    t.ringIndex = (t.ringIndex + 1) % static_cast<int>(t.ring.size());
    slot.position = Sum(Times(p.direction, kEmitRadius), t.emitterPosition);
    slot.velocity = Times(p.rotatedDirection, kEmitSpeed);
    t.pulsePhase = t.pulsePhase + 0.0001f;
    const float angle = p.pulseOffset + t.pulsePhase;
    const float sine = static_cast<float>(std::sin(static_cast<double>(angle)));
    ScaleInPlace(slot.velocity, 0.5f * sine + 0.5f);
    if (t.look.quads) {
        CrossInto(slot.normal, Negated(p.rotatedDirection), Difference(q.rotatedDirection, p.rotatedDirection));
        NormalizeInPlace(slot.normal);
    }
    for (int c = 0; c < 4; ++c) slot.colour[c] = p.colour[c];
    slot.life = kParticleLife;
}

void EmitAll(TrailModel& t) {
    const int count = t.look.pointCount;
    for (int i = 0; i < count; ++i) Emit(t, t.points[i], t.points[(i + 1) % count]);
}

}  // namespace

void StartTrail(TrailModel& t, RandomStream& stream, const TrailLook& look) {
    t.look = look;
    t.points.assign(look.pointCount, TrailPointModel{});
    for (int i = 0; i < look.pointCount; ++i) {
        TrailPointModel& p = t.points[i];
        p.direction = DrawSignedVec(stream);
        NormalizeInPlace(p.direction);
        Vec tint = MakeVec(std::fabs(p.direction.x), std::fabs(p.direction.y) + 1.0f, std::fabs(p.direction.z) + 1.0f);
        NormalizeInPlace(tint);
        p.colour[0] = tint.x;
        p.colour[1] = tint.y;
        p.colour[2] = tint.z;
        p.colour[3] = 1.0f;
        p.pulseOffset = static_cast<float>(kTwoPi * i / look.pointCount);
    }
    t.emitterPosition = Vec();
    t.rotation = Vec();
    const Vec draw = DrawSignedVec(stream);
    t.spin = MakeVec(TenDegreesOf(draw.x), TenDegreesOf(draw.y), TenDegreesOf(draw.z));
    t.ring.assign(static_cast<std::size_t>(kParticleLife) * look.pointCount, ParticleModel{});
    t.ringIndex = 0;
}

void TrailInitCalls(const TrailLook& look, GlCalls& calls) {
    Call(calls, "glBlendFunc", kGlSrcAlpha, kGlOne);
    if (look.quads) {
        Call(calls, "glDisable", kGlTexture2D);
        Call(calls, "glEnable", kGlBlend);
        Call(calls, "glTexGeni", kGlS, kGlTextureGenMode, kGlSphereMap);
        Call(calls, "glTexGeni", kGlT, kGlTextureGenMode, kGlSphereMap);
    } else {
        Call(calls, "glEnable", kGlBlend);
        Call(calls, "glDisable", kGlTexture2D);
    }
}

void TrailFrame(TrailModel& t, GlCalls& calls) {
    MoveEmitter(t);
    AdvanceRotation(t);
    RotatePoints(t);
    Call(calls, "glLoadIdentity");
    Vertex(calls, "glTranslatef", Negated(t.look.eye));
    UpdateAndDraw(t, calls);
    EmitAll(t);
}

}  // namespace model
