// The GL host: GL start and stop on a window, the projection, one frame with the
// fade overlay, the saver window procedure, and the windowed demo.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Process-wide host state, one instance (there is only ever one GL window).
struct HostState {
    plat::HDC deviceContext = nullptr;
    plat::HGLRC renderContext = nullptr;
    plat::UINT_PTR timerId = 0;
    std::uint8_t demoMode = 0;
    int viewWidth = 0;
    int viewHeight = 0;
    int demoWidth = 0;
    int demoHeight = 0;
};

extern HostState host;

bool StartGL(plat::HWND window);
void StopGL(plat::HWND window);
void ResizeView(int width, int height);
// Saver mode, on WM_SIZE: when the screen's size (the metrics the first projection
// was set from) changed, sets the projection again from the new size. A daemon's
// window is the whole screen of an X11 saver, and it may change size.
void FollowScreenSize();
void RenderFrame();
void SAVER_CALLBACK FrameTimerTick(plat::HWND window, plat::UINT message, plat::UINT_PTR id, plat::DWORD time);
// Begins and ends painting at once: validates the window; drawing happens only in
// RenderFrame.
void ValidateWithoutDrawing(plat::HWND window);
plat::LRESULT SaverWindowProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam);
// Provided by the shell: the last procedure of the saver window's chain, which
// SaverWindowProc hands every message it does not answer.
plat::LRESULT DefaultSaverProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam);
plat::INT_PTR SAVER_CALLBACK ConfigureDialogProc(plat::HWND dialog, plat::UINT message, plat::WPARAM wParam,
                                                 plat::LPARAM lParam);

// The windowed demo.
struct DemoState {
    int demoClosed = 0;
    int demoX = 0;
    int demoY = 0;
    plat::HWND demoWindow = nullptr;
    plat::HMENU menuBar = nullptr;
    plat::HMENU fileMenu = nullptr;
    plat::HMENU optionsMenu = nullptr;
    plat::HMENU aboutMenu = nullptr;
};

extern DemoState demo;

constexpr plat::UINT kQuitCommand = 10;
constexpr plat::UINT kDotCommand = 11;

int PrepareConfigure(plat::HINSTANCE instance);
plat::LRESULT SAVER_CALLBACK DemoWindowProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                            plat::LPARAM lParam);
