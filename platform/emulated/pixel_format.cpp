// The pixel format description that every emulated platform gives its one format.
#include "platform/emulated/backend.h"

namespace plat {
namespace emu {

int DescribeOnlyPixelFormat(int format, UINT size, PIXELFORMATDESCRIPTOR* pfd, const PixelFormatBits& bits) {
    if (pfd == nullptr) return kOnlyPixelFormat;
    if (format != kOnlyPixelFormat || size < sizeof(PIXELFORMATDESCRIPTOR)) return 0;
    *pfd = PIXELFORMATDESCRIPTOR();
    pfd->nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd->nVersion = 1;
    pfd->dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd->iPixelType = PFD_TYPE_RGBA;
    pfd->cColorBits = bits.color;
    pfd->cRedBits = bits.red;
    pfd->cGreenBits = bits.green;
    pfd->cBlueBits = bits.blue;
    pfd->cAlphaBits = bits.alpha;
    pfd->cDepthBits = bits.depth;
    pfd->cStencilBits = bits.stencil;
    pfd->cRedShift = bits.redShift;
    pfd->cGreenShift = bits.greenShift;
    pfd->cBlueShift = bits.blueShift;
    pfd->cAlphaShift = bits.alphaShift;
    return kOnlyPixelFormat;
}

}  // namespace emu
}  // namespace plat
