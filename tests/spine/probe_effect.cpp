#include "tests/spine/probe_effect.h"

#include "host/effect_hooks.h"
#include "platform/gl.h"
#include "toolkit/random.h"

ProbeEffect probe;

void EffectSetupGL() { ++probe.setupCalls; }

bool EffectInit() {
    ++probe.initCalls;
    probe.firstDraw = Random15();
    return !probe.failInit;
}

void EffectDraw() {
    ++probe.drawCalls;
    glLineWidth(kProbeLineWidth);
}

void EffectFree() { ++probe.freeCalls; }
