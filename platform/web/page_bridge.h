// The page's side of the web backend, written in JavaScript (page_bridge.js) and
// linked into each module: its canvas, its events, its WebGL context and what it
// is told about frames, messages and the end of the run.
#pragma once

extern "C" {

// An event of the page, waiting for the saver's message loop.
enum WebEventKind {
    kWebEventKey = 1,         // a = the key's code
    kWebEventButton = 2,      // a = 0 left, 1 right, 2 middle
    kWebEventMove = 3,        // the pointer is at screen (a, b)
    kWebEventDeactivate = 4,  // the page lost the focus or left full screen
    kWebEventResize = 5,      // the canvas's drawing buffer is now a x b pixels
};

struct WebEvent {
    int kind;
    int a;
    int b;
};

// Takes the oldest waiting event; 0 when none waits.
int web_take_event(WebEvent* event);
int web_canvas_width();
int web_canvas_height();
// True while the page wants no frames (hidden, or another saver runs full screen).
int web_display_asleep();

// Hides the pointer over the canvas (CSS cursor "none") or shows it again.
void web_set_cursor_hidden(int hidden);

// A WebGL 1 context on the canvas for the legacy GL emulation: no alpha, no
// antialiasing, the drawing buffer kept between frames. 0 when WebGL is missing.
int web_create_context();
int web_make_current(int context);  // 0: none current
void web_delete_context(int context);

// The emulation's part of an attribute-stack entry (gl_gaps.cpp): saved on push,
// restored on pop, at most 16 deep (the caller keeps the depth).
void web_push_gl_state();
void web_pop_gl_state();

void web_frame_presented(int frames, int held);
void web_show_message(const char* caption, const char* text);
void web_saver_ended(int code);
}
