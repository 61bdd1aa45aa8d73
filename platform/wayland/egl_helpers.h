// What the two EGL surfaces of the Wayland platform share: the saver's on its
// wl_egl_window (gl_surface.cpp) and the lock picture's pbuffer
// (picture_gl_surface.cpp).
#pragma once

#include "platform/platform.h"
#include "platform/wayland/libraries.h"

namespace plat {

// DescribePixelFormat of the one format, as `config` has it.
int DescribeEglConfig(EGLDisplay display, EGLConfig config, int format, UINT size, PIXELFORMATDESCRIPTOR* pfd);

// wglDeleteContext: releases the context first when it is `*current`.
BOOL DeleteEglContext(EGLDisplay display, EGLContext* current, HGLRC context);

}  // namespace plat
