#include "platform/headless/recording_gl.h"

#include <cstdlib>

#include "platform/gl.h"

namespace recgl {
namespace {

Call* calls = nullptr;
std::size_t capacity = 0;
std::size_t count = 0;
bool recording = true;
GLuint nextTexture = 1;

constexpr int kNameSlots = 128;
const char* names[kNameSlots];
std::size_t nameCounts[kNameSlots];

void Tally(const char* name) {
    // Each entry point passes its own literal: the pointer finds its slot at once.
    for (int i = 0; i < kNameSlots && names[i] != nullptr; ++i) {
        if (names[i] == name) {
            ++nameCounts[i];
            return;
        }
    }
    for (int i = 0; i < kNameSlots; ++i) {
        if (names[i] != nullptr && std::strcmp(names[i], name) == 0) {
            ++nameCounts[i];
            return;
        }
        if (names[i] == nullptr) {
            names[i] = name;
            nameCounts[i] = 1;
            return;
        }
    }
}

void Record(const char* name, int n, double a0 = 0, double a1 = 0, double a2 = 0, double a3 = 0, double a4 = 0,
            double a5 = 0, double a6 = 0, double a7 = 0) {
    Tally(name);
    if (recording && count < capacity) {
        Call& c = calls[count];
        c.name = name;
        c.argCount = n;
        c.args[0] = a0, c.args[1] = a1, c.args[2] = a2, c.args[3] = a3;
        c.args[4] = a4, c.args[5] = a5, c.args[6] = a6, c.args[7] = a7;
    }
    ++count;
}

}  // namespace

void Reset(std::size_t newCapacity) {
    if (newCapacity != capacity) {
        std::free(calls);
        calls = static_cast<Call*>(std::calloc(newCapacity, sizeof(Call)));
        capacity = calls != nullptr ? newCapacity : 0;
    }
    count = 0;
    recording = true;
    nextTexture = 1;
    for (int i = 0; i < kNameSlots; ++i) {
        names[i] = nullptr;
        nameCounts[i] = 0;
    }
}

std::size_t Count() { return count; }
std::size_t Stored() { return count < capacity ? count : capacity; }
const Call& At(std::size_t index) { return calls[index]; }
void SetRecording(bool on) { recording = on; }

std::size_t CountOf(const char* name) {
    for (int i = 0; i < kNameSlots && names[i] != nullptr; ++i)
        if (std::strcmp(names[i], name) == 0) return nameCounts[i];
    return 0;
}

}  // namespace recgl

using recgl::Record;

