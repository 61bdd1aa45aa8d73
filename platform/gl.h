// The one place that includes the OpenGL 1.1 headers. The core calls GL 1.1 entry
// points directly; this header only makes the right declarations visible.
#pragma once

#if defined(_WIN32)
// mingw's GL/gl.h pulls in <windows.h> unless these two are already defined; the
// core must not see <windows.h>, so define them the way <windows.h> would.
#ifndef WINGDIAPI
#define WINGDIAPI __declspec(dllimport)
#endif
#ifndef APIENTRY
#define APIENTRY __stdcall
#endif
#endif

#include <GL/gl.h>
