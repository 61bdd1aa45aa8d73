// The trail engine shared by amber (and opal) and jade: trail points that turn
// together as a rigid star, one emitter wandering on a path of three sines, and a
// ring of particles in which every point fires one particle per frame. Each live
// particle is joined to the same point's particle of the frame before by one
// segment (amber: a fading quad, jade: a line).
//
// The effects differ only in a TrailSettings record handed to InitPoints; a frame
// is DrawTrailFrame (trail_frame.h).
#pragma once

#include "toolkit/vector3.h"

namespace trail {

struct TrailPoint {
    float colour[4];           // alpha 1.0; fixed after start-up
    Vector3 direction;         // unit direction, fixed after start-up
    Vector3 rotatedDirection;  // direction turned by the emitter's rotation, per frame
    float pulseOffset;         // this point's phase offset of the speed pulse
};

struct Emitter {
    Vector3 position;
    Vector3 rotation;  // angles about X, Y, Z in [0, 2pi]
    Vector3 spin;      // added to rotation every frame
};

// One record serves both segment kinds. jade's particles have no normal: its
// settings leave `normal` unwritten (zero from the allocation) and DrawTrailLine
// never sends it, so jade's values and GL calls are those of a record without it;
// the price is twelve unused bytes per slot, against a second engine.
struct TrailParticle {
    Vector3 position;
    Vector3 velocity;
    Vector3 normal;   // amber only
    float colour[4];  // the point's r, g, b; a = fade from life
    int life;         // frames left; alive while > 0
};

// Draws the segment between a point's newer particle and its particle one frame older.
using TrailSegmentFn = void (*)(const TrailParticle& newer, const TrailParticle& older);

struct TrailSettings {
    int pointCount;
    float pathRadius;      // amplitude of the emitter's sine path
    Vector3 eyePosition;   // the scene is drawn translated by its negation
    bool particleNormals;  // EmitParticle forms the normal from the next point
    TrailSegmentFn drawSegment;
};

// The one trail of the process. Points and ring exist from InitPoints to FreeTrail;
// the emitter record, scenePhase and pulsePhase live for the whole program.
struct TrailState {
    TrailSettings settings;
    TrailPoint* points;
    TrailParticle* ring;  // null when its allocation failed: frames skip the trail
    int particleLife;
    int ringCapacity;
    int ringIndex;
    float emitRadius;
    float emitSpeed;
    Emitter emitter;
    double scenePhase;
    float pulsePhase;
};

extern TrailState state;

// Allocates and seeds the points (3 random draws each), then InitParticles. False,
// with nothing else set up, when the points cannot be allocated.
bool InitPoints(const TrailSettings& settings);
// Resets the emitter, draws the spin (3 draws) and allocates an all-dead ring. A
// failed ring allocation is reported in a message box and ends the program through
// its message loop.
void InitParticles();
void MoveEmitter();
void AdvanceRotation();
void RotatePoints();
// Moves and ages every slot, then draws each live pair through settings.drawSegment.
void UpdateAndDrawParticles();
void EmitAll();
// `next` is read only when the settings ask for particle normals.
void EmitParticle(const TrailPoint& point, const TrailPoint& next);
// Releases points and ring, each once; safe after a failed or repeated start-up.
void FreeTrail();

}  // namespace trail
