#include "platform/wayland/libraries.h"

#include <dlfcn.h>

#include <cstdio>

namespace plat {

WaylandLibraries wlLib;

namespace {

struct Symbol {
    void* target;  // the function pointer's storage
    const char* name;
};

// Looks up every symbol of one library into the table; false after writing the
// missing one into `error`.
bool Load(const char* file, const char* package, const Symbol* symbols, std::size_t count, char* error,
          std::size_t size) {
    void* library = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        std::snprintf(error, size, "cannot load %s (from %s): %s", file, package, dlerror());
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        void* found = dlsym(library, symbols[i].name);
        if (found == nullptr) {
            std::snprintf(error, size, "%s has no %s (%s needed)", file, symbols[i].name, package);
            return false;
        }
        // A data pointer to a function pointer of the same size: POSIX's dlsym contract.
        *static_cast<void**>(symbols[i].target) = found;
    }
    return true;
}

}  // namespace

bool LoadWaylandLibraries(char* error, std::size_t size) {
    const Symbol client[] = {
        {&wlLib.displayConnect, "wl_display_connect"},
        {&wlLib.displayDisconnect, "wl_display_disconnect"},
        {&wlLib.displayGetFd, "wl_display_get_fd"},
        {&wlLib.displayDispatchPending, "wl_display_dispatch_pending"},
        {&wlLib.displayRoundtrip, "wl_display_roundtrip"},
        {&wlLib.displayFlush, "wl_display_flush"},
        {&wlLib.displayPrepareRead, "wl_display_prepare_read"},
        {&wlLib.displayReadEvents, "wl_display_read_events"},
        {&wlLib.displayCancelRead, "wl_display_cancel_read"},
        {&wlLib.displayGetError, "wl_display_get_error"},
        {&wlLib.proxyMarshalFlags, "wl_proxy_marshal_flags"},
        {&wlLib.proxyAddListener, "wl_proxy_add_listener"},
        {&wlLib.proxyDestroy, "wl_proxy_destroy"},
        {&wlLib.proxyGetVersion, "wl_proxy_get_version"},
        {&wlLib.proxySetUserData, "wl_proxy_set_user_data"},
        {&wlLib.proxyGetUserData, "wl_proxy_get_user_data"},
    };
    const Symbol eglWindow[] = {
        {&wlLib.eglWindowCreate, "wl_egl_window_create"},
        {&wlLib.eglWindowDestroy, "wl_egl_window_destroy"},
        {&wlLib.eglWindowResize, "wl_egl_window_resize"},
    };
    const Symbol egl[] = {
        {&wlLib.eglGetDisplay, "eglGetDisplay"},
        {&wlLib.eglInitialize, "eglInitialize"},
        {&wlLib.eglTerminate, "eglTerminate"},
        {&wlLib.eglBindAPI, "eglBindAPI"},
        {&wlLib.eglChooseConfig, "eglChooseConfig"},
        {&wlLib.eglGetConfigAttrib, "eglGetConfigAttrib"},
        {&wlLib.eglCreateContext, "eglCreateContext"},
        {&wlLib.eglDestroyContext, "eglDestroyContext"},
        {&wlLib.eglCreateWindowSurface, "eglCreateWindowSurface"},
        {&wlLib.eglCreatePbufferSurface, "eglCreatePbufferSurface"},
        {&wlLib.eglDestroySurface, "eglDestroySurface"},
        {&wlLib.eglMakeCurrent, "eglMakeCurrent"},
        {&wlLib.eglSwapBuffers, "eglSwapBuffers"},
        {&wlLib.eglSwapInterval, "eglSwapInterval"},
        {&wlLib.eglGetProcAddress, "eglGetProcAddress"},
        {&wlLib.eglGetError, "eglGetError"},
    };
    return Load("libwayland-client.so.0", "libwayland-client0 1.20 or newer", client, sizeof client / sizeof *client,
                error, size) &&
           Load("libwayland-egl.so.1", "libwayland-egl1", eglWindow, sizeof eglWindow / sizeof *eglWindow, error,
                size) &&
           Load("libEGL.so.1", "libegl1", egl, sizeof egl / sizeof *egl, error, size);
}

}  // namespace plat
