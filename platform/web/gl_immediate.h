// Immediate mode on a page (gl_immediate.cpp): what glBegin .. glEnd give is
// gathered into one vertex array and drawn with as few WebGL draws as the state
// allows. Every other GL call of the host and the effects draws what is gathered
// first (FlushImmediate), so the order of drawing stays the program's.
#pragma once

#include <GL/gl.h>

namespace web {

void FlushImmediate();

// The current values a vertex takes when it sets none itself; glPushAttrib saves them.
struct CurrentValues {
    GLfloat colour[4];
    GLfloat texCoord[2];
};
CurrentValues CurrentVertexValues();
void SetCurrentVertexValues(const CurrentValues& values);

}  // namespace web
