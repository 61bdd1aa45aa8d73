#include "platform/x11/fps_overlay.h"

#include <GL/gl.h>
#include <GL/glx.h>

#include <cstdio>

#include "platform/emulated/backend.h"
#include "platform/x11/state.h"

namespace plat {

namespace {

constexpr int kFirstGlyph = 32;
constexpr int kGlyphCount = 95;  // printable ASCII
constexpr int kBoxMaxWidth = 256;
constexpr int kBoxMaxHeight = 48;
constexpr int kPadding = 4;
constexpr DWORD kMeasureMs = 1000;

struct FpsOverlay {
    bool enabled;
    GLXContext fontContext;  // the context that owns the glyph lists
    GLuint glyphLists;
    int frames;
    DWORD windowStartMs;
    char text[24];
    int boxWidth, boxHeight;
    bool saved;  // `under` holds the box's pixels from before the text
    GLubyte under[kBoxMaxWidth * kBoxMaxHeight * 4];
};

FpsOverlay overlay;

int Clamp(int value, int low, int high) { return value < low ? low : (value > high ? high : value); }

bool PrepareGlyphs() {
    GLXContext context = glXGetCurrentContext();
    if (context == nullptr || x11.font == nullptr) return false;
    if (overlay.fontContext == context && overlay.glyphLists != 0) return true;
    overlay.glyphLists = glGenLists(kGlyphCount);
    if (overlay.glyphLists == 0) return false;
    glXUseXFont(x11.font->fid, kFirstGlyph, kGlyphCount, static_cast<int>(overlay.glyphLists));
    overlay.fontContext = context;
    const int textWidth = XTextWidth(x11.font, "FPS: 99999.9", 12);
    overlay.boxWidth = Clamp(textWidth + 2 * kPadding, 1, kBoxMaxWidth);
    overlay.boxHeight = Clamp(x11.font->ascent + x11.font->descent + 2 * kPadding, 1, kBoxMaxHeight);
    return true;
}

void CountFrame() {
    const DWORD now = emu::BackendTickMs();
    if (overlay.frames == 0 && overlay.windowStartMs == 0) {
        overlay.windowStartMs = now;
        std::snprintf(overlay.text, sizeof overlay.text, "FPS: --");
    }
    ++overlay.frames;
    const DWORD elapsed = now - overlay.windowStartMs;
    if (elapsed >= kMeasureMs) {
        std::snprintf(overlay.text, sizeof overlay.text, "FPS: %.1f", overlay.frames * 1000.0 / elapsed);
        overlay.frames = 0;
        overlay.windowStartMs = now;
    }
}

// Window pixels (0, 0) to the box's size, with nothing between a fragment and
// the colour buffer: no blending, texturing, depth, fog or tests.
void EnterBoxState() {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, overlay.boxWidth, 0.0, overlay.boxHeight, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, overlay.boxWidth, overlay.boxHeight);
    const GLenum off[] = {GL_BLEND,     GL_DEPTH_TEST, GL_TEXTURE_1D,     GL_TEXTURE_2D,     GL_LIGHTING,
                          GL_FOG,       GL_ALPHA_TEST, GL_STENCIL_TEST,   GL_SCISSOR_TEST,   GL_COLOR_LOGIC_OP,
                          GL_CULL_FACE, GL_DITHER,     GL_INDEX_LOGIC_OP, GL_POLYGON_STIPPLE};
    for (GLenum capability : off) glDisable(capability);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    glPixelZoom(1.0f, 1.0f);
    glPixelTransferi(GL_MAP_COLOR, GL_FALSE);
    const GLenum scales[] = {GL_RED_SCALE, GL_GREEN_SCALE, GL_BLUE_SCALE, GL_ALPHA_SCALE};
    const GLenum biases[] = {GL_RED_BIAS, GL_GREEN_BIAS, GL_BLUE_BIAS, GL_ALPHA_BIAS};
    for (GLenum scale : scales) glPixelTransferf(scale, 1.0f);
    for (GLenum bias : biases) glPixelTransferf(bias, 0.0f);
    const GLenum stores[] = {GL_PACK_ROW_LENGTH,   GL_PACK_SKIP_ROWS,   GL_PACK_SKIP_PIXELS,
                             GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_ROWS, GL_UNPACK_SKIP_PIXELS};
    for (GLenum store : stores) glPixelStorei(store, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

void LeaveBoxState() {
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopClientAttrib();
    glPopAttrib();
}

}  // namespace

void EnableFpsOverlay() { overlay.enabled = true; }

void DrawFpsOverlay() {
    overlay.saved = false;
    if (!overlay.enabled || !PrepareGlyphs()) return;
    CountFrame();
    EnterBoxState();
    glReadPixels(0, 0, overlay.boxWidth, overlay.boxHeight, GL_RGBA, GL_UNSIGNED_BYTE, overlay.under);
    overlay.saved = true;
    glColor3ub(0, 0, 0);
    glRecti(0, 0, overlay.boxWidth, overlay.boxHeight);
    glColor3ub(255, 255, 255);
    glRasterPos2i(kPadding, kPadding + x11.font->descent);
    glListBase(overlay.glyphLists - kFirstGlyph);
    int length = 0;
    while (overlay.text[length] != '\0') ++length;
    glCallLists(length, GL_UNSIGNED_BYTE, overlay.text);
    LeaveBoxState();
}

void RestoreUnderFpsOverlay() {
    if (!overlay.saved) return;
    overlay.saved = false;
    EnterBoxState();
    glRasterPos2i(0, 0);
    glDrawPixels(overlay.boxWidth, overlay.boxHeight, GL_RGBA, GL_UNSIGNED_BYTE, overlay.under);
    LeaveBoxState();
}

}  // namespace plat
