// Our own menu bar: a strip at the top of a window with a menu, its titles drawn
// with a core X font; clicking a title opens a small popup listing that menu's
// items, and releasing the button on an item queues WM_COMMAND with its id.
#include <cstring>

#include "platform/x11/state.h"

namespace plat {

namespace {

constexpr int kTitleLeft = 4;
constexpr int kTitlePadding = 10;
constexpr int kItemPadding = 12;

struct MenuPopup {
    ::Window window;  // None when closed
    HWND owner;
    HMENU menu;
    int titleIndex;
    int itemHeight;
    int width;
};

struct MenuPaint {
    GC gc;
    unsigned long barPixel;
    bool ready;
};

MenuPopup popup;
MenuPaint paint;

void PreparePaint() {
    if (paint.ready) return;
    paint.ready = true;
    paint.gc = XCreateGC(x11.display, x11.root, 0, nullptr);
    if (x11.font) XSetFont(x11.display, paint.gc, x11.font->fid);
    XColor grey;
    std::memset(&grey, 0, sizeof grey);
    grey.red = 0xD400;
    grey.green = 0xD000;
    grey.blue = 0xC800;
    Colormap colormap = DefaultColormap(x11.display, x11.screen);
    paint.barPixel = XAllocColor(x11.display, colormap, &grey) ? grey.pixel : WhitePixel(x11.display, x11.screen);
}

int TextWidth(const char* text) {
    int length = static_cast<int>(std::strlen(text));
    return x11.font ? XTextWidth(x11.font, text, length) : 6 * length;
}

int TextBaseline(int top, int height) {
    int ascent = x11.font ? x11.font->ascent : 10;
    int descent = x11.font ? x11.font->descent : 3;
    return top + (height - ascent - descent) / 2 + ascent;
}

void DrawText(::Window window, int x, int baseline, const char* text) {
    XSetForeground(x11.display, paint.gc, BlackPixel(x11.display, x11.screen));
    XDrawString(x11.display, window, paint.gc, x, baseline, text, static_cast<int>(std::strlen(text)));
}

int TitleWidth(const emu::MenuItem& item) { return TextWidth(item.text) + 2 * kTitlePadding; }

// The bar title under x, or -1.
int TitleAt(HMENU bar, int x, int* titleLeft) {
    int left = kTitleLeft;
    int count = emu::MenuItemCount(bar);
    for (int i = 0; i < count; ++i) {
        const emu::MenuItem* item = emu::MenuItemAt(bar, i);
        if (!item) break;
        int width = TitleWidth(*item);
        if (x >= left && x < left + width) {
            *titleLeft = left;
            return i;
        }
        left += width;
    }
    return -1;
}

void DrawPopup() {
    PreparePaint();
    XClearWindow(x11.display, popup.window);
    int count = emu::MenuItemCount(popup.menu);
    for (int i = 0; i < count; ++i) {
        const emu::MenuItem* item = emu::MenuItemAt(popup.menu, i);
        if (!item) break;
        DrawText(popup.window, kItemPadding, TextBaseline(2 + i * popup.itemHeight, popup.itemHeight), item->text);
    }
}

void OpenPopup(const Peer& peer, HMENU bar, int titleIndex, int titleLeft) {
    CloseMenuPopup();
    const emu::MenuItem* title = emu::MenuItemAt(bar, titleIndex);
    if (!title || !title->popup) return;
    int count = emu::MenuItemCount(title->popup);
    if (count <= 0) return;
    int width = 0;
    for (int i = 0; i < count; ++i) {
        const emu::MenuItem* item = emu::MenuItemAt(title->popup, i);
        if (item && TextWidth(item->text) > width) width = TextWidth(item->text);
    }
    popup.owner = peer.handle;
    popup.menu = title->popup;
    popup.titleIndex = titleIndex;
    popup.itemHeight = x11.barHeight;
    popup.width = width + 2 * kItemPadding + 20;
    int rootX = 0, rootY = 0;
    ::Window child;
    XTranslateCoordinates(x11.display, peer.outer, x11.root, titleLeft, x11.barHeight, &rootX, &rootY, &child);

    XSetWindowAttributes attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.override_redirect = True;
    attributes.background_pixel = WhitePixel(x11.display, x11.screen);
    attributes.border_pixel = BlackPixel(x11.display, x11.screen);
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask;
    popup.window = XCreateWindow(x11.display, x11.root, rootX, rootY, popup.width, count * popup.itemHeight + 4, 1,
                                 CopyFromParent, InputOutput, CopyFromParent,
                                 CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
    XMapRaised(x11.display, popup.window);
    XFlush(x11.display);
}

void ChooseItemAt(int y) {
    int index = (y - 2) / popup.itemHeight;
    const emu::MenuItem* item = y >= 2 ? emu::MenuItemAt(popup.menu, index) : nullptr;
    HWND owner = popup.owner;
    CloseMenuPopup();
    if (item && !item->popup && emu::LookupWindow(owner)) {
        emu::QueueMessage(owner, WM_COMMAND, LOWORD(item->id), 0);
    }
}

bool PopupHandlesEvent(XEvent& event) {
    switch (event.type) {
        case Expose:
            if (event.xexpose.count == 0) DrawPopup();
            return true;
        case ButtonRelease:
            ChooseItemAt(event.xbutton.y);
            return true;
        default:
            return true;
    }
}

// Presses and motion inside the strip belong to the bar, not to the client area.
bool BarHandlesEvent(XEvent& event, const Peer& peer) {
    emu::Window* window = emu::LookupWindow(peer.handle);
    if (!window) return false;
    if (event.type == ButtonPress && popup.window != None) {
        bool sameTitle = false;
        if (event.xbutton.y < x11.barHeight) {
            int left = 0;
            sameTitle = TitleAt(window->menu, event.xbutton.x, &left) == popup.titleIndex;
        }
        CloseMenuPopup();
        if (sameTitle || event.xbutton.y >= x11.barHeight) return true;
    }
    int y = 0;
    switch (event.type) {
        case ButtonPress:
        case ButtonRelease:
            y = event.xbutton.y;
            break;
        case MotionNotify:
            y = event.xmotion.y;
            break;
        case KeyPress:
            if (popup.window != None) {
                CloseMenuPopup();
                return true;
            }
            return false;
        default:
            return false;
    }
    if (y >= x11.barHeight) return false;
    if (event.type == ButtonPress && event.xbutton.button == Button1) {
        int left = 0;
        int index = TitleAt(window->menu, event.xbutton.x, &left);
        if (index >= 0) OpenPopup(peer, window->menu, index, left);
    }
    return true;
}

}  // namespace

void PaintMenuBar(Peer& peer) {
    emu::Window* window = emu::LookupWindow(peer.handle);
    if (!window || !window->menu || peer.gone) return;
    PreparePaint();
    XSetForeground(x11.display, paint.gc, paint.barPixel);
    XFillRectangle(x11.display, peer.outer, paint.gc, 0, 0, peer.outerWidth, x11.barHeight);
    XSetForeground(x11.display, paint.gc, BlackPixel(x11.display, x11.screen));
    XDrawLine(x11.display, peer.outer, paint.gc, 0, x11.barHeight - 1, peer.outerWidth, x11.barHeight - 1);
    int left = kTitleLeft;
    int count = emu::MenuItemCount(window->menu);
    for (int i = 0; i < count; ++i) {
        const emu::MenuItem* item = emu::MenuItemAt(window->menu, i);
        if (!item) break;
        DrawText(peer.outer, left + kTitlePadding, TextBaseline(0, x11.barHeight - 1), item->text);
        left += TitleWidth(*item);
    }
    XFlush(x11.display);
}

bool MenuBarHandlesEvent(XEvent& event) {
    if (popup.window != None && event.xany.window == popup.window) return PopupHandlesEvent(event);
    Peer* peer = PeerOfXWindow(event.xany.window);
    if (!peer || !peer->hasBar || peer->gone || event.xany.window != peer->outer) return false;
    return BarHandlesEvent(event, *peer);
}

void CloseMenuPopup() {
    if (popup.window == None) return;
    XDestroyWindow(x11.display, popup.window);
    XFlush(x11.display);
    std::memset(&popup, 0, sizeof popup);
}

bool IsMenuPopup(::Window window) { return window != None && window == popup.window; }

}  // namespace plat
