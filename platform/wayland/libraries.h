// libwayland-client, libwayland-egl and libEGL, loaded at run time (dlopen) when
// the Wayland window system starts: a Linux program run on X11 needs none of
// them, and on Wayland a missing library or function is one line on stderr
// instead of a loader error before main.
//
// Our code calls them through `wlLib` by name (wlLib.displayRoundtrip(...),
// wlLib.eglSwapBuffers(...)). The protocol headers that wayland-scanner
// generates call six wl_proxy functions from inline code; protocols.h points
// those names at this table.
#pragma once

#include <wayland-client-core.h>
#include <wayland-egl-core.h>

#define EGL_NO_X11
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstddef>
#include <cstdint>

namespace plat {

struct WaylandLibraries {
    // libwayland-client.so.0
    wl_display* (*displayConnect)(const char* name);
    void (*displayDisconnect)(wl_display* display);
    int (*displayGetFd)(wl_display* display);
    int (*displayDispatchPending)(wl_display* display);
    int (*displayRoundtrip)(wl_display* display);
    int (*displayFlush)(wl_display* display);
    int (*displayPrepareRead)(wl_display* display);
    int (*displayReadEvents)(wl_display* display);
    void (*displayCancelRead)(wl_display* display);
    int (*displayGetError)(wl_display* display);
    wl_proxy* (*proxyMarshalFlags)(wl_proxy* proxy, std::uint32_t opcode, const wl_interface* interface,
                                   std::uint32_t version, std::uint32_t flags, ...);
    int (*proxyAddListener)(wl_proxy* proxy, void (**implementation)(void), void* data);
    void (*proxyDestroy)(wl_proxy* proxy);
    std::uint32_t (*proxyGetVersion)(wl_proxy* proxy);
    void (*proxySetUserData)(wl_proxy* proxy, void* data);
    void* (*proxyGetUserData)(wl_proxy* proxy);

    // libwayland-egl.so.1
    wl_egl_window* (*eglWindowCreate)(wl_surface* surface, int width, int height);
    void (*eglWindowDestroy)(wl_egl_window* window);
    void (*eglWindowResize)(wl_egl_window* window, int width, int height, int dx, int dy);

    // libEGL.so.1
    PFNEGLGETDISPLAYPROC eglGetDisplay;
    PFNEGLINITIALIZEPROC eglInitialize;
    PFNEGLTERMINATEPROC eglTerminate;
    PFNEGLBINDAPIPROC eglBindAPI;
    PFNEGLCHOOSECONFIGPROC eglChooseConfig;
    PFNEGLGETCONFIGATTRIBPROC eglGetConfigAttrib;
    PFNEGLCREATECONTEXTPROC eglCreateContext;
    PFNEGLDESTROYCONTEXTPROC eglDestroyContext;
    PFNEGLCREATEWINDOWSURFACEPROC eglCreateWindowSurface;
    PFNEGLCREATEPBUFFERSURFACEPROC eglCreatePbufferSurface;  // the lock's pictures
    PFNEGLDESTROYSURFACEPROC eglDestroySurface;
    PFNEGLMAKECURRENTPROC eglMakeCurrent;
    PFNEGLSWAPBUFFERSPROC eglSwapBuffers;
    PFNEGLSWAPINTERVALPROC eglSwapInterval;
    PFNEGLGETPROCADDRESSPROC eglGetProcAddress;
    PFNEGLGETERRORPROC eglGetError;
};

extern WaylandLibraries wlLib;

// Loads the three libraries and every function above. False, with one line for
// stderr in `error` (without the program name), when one is missing.
bool LoadWaylandLibraries(char* error, std::size_t size);

}  // namespace plat
