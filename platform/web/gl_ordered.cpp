// The GL calls of the host and the effects that are not immediate mode: each one
// first draws the vertices gathered so far (gl_immediate.cpp), then goes to the
// emulation, so that it acts between the same drawings as it does on desktop GL.
// A call missing here would act too early; the build checks that every GL
// function the core calls has its definition in this platform (check_gl_calls.cmake).
#include "platform/web/gl_immediate.h"

extern "C" {
void emscripten_glEnable(GLenum cap);
void emscripten_glDisable(GLenum cap);
void emscripten_glBlendFunc(GLenum source, GLenum destination);
void emscripten_glBindTexture(GLenum target, GLuint texture);
void emscripten_glGenTextures(GLsizei n, GLuint* textures);
void emscripten_glTexParameterf(GLenum target, GLenum pname, GLfloat param);
void emscripten_glMatrixMode(GLenum mode);
void emscripten_glLoadIdentity();
void emscripten_glPushMatrix();
void emscripten_glPopMatrix();
void emscripten_glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near, GLdouble far);
void emscripten_glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near, GLdouble far);
void emscripten_glTranslatef(GLfloat x, GLfloat y, GLfloat z);
void emscripten_glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void emscripten_glClear(GLbitfield mask);
void emscripten_glFlush();

void glEnable(GLenum cap) {
    web::FlushImmediate();
    emscripten_glEnable(cap);
}

void glDisable(GLenum cap) {
    web::FlushImmediate();
    emscripten_glDisable(cap);
}

void glBlendFunc(GLenum source, GLenum destination) {
    web::FlushImmediate();
    emscripten_glBlendFunc(source, destination);
}

void glBindTexture(GLenum target, GLuint texture) {
    web::FlushImmediate();
    emscripten_glBindTexture(target, texture);
}

void glGenTextures(GLsizei n, GLuint* textures) {
    web::FlushImmediate();
    emscripten_glGenTextures(n, textures);
}

void glTexParameterf(GLenum target, GLenum pname, GLfloat param) {
    web::FlushImmediate();
    emscripten_glTexParameterf(target, pname, param);
}

void glMatrixMode(GLenum mode) {
    web::FlushImmediate();
    emscripten_glMatrixMode(mode);
}

void glLoadIdentity() {
    web::FlushImmediate();
    emscripten_glLoadIdentity();
}

void glPushMatrix() {
    web::FlushImmediate();
    emscripten_glPushMatrix();
}

void glPopMatrix() {
    web::FlushImmediate();
    emscripten_glPopMatrix();
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near, GLdouble far) {
    web::FlushImmediate();
    emscripten_glOrtho(left, right, bottom, top, near, far);
}

void glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near, GLdouble far) {
    web::FlushImmediate();
    emscripten_glFrustum(left, right, bottom, top, near, far);
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    web::FlushImmediate();
    emscripten_glTranslatef(x, y, z);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    web::FlushImmediate();
    emscripten_glViewport(x, y, width, height);
}

void glClear(GLbitfield mask) {
    web::FlushImmediate();
    emscripten_glClear(mask);
}

void glFlush() {
    web::FlushImmediate();
    emscripten_glFlush();
}
}
