// The model of the trail engine with amber's and jade's settings, written from
// the rules: trail points turning as one rigid star, the emitter on its path of
// three sines, the particle ring, emission and the per-frame update, and the GL
// calls of a frame. It shares no code with effects/trail and draws from
// its own random stream.
//
// Choices the rules leave free, pinned here once:
// - the phase offset of point i's speed pulse is float((2 pi * i) / pointCount),
//   2 pi being the double 6.283185307179586;
// - pulsePhase steps by adding the float 0.0001f in float;
// - the spin is ((draw * 10) * pi) / 180 in double (pi the float 3.1415927),
//   rounded to float once.
#pragma once

#include <vector>

#include "tests/reference/gl_calls.h"
#include "tests/reference/random_model.h"
#include "tests/reference/vector_model.h"

namespace model {

struct TrailLook {
    int pointCount;
    float pathRadius;
    Vec eye;
    bool quads;  // amber: a quad and a normal per particle; jade: a line, no normal
};

extern const TrailLook kAmberTrail;  // 10 points, radius 40, eye (0, 20, 0), quads
extern const TrailLook kJadeTrail;   // 25 points, radius 50, eye (0, 0, 42), lines

struct TrailPointModel {
    float colour[4];
    Vec direction;
    Vec rotatedDirection;
    float pulseOffset;
};

struct ParticleModel {
    Vec position;
    Vec velocity;
    Vec normal;  // amber only
    float colour[4];
    int life;
};

// One trail for the whole run: scenePhase and pulsePhase start at zero and carry
// on across start-ups; the rest is set by StartTrail.
struct TrailModel {
    TrailLook look = {};
    std::vector<TrailPointModel> points;
    std::vector<ParticleModel> ring;
    int ringIndex = 0;
    Vec emitterPosition;
    Vec rotation;
    Vec spin;
    double scenePhase = 0.0;
    float pulsePhase = 0.0f;
};

// InitPoints and InitParticles: the points (three draws each), the emitter, the
// spin (three draws) and an all-dead ring.
void StartTrail(TrailModel& trail, RandomStream& stream, const TrailLook& look);
// The GL state EffectInit sets after the trail is ready.
void TrailInitCalls(const TrailLook& look, GlCalls& calls);
// One EffectDraw; appends its GL calls.
void TrailFrame(TrailModel& trail, GlCalls& calls);

}  // namespace model
