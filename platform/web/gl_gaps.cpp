// GL 1.1 calls of the host and the effects that Emscripten's legacy GL emulation
// (3.1.6) lacks, refuses or gets wrong, each answered here the way desktop GL
// answers it. The emulation's own entry points stay reachable as emscripten_gl*.
// Like every call outside immediate mode, each first draws what immediate mode
// has gathered.
#include <GL/gl.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/web/gl_immediate.h"
#include "platform/web/page_bridge.h"

extern "C" {
void emscripten_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                             GLint border, GLenum format, GLenum type, const void* pixels);
void emscripten_glTexEnvi(GLenum target, GLenum pname, GLint param);
void emscripten_glTexEnvf(GLenum target, GLenum pname, GLfloat param);
}

namespace {

// Float components become 8-bit ones as desktop GL stores an unsized RGBA
// image: clamped to [0, 1], scaled by 255 and rounded to the nearest.
GLubyte UnsignedByte(float value) {
    const float clamped = value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
    return static_cast<GLubyte>(std::lrint(clamped * 255.0f));
}

// The attribute stack: GL's depth of 16; a push beyond or a pop of an empty stack
// does nothing, as GL ignores them (with an error nobody reads here).
constexpr int kAttribStackDepth = 16;

struct AttribStack {
    web::CurrentValues current[kAttribStackDepth];
    int depth;
};

AttribStack attribStack;

}  // namespace

extern "C" {

// The emulation throws on glTexGeni. It models no texture-coordinate generation
// at all (enabling it is ignored), so choosing a mode has nothing to set.
void glTexGeni(GLenum, GLenum, GLint) { web::FlushImmediate(); }

// The emulation has no attribute stack. This one keeps what the emulation models
// of the state the savers change between a push and its pop: the current colour
// and texture coordinate here, and (page_bridge.js) the enables of blending,
// depth test, face culling and 2D texturing, the blend factors and the matrix
// mode. Every push saves all of them, whatever the mask.
void glPushAttrib(GLbitfield) {
    web::FlushImmediate();
    if (attribStack.depth == kAttribStackDepth) return;
    attribStack.current[attribStack.depth++] = web::CurrentVertexValues();
    web_push_gl_state();
}

void glPopAttrib() {
    web::FlushImmediate();
    if (attribStack.depth == 0) return;
    web::SetCurrentVertexValues(attribStack.current[--attribStack.depth]);
    web_pop_gl_state();
}

// WebGL 1 wants the internal format to equal the format and has no float
// textures without an extension: an RGBA image of floats (internal format 4 or
// GL_RGBA) is handed over as unsigned bytes, which is how desktop GL keeps it.
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const void* pixels) {
    web::FlushImmediate();
    const bool rgba = internalFormat == 4 || internalFormat == GL_RGBA;
    if (!rgba || format != GL_RGBA || type != GL_FLOAT || width <= 0 || height <= 0) {
        emscripten_glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels);
        return;
    }
    std::vector<GLubyte> bytes;
    if (pixels != nullptr) {
        const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
        const float* components = static_cast<const float*>(pixels);
        bytes.resize(count);
        for (std::size_t i = 0; i < count; ++i) bytes[i] = UnsignedByte(components[i]);
    }
    emscripten_glTexImage2D(target, level, GL_RGBA, width, height, border, GL_RGBA, GL_UNSIGNED_BYTE,
                            bytes.empty() ? nullptr : bytes.data());
}

// The emulation reads the texture environment's mode only from glTexEnvi; from
// glTexEnvf it warns and drops it. The mode is an enumeration, so pass it on.
void glTexEnvf(GLenum target, GLenum pname, GLfloat param) {
    web::FlushImmediate();
    if (pname == GL_TEXTURE_ENV_MODE) {
        emscripten_glTexEnvi(target, pname, static_cast<GLint>(param));
        return;
    }
    emscripten_glTexEnvf(target, pname, param);
}
}
