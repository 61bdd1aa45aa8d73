// The X connection: opening it, closing it at the process's end, atoms, the
// error trap that keeps a bad foreign window id from killing the process, and
// the GL visual.
#include <GL/glx.h>
#include <unistd.h>

#include <cstring>

#include "platform/x11/daemon_mode.h"
#include "platform/x11/screen.h"
#include "platform/x11/state.h"

namespace plat {

X11State x11;

namespace {

// Xlib's default handler exits the process; a window id that a caller passed on
// the command line, or a preview parent that died, must only make a call fail.
int RecordError(Display*, XErrorEvent* error) {
    x11.lastError = error->error_code;
    return 0;
}

Cursor CreateBlankCursor() {
    static const char kEmpty[1] = {0};
    Pixmap bitmap = XCreateBitmapFromData(x11.display, x11.root, kEmpty, 1, 1);
    XColor black;
    std::memset(&black, 0, sizeof black);
    Cursor cursor = XCreatePixmapCursor(x11.display, bitmap, bitmap, &black, &black, 0, 0);
    XFreePixmap(x11.display, bitmap);
    return cursor;
}

}  // namespace

bool OpenDisplay() {
    x11.display = XOpenDisplay(nullptr);
    if (!x11.display) return false;
    XSetErrorHandler(RecordError);
    x11.screen = DefaultScreen(x11.display);
    x11.root = RootWindow(x11.display, x11.screen);
    x11.wmProtocols = XInternAtom(x11.display, "WM_PROTOCOLS", False);
    x11.wmDeleteWindow = XInternAtom(x11.display, "WM_DELETE_WINDOW", False);
    x11.wmName = XInternAtom(x11.display, "WM_NAME", False);
    x11.netWmName = XInternAtom(x11.display, "_NET_WM_NAME", False);
    x11.utf8String = XInternAtom(x11.display, "UTF8_STRING", False);
    x11.netActiveWindow = XInternAtom(x11.display, "_NET_ACTIVE_WINDOW", False);
    x11.saverClass = XInternAtom(x11.display, "_SAVER_CLASS", False);
    x11.saverMessage = XInternAtom(x11.display, "_SAVER_MESSAGE", False);
    x11.blankCursor = CreateBlankCursor();
    x11.font = XLoadQueryFont(x11.display, "fixed");
    x11.barHeight = x11.font ? x11.font->ascent + x11.font->descent + 8 : 20;
    ReadMonitorLayout();
    return true;
}

void CloseDisplay() {
    if (!x11.display) return;
    ReleaseCurrentContext();
    XCloseDisplay(x11.display);
    x11.display = nullptr;
}

void X11ExitProcess(UINT code) {
    if (InDaemonMode()) {
        // The daemon waits for the process to end; the server frees everything
        // of a closed connection, so only what is queued is sent.
        if (x11.display) XFlush(x11.display);
        _exit(static_cast<int>(DaemonExitCode(code) & 0xFF));
    }
    CloseDisplay();
    _exit(static_cast<int>(code & 0xFF));
}

void BeginErrorTrap() {
    XSync(x11.display, False);
    x11.lastError = 0;
}

bool EndErrorTrap() {
    XSync(x11.display, False);
    bool ok = x11.lastError == 0;
    x11.lastError = 0;
    return ok;
}

const XVisualInfo* GlVisual() {
    if (x11.glVisualChosen) return x11.glVisual;
    x11.glVisualChosen = true;
    // Double-buffered RGBA with 8 bits per colour and a depth buffer (the host
    // clears depth every frame); without depth, or with fewer bits, if need be.
    int withDepth[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8,   GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE,
                       8,        GLX_DEPTH_SIZE,   16,           None};
    int withoutDepth[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, None};
    int anyRgba[] = {GLX_RGBA, GLX_DOUBLEBUFFER, None};
    int* choices[] = {withDepth, withoutDepth, anyRgba};
    for (int* attributes : choices) {
        x11.glVisual = glXChooseVisual(x11.display, x11.screen, attributes);
        if (x11.glVisual) break;
    }
    if (x11.glVisual) {
        x11.glColormap = XCreateColormap(x11.display, x11.root, x11.glVisual->visual, AllocNone);
    }
    return x11.glVisual;
}

}  // namespace plat
