/* Destroys an X window from another client, as xkill's window mode or a window
 * manager may do to a window it does not own: XDestroyWindow, then XSync so the
 * request has reached the server before this program ends.
 *
 * Usage: x11_destroy_window <window id, decimal or 0x hex>   (uses $DISPLAY)
 * Exits 0 when the server took the request, 1 when it refused it (no such
 * window), 2 on a bad argument or no display. */
#include <X11/Xlib.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>

static int refused;

static int RecordError(Display* display, XErrorEvent* error) {
    (void)display;
    (void)error;
    refused = 1;
    return 0;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s <window id>\n", argv[0]);
        return 2;
    }
    char* end = NULL;
    errno = 0;
    unsigned long id = strtoul(argv[1], &end, 0);
    if (errno != 0 || end == argv[1] || *end != '\0' || id == 0) {
        fprintf(stderr, "%s: not a window id: %s\n", argv[0], argv[1]);
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "%s: cannot open the X display\n", argv[0]);
        return 2;
    }
    XSetErrorHandler(RecordError);
    XDestroyWindow(display, (Window)id);
    XSync(display, False);
    XCloseDisplay(display);
    return refused ? 1 : 0;
}
