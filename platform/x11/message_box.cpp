// MessageBoxA: a small modal X window with the caption as title, the text and
// an "OK" button. It waits only for its own events; every other window's events
// stay in the X queue for the message loop, and no timer fires meanwhile.
#include <X11/keysym.h>

#include <cstring>

#include "platform/x11/daemon_mode.h"
#include "platform/x11/state.h"

namespace plat {

namespace {

constexpr int IDOK = 1;
constexpr int kMargin = 16;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kMinWidth = 220;
constexpr int kMaxLines = 16;

struct TextLine {
    const char* start;
    int length;
};

struct MessageBoxState {
    ::Window window;
    GC gc;
    const char* text;
    TextLine lines[kMaxLines];
    int lineCount;
    int lineHeight;
    int width, height;
    int buttonX, buttonY;
    bool armed;  // the button was pressed and not yet released
};

MessageBoxState box;

int TextWidth(const char* text, int length) { return x11.font ? XTextWidth(x11.font, text, length) : 6 * length; }

void SplitLines(const char* text) {
    box.lineCount = 0;
    const char* start = text;
    while (box.lineCount < kMaxLines) {
        const char* end = std::strchr(start, '\n');
        int length = end ? static_cast<int>(end - start) : static_cast<int>(std::strlen(start));
        box.lines[box.lineCount++] = TextLine{start, length};
        if (!end) break;
        start = end + 1;
    }
}

void Layout() {
    int ascent = x11.font ? x11.font->ascent : 10;
    int descent = x11.font ? x11.font->descent : 3;
    box.lineHeight = ascent + descent + 2;
    int textWidth = 0;
    for (int i = 0; i < box.lineCount; ++i) {
        int width = TextWidth(box.lines[i].start, box.lines[i].length);
        if (width > textWidth) textWidth = width;
    }
    box.width = textWidth + 2 * kMargin;
    if (box.width < kMinWidth) box.width = kMinWidth;
    box.buttonY = kMargin + box.lineCount * box.lineHeight + kMargin;
    box.height = box.buttonY + kButtonHeight + kMargin;
    box.buttonX = (box.width - kButtonWidth) / 2;
}

void Draw() {
    XClearWindow(x11.display, box.window);
    XSetForeground(x11.display, box.gc, BlackPixel(x11.display, x11.screen));
    int ascent = x11.font ? x11.font->ascent : 10;
    for (int i = 0; i < box.lineCount; ++i) {
        XDrawString(x11.display, box.window, box.gc, kMargin, kMargin + i * box.lineHeight + ascent, box.lines[i].start,
                    box.lines[i].length);
    }
    XDrawRectangle(x11.display, box.window, box.gc, box.buttonX, box.buttonY, kButtonWidth, kButtonHeight);
    const char* ok = "OK";
    int okWidth = TextWidth(ok, 2);
    XDrawString(x11.display, box.window, box.gc, box.buttonX + (kButtonWidth - okWidth) / 2,
                box.buttonY + (kButtonHeight + ascent) / 2 - 1, ok, 2);
    XFlush(x11.display);
}

bool InButton(int x, int y) {
    return x >= box.buttonX && x < box.buttonX + kButtonWidth && y >= box.buttonY && y < box.buttonY + kButtonHeight;
}

Bool IsBoxEvent(Display*, XEvent* event, XPointer) { return event->xany.window == box.window ? True : False; }

::Window CreateBoxWindow(const char* caption) {
    XSetWindowAttributes attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.background_pixel = WhitePixel(x11.display, x11.screen);
    attributes.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
    int x = (DisplayWidth(x11.display, x11.screen) - box.width) / 2;
    int y = (DisplayHeight(x11.display, x11.screen) - box.height) / 2;
    ::Window window = XCreateWindow(x11.display, x11.root, x, y, box.width, box.height, 0, CopyFromParent, InputOutput,
                                    CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    XStoreName(x11.display, window, caption);
    XSetWMProtocols(x11.display, window, &x11.wmDeleteWindow, 1);
    XSizeHints hints;
    std::memset(&hints, 0, sizeof hints);
    hints.flags = PPosition | PMinSize | PMaxSize;
    hints.x = x;
    hints.y = y;
    hints.min_width = hints.max_width = box.width;
    hints.min_height = hints.max_height = box.height;
    XSetWMNormalHints(x11.display, window, &hints);
    return window;
}

// Runs the box's own loop until OK is clicked, Return or Escape is pressed, or
// the box is closed.
void RunBox() {
    for (;;) {
        XEvent event;
        XIfEvent(x11.display, &event, IsBoxEvent, nullptr);
        switch (event.type) {
            case Expose:
                if (event.xexpose.count == 0) Draw();
                break;
            case MapNotify:
                BeginErrorTrap();
                XSetInputFocus(x11.display, box.window, RevertToParent, CurrentTime);
                EndErrorTrap();
                break;
            case KeyPress: {
                KeySym keysym = XLookupKeysym(&event.xkey, 0);
                if (keysym == XK_Return || keysym == XK_KP_Enter || keysym == XK_Escape || keysym == XK_space) return;
                break;
            }
            case ButtonPress:
                box.armed = event.xbutton.button == Button1 && InButton(event.xbutton.x, event.xbutton.y);
                break;
            case ButtonRelease:
                if (box.armed && InButton(event.xbutton.x, event.xbutton.y)) return;
                box.armed = false;
                break;
            case ClientMessage:
                if (static_cast<Atom>(event.xclient.data.l[0]) == x11.wmDeleteWindow) return;
                break;
            case DestroyNotify:
                return;
            default:
                break;
        }
    }
}

}  // namespace

bool IsMessageBoxWindow(::Window window) { return window != None && window == box.window; }

int X11MessageBox(HWND, const char* text, const char* caption, UINT) {
    if (InDaemonMode()) {
        // Nobody can click a box on a daemon's screen.
        ReportDaemonFailure(caption, text);
        return IDOK;
    }
    if (!x11.display || box.window != None) return IDOK;
    std::memset(&box, 0, sizeof box);
    SplitLines(text ? text : "");
    Layout();
    // A full-screen saver's grabs would keep every click and key from the box.
    if (x11.grabbed) {
        XUngrabKeyboard(x11.display, CurrentTime);
        XUngrabPointer(x11.display, CurrentTime);
        x11.grabbed = false;
    }
    CloseMenuPopup();
    box.window = CreateBoxWindow(caption ? caption : "");
    box.gc = XCreateGC(x11.display, box.window, 0, nullptr);
    if (x11.font) XSetFont(x11.display, box.gc, x11.font->fid);
    XMapRaised(x11.display, box.window);
    XFlush(x11.display);
    RunBox();
    XFreeGC(x11.display, box.gc);
    XDestroyWindow(x11.display, box.window);
    XFlush(x11.display);
    // Events of the destroyed box still queued would otherwise reach no one.
    XEvent stale;
    XSync(x11.display, False);
    while (XCheckIfEvent(x11.display, &stale, IsBoxEvent, nullptr)) {
    }
    box.window = None;
    return IDOK;
}

}  // namespace plat
