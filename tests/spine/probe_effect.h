// An effect that only observes the host: it counts hook calls, can fail its
// start, remembers its first random draw and marks each frame with one GL call.
#pragma once

struct ProbeEffect {
    int setupCalls = 0;
    int initCalls = 0;
    int drawCalls = 0;
    int freeCalls = 0;
    bool failInit = false;
    int firstDraw = -1;  // Random15 right after the host seeded the source
};

extern ProbeEffect probe;

// The GL call that marks EffectDraw in a recording.
constexpr float kProbeLineWidth = 7.0f;
