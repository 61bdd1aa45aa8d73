#include "effects/amber/trail_quad.h"

#include "platform/gl.h"

namespace amber {

namespace {

constexpr float kInnerScale = 0.75f;
constexpr float kClearColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};

}  // namespace

void DrawTrailQuad(const trail::TrailParticle& newer, const trail::TrailParticle& older) {
    Vector3 olderInner = Multiply(older.position, kInnerScale);
    Vector3 newerInner = Multiply(newer.position, kInnerScale);
    glBegin(GL_QUADS);
    glNormal3fv(newer.normal.Data());
    glTexCoord2f(0.0f, 0.0f);
    glColor4fv(newer.colour);
    glVertex3fv(newer.position.Data());
    glNormal3fv(older.normal.Data());
    glTexCoord2f(1.0f, 0.0f);
    glColor4fv(older.colour);
    glVertex3fv(older.position.Data());
    glNormal3fv(older.normal.Data());
    glTexCoord2f(1.0f, 1.0f);
    glColor4fv(kClearColour);
    glVertex3fv(olderInner.Data());
    glNormal3fv(newer.normal.Data());
    glTexCoord2f(0.0f, 1.0f);
    glColor4fv(kClearColour);
    glVertex3fv(newerInner.Data());
    glEnd();
}

}  // namespace amber
