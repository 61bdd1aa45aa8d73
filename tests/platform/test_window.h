// A window whose procedure records every message it gets, for tests of the
// emulated window system.
#pragma once

#include <vector>

#include "platform/headless/headless.h"
#include "platform/platform.h"

struct SeenMessage {
    plat::HWND window;
    plat::UINT message;
    plat::WPARAM wParam;
    plat::LPARAM lParam;
};

// Every message the recording procedure received, in order.
extern std::vector<SeenMessage> seen;
// What the procedure returns for WM_CREATE (0 or -1).
extern plat::LRESULT createResult;

plat::LRESULT SAVER_CALLBACK RecordingProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                           plat::LPARAM lParam);

// headless::Reset with `config`, forgets the messages and registers the class "Test".
void StartFresh(const headless::Config& config = headless::Config());
plat::HWND MakeWindow(const char* title = "window", plat::DWORD style = plat::WS_POPUP | plat::WS_VISIBLE,
                      plat::HWND parent = nullptr, int width = 320, int height = 200);
// How many of the recorded messages were `message` (for `window` unless null).
int CountSeen(plat::UINT message, plat::HWND window = nullptr);
// Takes every posted message that is waiting, in order; paint and timer messages
// are consumed and left out.
std::vector<plat::MSG> TakePosted();
plat::LPARAM PointParam(int x, int y);
