#include "effects/amber/trail_frame.h"

#include "effects/amber/trail.h"
#include "platform/gl.h"

namespace amber {

void DrawTrailFrame() {
    MoveEmitter();
    AdvanceRotation();
    RotatePoints();
    const Vector3& eye = trail.settings.eyePosition;
    glLoadIdentity();
    glTranslatef(-eye.x, -eye.y, -eye.z);
    UpdateAndDrawParticles();
    EmitAll();
}

}  // namespace amber
