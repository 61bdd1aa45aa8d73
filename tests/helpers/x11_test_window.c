/* A window for a saver to draw on, as a screen-saver daemon or its settings
 * program gives one.
 *
 *   x11_test_window [--single-buffered | --argb | --input-only] WIDTH HEIGHT [lifetime_seconds]
 *
 * Creates a window without children at (0, 0) of the default screen, maps it,
 * prints its id in hex ("0x...") on stdout and waits until it is killed or its
 * lifetime (default 120 s) ends, so that a stray helper never outlives its test.
 * With --single-buffered the window gets a single-buffered GL visual, on which
 * a saver cannot draw double-buffered and must draw in a child of its own;
 * with --argb a 32-bit TrueColor visual with alpha, as XScreenSaver uses when
 * it finds no better GL visual; with --input-only an InputOnly window, which
 * nothing can draw on.
 * Commands on stdin, one a line: "destroy" destroys the window and exits. */
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

int main(int argc, char** argv) {
    int arg = 1;
    int singleBuffered = 0, argb = 0, inputOnly = 0;
    if (arg < argc && strcmp(argv[arg], "--single-buffered") == 0) {
        singleBuffered = 1;
        ++arg;
    } else if (arg < argc && strcmp(argv[arg], "--argb") == 0) {
        argb = 1;
        ++arg;
    } else if (arg < argc && strcmp(argv[arg], "--input-only") == 0) {
        inputOnly = 1;
        ++arg;
    }
    if (argc - arg < 2) {
        fprintf(stderr,
                "usage: x11_test_window [--single-buffered | --argb | --input-only] WIDTH HEIGHT [lifetime_seconds]\n");
        return 2;
    }
    int width = atoi(argv[arg]);
    int height = atoi(argv[arg + 1]);
    int lifetime = argc - arg > 2 ? atoi(argv[arg + 2]) : 120;
    Display* display = XOpenDisplay(NULL);
    if (!display) return 1;
    int screen = DefaultScreen(display);
    Window root = RootWindow(display, screen);

    XSetWindowAttributes attributes;
    memset(&attributes, 0, sizeof attributes);
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.override_redirect = True;
    unsigned long mask = CWBackPixel | CWOverrideRedirect;
    Visual* visual = CopyFromParent;
    int depth = CopyFromParent;
    if (singleBuffered) {
        int wanted[] = {GLX_RGBA, GLX_RED_SIZE, 1, None}; /* no GLX_DOUBLEBUFFER: single-buffered only */
        XVisualInfo* info = glXChooseVisual(display, screen, wanted);
        if (!info) {
            fprintf(stderr, "x11_test_window: no single-buffered GL visual\n");
            return 1;
        }
        visual = info->visual;
        depth = info->depth;
        attributes.colormap = XCreateColormap(display, root, visual, AllocNone);
        attributes.border_pixel = 0;
        mask |= CWColormap | CWBorderPixel;
    }
    if (argb) {
        XVisualInfo info;
        if (!XMatchVisualInfo(display, screen, 32, TrueColor, &info)) {
            fprintf(stderr, "x11_test_window: no 32-bit TrueColor visual\n");
            return 1;
        }
        visual = info.visual;
        depth = info.depth;
        attributes.colormap = XCreateColormap(display, root, visual, AllocNone);
        attributes.border_pixel = 0;
        mask |= CWColormap | CWBorderPixel;
    }
    Window window =
        inputOnly ? XCreateWindow(display, root, 0, 0, width, height, 0, 0, InputOnly, CopyFromParent,
                                  CWOverrideRedirect, &attributes)
                  : XCreateWindow(display, root, 0, 0, width, height, 0, depth, InputOutput, visual, mask, &attributes);
    XStoreName(display, window, "x11_test_window");
    XMapWindow(display, window);
    XSync(display, False);
    printf("0x%lx\n", (unsigned long)window);
    fflush(stdout);

    time_t end = time(NULL) + lifetime;
    char line[64];
    size_t used = 0;
    while (time(NULL) < end) {
        struct pollfd input = {0, POLLIN, 0};
        if (poll(&input, 1, 200) > 0) {
            ssize_t n = read(0, line + used, sizeof line - 1 - used);
            if (n <= 0) {
                sleep(1);
                continue;
            }
            used += (size_t)n;
            line[used] = '\0';
            if (strstr(line, "destroy")) break;
            if (used > sizeof line / 2) used = 0;
        }
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
        }
    }
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return 0;
}
