// The GL calls the host makes around the effect, as the deliverable's table says
// it makes them: the projection, the blending set before the effect starts, and
// the opening (overlay and clear) and closing of every frame.
#pragma once

#include "tests/deliverables/expected.h"
#include "tests/reference/gl_calls.h"

// ResizeView: viewport, and a frustum whose sides follow height / width rounded
// to float.
void ProjectionCalls(model::GlCalls& calls, int width, int height);
// Between the first projection and EffectSetupGL.
void BeforeSetupCalls(model::GlCalls& calls, const ExpectedDeliverable& deliverable);
// The overlay (if any), the clear and the model-view reset before EffectDraw.
void FrameOpeningCalls(model::GlCalls& calls, const ExpectedDeliverable& deliverable);
void FrameClosingCalls(model::GlCalls& calls);
