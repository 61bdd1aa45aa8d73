/* Reports the cursor the X server shows now: "hidden" when every pixel of the
 * current cursor image is fully transparent, else "visible <width>x<height>".
 * Exit code 0 on success, 1 when the display or XFixes is unavailable. */
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <stdio.h>

int main(void) {
    Display* display = XOpenDisplay(NULL);
    int eventBase, errorBase;
    if (!display || !XFixesQueryExtension(display, &eventBase, &errorBase)) {
        fprintf(stderr, "cursor_probe: no display or no XFixes\n");
        return 1;
    }
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (!image) {
        fprintf(stderr, "cursor_probe: no cursor image\n");
        return 1;
    }
    int opaque = 0;
    for (int i = 0; i < image->width * image->height; ++i)
        if ((image->pixels[i] >> 24) & 0xFF) ++opaque;
    if (opaque == 0)
        printf("hidden\n");
    else
        printf("visible %dx%d\n", image->width, image->height);
    XFree(image);
    XCloseDisplay(display);
    return 0;
}
