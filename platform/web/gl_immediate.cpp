// Immediate mode gathered into vertex arrays. Emscripten's legacy GL emulation
// turns every glBegin .. glEnd into a WebGL draw of its own with its own buffer
// upload; trails of thousands of one-quad or one-line blocks per frame then cost
// thousands of draws, which a software WebGL cannot keep up with. Here blocks of
// the same kind follow each other in one array (position, colour, texture
// coordinate per vertex) until a call that changes state or draws otherwise
// comes; then one glDrawArrays draws them all, in the order given.
//
// Each vertex takes the current colour and texture coordinate, as GL's do; a
// colour given inside a block before its first vertex is simply the current
// colour (the emulation gets this wrong). Normals are dropped: nothing is lit
// (no saver switches lighting on). Quads, lines, triangles and points join across
// blocks; the strip, loop, fan and polygon kinds are drawn block by block, a
// quad strip as the triangle strip with the same vertices (the emulation draws
// no quad strips).
#include "platform/web/gl_immediate.h"

#include <cstddef>

extern "C" {
void emscripten_glEnableClientState(GLenum array);
void emscripten_glDisableClientState(GLenum array);
void emscripten_glVertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
void emscripten_glColorPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
void emscripten_glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
void emscripten_glDrawArrays(GLenum mode, GLint first, GLsizei count);
}

namespace web {
namespace {

struct Vertex {
    GLfloat position[3];
    GLfloat colour[4];
    GLfloat texCoord[2];
};

// A multiple of 2, 3 and 4, so that a full array ends on a whole primitive, and
// small enough for the emulation's 16-bit quad indices and its 2 MiB upload.
constexpr int kMaxVertices = 12288;
constexpr GLenum kNoBlock = 0xFFFF;

struct Immediate {
    Vertex vertices[kMaxVertices];
    int count;         // vertices gathered
    GLenum batchMode;  // the kind of what is gathered (kNoBlock: nothing)
    GLenum blockMode;  // between glBegin and glEnd: the block's kind, else kNoBlock
    int blockStart;    // first vertex of the open block
    bool arraysSet;    // the emulation has our array pointers
    CurrentValues current;
};

Immediate immediate = {{}, 0, kNoBlock, kNoBlock, 0, false, {{1, 1, 1, 1}, {0, 0}}};

// Vertices per primitive for the kinds that join across blocks; 0 for the others.
int JoinableSize(GLenum mode) {
    switch (mode) {
        case GL_POINTS:
            return 1;
        case GL_LINES:
            return 2;
        case GL_TRIANGLES:
            return 3;
        case GL_QUADS:
            return 4;
        default:
            return 0;
    }
}

GLenum WebGLMode(GLenum mode) {
    if (mode == GL_QUAD_STRIP) return GL_TRIANGLE_STRIP;
    if (mode == GL_POLYGON) return GL_TRIANGLE_FAN;
    return mode;
}

void SetArrays() {
    if (immediate.arraysSet) return;
    const Vertex* v = immediate.vertices;
    emscripten_glVertexPointer(3, GL_FLOAT, sizeof(Vertex), v->position);
    emscripten_glColorPointer(4, GL_FLOAT, sizeof(Vertex), v->colour);
    emscripten_glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), v->texCoord);
    emscripten_glEnableClientState(GL_VERTEX_ARRAY);
    emscripten_glEnableClientState(GL_COLOR_ARRAY);
    emscripten_glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    immediate.arraysSet = true;
}

// Draws vertices [0, end) and keeps the rest (an open block's) at the front.
void DrawGathered(int end) {
    if (end > 0 && immediate.batchMode != kNoBlock) {
        SetArrays();
        emscripten_glDrawArrays(WebGLMode(immediate.batchMode), 0, end);
    }
    const int rest = immediate.count - end;
    for (int i = 0; i < rest; ++i) immediate.vertices[i] = immediate.vertices[end + i];
    immediate.count = rest;
    immediate.blockStart -= end;
}

}  // namespace

void FlushImmediate() {
    if (immediate.blockMode != kNoBlock) return;  // inside a block only vertex calls are allowed
    DrawGathered(immediate.count);
    immediate.batchMode = kNoBlock;
}

CurrentValues CurrentVertexValues() { return immediate.current; }

void SetCurrentVertexValues(const CurrentValues& values) { immediate.current = values; }

}  // namespace web

using web::immediate;

extern "C" {

void glBegin(GLenum mode) {
    if (immediate.blockMode != web::kNoBlock) return;  // GL_INVALID_OPERATION: ignored
    if (mode != immediate.batchMode || web::JoinableSize(mode) == 0) web::FlushImmediate();
    immediate.batchMode = mode;
    immediate.blockMode = mode;
    immediate.blockStart = immediate.count;
}

void glEnd() {
    if (immediate.blockMode == web::kNoBlock) return;
    const GLenum mode = immediate.blockMode;
    immediate.blockMode = web::kNoBlock;
    const int size = web::JoinableSize(mode);
    if (size > 0) {
        // An unfinished primitive at the end of a block is not drawn.
        const int given = immediate.count - immediate.blockStart;
        immediate.count -= given % size;
        return;
    }
    web::FlushImmediate();
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (immediate.blockMode == web::kNoBlock) return;
    if (immediate.count == web::kMaxVertices) {
        // Full: draw the whole primitives gathered so far; an open block of a
        // kind that cannot be split is cut here.
        const int size = web::JoinableSize(immediate.blockMode);
        const int open = size > 0 ? (immediate.count - immediate.blockStart) % size : 0;
        web::DrawGathered(immediate.count - open);
    }
    web::Vertex& v = immediate.vertices[immediate.count++];
    v.position[0] = x;
    v.position[1] = y;
    v.position[2] = z;
    for (int i = 0; i < 4; ++i) v.colour[i] = immediate.current.colour[i];
    v.texCoord[0] = immediate.current.texCoord[0];
    v.texCoord[1] = immediate.current.texCoord[1];
}

void glVertex2f(GLfloat x, GLfloat y) { glVertex3f(x, y, 0.0f); }

void glVertex3fv(const GLfloat* v) { glVertex3f(v[0], v[1], v[2]); }

// GL clamps a vertex's colour to [0, 1] before it is interpolated.
void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    const GLfloat given[4] = {r, g, b, a};
    for (int i = 0; i < 4; ++i)
        immediate.current.colour[i] = given[i] < 0.0f ? 0.0f : (given[i] > 1.0f ? 1.0f : given[i]);
}

void glColor4fv(const GLfloat* c) { glColor4f(c[0], c[1], c[2], c[3]); }

void glColor4ub(GLubyte r, GLubyte g, GLubyte b, GLubyte a) {
    glColor4f(r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f);
}

void glColor3ubv(const GLubyte* c) { glColor4ub(c[0], c[1], c[2], 255); }

void glTexCoord2f(GLfloat s, GLfloat t) {
    immediate.current.texCoord[0] = s;
    immediate.current.texCoord[1] = t;
}

void glNormal3fv(const GLfloat*) {}
}
