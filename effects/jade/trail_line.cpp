#include "effects/jade/trail_line.h"

#include "platform/gl.h"

namespace jade {

void DrawTrailLine(const trail::TrailParticle& newer, const trail::TrailParticle& older) {
    glBegin(GL_LINES);
    glColor4fv(newer.colour);
    glVertex3fv(newer.position.Data());
    glColor4fv(older.colour);
    glVertex3fv(older.position.Data());
    glEnd();
}

}  // namespace jade
