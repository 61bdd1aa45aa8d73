// State and hand-over points of the web backend's files: the page's settings, the
// canvas as the saver's screen, the frame count and the pointer.
//
// A page runs one program (one module instance) per canvas. The canvas is the
// saver's whole screen: the screen metrics report its size, so the host's
// saver-mode projection fills it. To the emulated window system the canvas is a
// window of another program (number kCanvasWindow): the preview ("p") is its
// child, as a preview inside a daemon's window is on X11.
//
// Has: preview of the canvas, full-screen saver with the page's key, button,
// pointer and focus events, WebGL through the legacy GL emulation, the page's
// clock, a fixed seed and a frame limit for reproducible pictures. Lacks
// (reported absent to callers): the windowed demo (a browser cannot run its
// idle loop), message boxes as windows (shown as page text), power events, the
// Windows 9x family and its password provider, registry, loadable libraries,
// icons, a program file.
#pragma once

#include <cstdint>

#include "platform/emulated/backend.h"

namespace web {

constexpr plat::DWORD kCanvasWindow = 1;  // the canvas's window number ("p 1")
// The page's parser reads these two (page/assemble.cmake writes them into it).
constexpr int kMaxSeed = 59 + 59 + 999;  // minute + second + millisecond
constexpr int kMaxFrames = 100000000;    // --frames N: the largest N
constexpr int kFramePeriodMs = 10;       // the frame timer's pace (its floor)

enum class RunMode {
    Preview,     // the shell's preview of the canvas: draws, ignores input
    FullScreen,  // the shell's full-screen saver: input ends it
};

// What the page asks for, as the module's arguments (main.cpp).
struct PageOptions {
    RunMode mode = RunMode::Preview;
    int seed = -1;       // 0..kMaxSeed: the clock reads as the renderer's does; -1: the real clock
    int frameLimit = 0;  // > 0: the saver holds still after this frame
    int cursorX = 0;     // the pointer on the screen when the saver starts
    int cursorY = 0;
};

struct State {
    PageOptions options;
    int frames = 0;                    // SwapBuffers calls
    bool held = false;                 // the frame limit was reached: no more frames
    bool presentedSinceYield = false;  // a frame was presented since the loop last yielded
    plat::POINT cursor = {0, 0};
    plat::HWND foreground = nullptr;
    int contexts = 0;  // GL contexts made (one canvas has one)
};

extern State state;

// system.cpp: what GetCommandLineA returns.
void SetCommandLine(const char* text);

plat::HWND CanvasWindow();
// The canvas's drawing-buffer size in pixels: the saver's screen.
int CanvasWidth();
int CanvasHeight();
// Milliseconds on the clock the saver reads: with a fixed seed, the renderer's
// virtual clock (frame period times frames presented); else the page's clock.
std::uint64_t SaverClockMs();

}  // namespace web
