#include "tests/deliverables/host_calls.h"

#include "platform/gl.h"

using model::Call;

void ProjectionCalls(model::GlCalls& calls, int width, int height) {
    Call(calls, "glViewport", 0, 0, width, height);
    Call(calls, "glMatrixMode", GL_PROJECTION);
    Call(calls, "glLoadIdentity");
    const float aspect = static_cast<float>(static_cast<double>(height) / width);
    const double side = 1.0 / aspect;
    calls.Add({"glFrustum", 6, {-side, side, -1.0, 1.0, 1.0, 1000.0}});
    Call(calls, "glMatrixMode", GL_MODELVIEW);
    Call(calls, "glLoadIdentity");
}

void BeforeSetupCalls(model::GlCalls& calls, const ExpectedDeliverable& deliverable) {
    if (!deliverable.additiveBlendBeforeSetup) return;
    Call(calls, "glEnable", GL_BLEND);
    Call(calls, "glBlendFunc", GL_SRC_ALPHA, GL_ONE);
}

void FrameOpeningCalls(model::GlCalls& calls, const ExpectedDeliverable& deliverable) {
    if (deliverable.overlay == ExpectedOverlay::None) {
        Call(calls, "glClear", GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Call(calls, "glLoadIdentity");
        return;
    }
    const bool textured = deliverable.overlay == ExpectedOverlay::TexturedWhite;
    Call(calls, "glPushAttrib", GL_ALL_ATTRIB_BITS);
    Call(calls, "glBlendFunc", GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    Call(calls, "glEnable", GL_BLEND);
    if (textured) {
        Call(calls, "glEnable", GL_TEXTURE_2D);
        Call(calls, "glDisable", GL_TEXTURE_GEN_S);
        Call(calls, "glDisable", GL_TEXTURE_GEN_T);
    } else {
        Call(calls, "glDisable", GL_TEXTURE_2D);
    }
    Call(calls, "glDisable", GL_DEPTH_TEST);
    Call(calls, "glMatrixMode", GL_PROJECTION);
    Call(calls, "glPushMatrix");
    Call(calls, "glLoadIdentity");
    calls.Add({"glOrtho", 6, {0.0, 1.0, 0.0, 1.0, -1.0, 0.0}});
    Call(calls, "glMatrixMode", GL_MODELVIEW);
    Call(calls, "glLoadIdentity");
    const double level = textured ? 1 : 0;
    Call(calls, "glColor4ub", level, level, level, deliverable.fadeAlpha);
    Call(calls, "glBegin", GL_QUADS);
    const double corners[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    for (const auto& corner : corners) {
        if (textured) Call(calls, "glTexCoord2f", corner[0], corner[1]);
        Call(calls, "glVertex2f", corner[0], corner[1]);
    }
    Call(calls, "glEnd");
    Call(calls, "glMatrixMode", GL_PROJECTION);
    Call(calls, "glPopMatrix");
    Call(calls, "glMatrixMode", GL_MODELVIEW);
    Call(calls, "glPopAttrib");
    Call(calls, "glClear", GL_DEPTH_BUFFER_BIT);
    Call(calls, "glLoadIdentity");
}

void FrameClosingCalls(model::GlCalls& calls) { Call(calls, "glFlush"); }
