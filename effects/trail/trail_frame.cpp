#include "effects/trail/trail_frame.h"

#include "effects/trail/trail.h"
#include "platform/gl.h"

namespace trail {

void DrawTrailFrame() {
    MoveEmitter();
    AdvanceRotation();
    RotatePoints();
    const Vector3& eye = state.settings.eyePosition;
    glLoadIdentity();
    glTranslatef(-eye.x, -eye.y, -eye.z);
    UpdateAndDrawParticles();
    EmitAll();
}

}  // namespace trail