extern "C" {

void APIENTRY glBegin(GLenum mode) { Record("glBegin", 1, mode); }
void APIENTRY glEnd(void) { Record("glEnd", 0); }
void APIENTRY glVertex2f(GLfloat x, GLfloat y) { Record("glVertex2f", 2, x, y); }
void APIENTRY glVertex2i(GLint x, GLint y) { Record("glVertex2i", 2, x, y); }
void APIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) { Record("glVertex3f", 3, x, y, z); }
void APIENTRY glVertex3fv(const GLfloat* v) { Record("glVertex3fv", 3, v[0], v[1], v[2]); }
void APIENTRY glNormal3f(GLfloat x, GLfloat y, GLfloat z) { Record("glNormal3f", 3, x, y, z); }
void APIENTRY glNormal3fv(const GLfloat* v) { Record("glNormal3fv", 3, v[0], v[1], v[2]); }
void APIENTRY glTexCoord2f(GLfloat s, GLfloat t) { Record("glTexCoord2f", 2, s, t); }
void APIENTRY glTexCoord2fv(const GLfloat* v) { Record("glTexCoord2fv", 2, v[0], v[1]); }
void APIENTRY glTexCoord2i(GLint s, GLint t) { Record("glTexCoord2i", 2, s, t); }
void APIENTRY glColor3f(GLfloat r, GLfloat g, GLfloat b) { Record("glColor3f", 3, r, g, b); }
void APIENTRY glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { Record("glColor4f", 4, r, g, b, a); }
void APIENTRY glColor4fv(const GLfloat* v) { Record("glColor4fv", 4, v[0], v[1], v[2], v[3]); }
void APIENTRY glColor3ub(GLubyte r, GLubyte g, GLubyte b) { Record("glColor3ub", 3, r, g, b); }
void APIENTRY glColor3ubv(const GLubyte* v) { Record("glColor3ubv", 3, v[0], v[1], v[2]); }
void APIENTRY glColor4ub(GLubyte r, GLubyte g, GLubyte b, GLubyte a) { Record("glColor4ub", 4, r, g, b, a); }
void APIENTRY glColor4ubv(const GLubyte* v) { Record("glColor4ubv", 4, v[0], v[1], v[2], v[3]); }
void APIENTRY glEnable(GLenum cap) { Record("glEnable", 1, cap); }
void APIENTRY glDisable(GLenum cap) { Record("glDisable", 1, cap); }
void APIENTRY glBlendFunc(GLenum s, GLenum d) { Record("glBlendFunc", 2, s, d); }
void APIENTRY glClear(GLbitfield mask) { Record("glClear", 1, mask); }
void APIENTRY glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { Record("glClearColor", 4, r, g, b, a); }
void APIENTRY glFlush(void) { Record("glFlush", 0); }
void APIENTRY glFinish(void) { Record("glFinish", 0); }
void APIENTRY glLoadIdentity(void) { Record("glLoadIdentity", 0); }
void APIENTRY glMatrixMode(GLenum mode) { Record("glMatrixMode", 1, mode); }
void APIENTRY glPushMatrix(void) { Record("glPushMatrix", 0); }
void APIENTRY glPopMatrix(void) { Record("glPopMatrix", 0); }
void APIENTRY glPushAttrib(GLbitfield mask) { Record("glPushAttrib", 1, mask); }
void APIENTRY glPopAttrib(void) { Record("glPopAttrib", 0); }
void APIENTRY glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    Record("glOrtho", 6, l, r, b, t, n, f);
}
void APIENTRY glFrustum(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    Record("glFrustum", 6, l, r, b, t, n, f);
}
void APIENTRY glViewport(GLint x, GLint y, GLsizei w, GLsizei h) { Record("glViewport", 4, x, y, w, h); }
void APIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) { Record("glTranslatef", 3, x, y, z); }
void APIENTRY glRotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) { Record("glRotatef", 4, a, x, y, z); }
void APIENTRY glScalef(GLfloat x, GLfloat y, GLfloat z) { Record("glScalef", 3, x, y, z); }
void APIENTRY glShadeModel(GLenum mode) { Record("glShadeModel", 1, mode); }
void APIENTRY glLineWidth(GLfloat w) { Record("glLineWidth", 1, w); }
void APIENTRY glTexGeni(GLenum coord, GLenum pname, GLint param) { Record("glTexGeni", 3, coord, pname, param); }
void APIENTRY glTexEnvf(GLenum target, GLenum pname, GLfloat param) { Record("glTexEnvf", 3, target, pname, param); }
void APIENTRY glTexEnvi(GLenum target, GLenum pname, GLint param) { Record("glTexEnvi", 3, target, pname, param); }
void APIENTRY glTexParameterf(GLenum target, GLenum pname, GLfloat param) {
    Record("glTexParameterf", 3, target, pname, param);
}
void APIENTRY glTexParameteri(GLenum target, GLenum pname, GLint param) {
    Record("glTexParameteri", 3, target, pname, param);
}
void APIENTRY glGenTextures(GLsizei n, GLuint* textures) {
    for (GLsizei i = 0; i < n; ++i) textures[i] = recgl::nextTexture++;
    Record("glGenTextures", 2, n, n > 0 ? textures[0] : 0);
}
void APIENTRY glDeleteTextures(GLsizei n, const GLuint* textures) {
    Record("glDeleteTextures", 2, n, n > 0 ? textures[0] : 0);
}
void APIENTRY glBindTexture(GLenum target, GLuint texture) { Record("glBindTexture", 2, target, texture); }
void APIENTRY glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei w, GLsizei h, GLint border,
                           GLenum format, GLenum type, const GLvoid* pixels) {
    Record("glTexImage2D", 8, target, level, internalFormat, w, h, border, format, type);
    (void)pixels;
}
void APIENTRY glPixelStorei(GLenum pname, GLint param) { Record("glPixelStorei", 2, pname, param); }
void APIENTRY glReadPixels(GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type, GLvoid* pixels) {
    Record("glReadPixels", 6, x, y, w, h, format, type);
    (void)pixels;
}
GLenum APIENTRY glGetError(void) { return GL_NO_ERROR; }

}  // extern "C"
