// Runs one deliverable's SaverMain on a fresh headless platform.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "tests/deliverables/expected.h"
#include "tests/spine/probe_effect.h"

// Expectations that differ between deliverables come from `expected`, the table
// of the deliverable under test.
//
// Resets the platform, the recording GL and the probe; the caller then schedules
// input and calls Run.
headless::Config FreshConfig();
void Prepare(const headless::Config& config = FreshConfig());
int RunSaver(const char* args);

// Called after every frame of the next run (Prepare clears it).
void OnFrame(std::function<void(int frame)> hook);

// The newest window of a class, live now or seen during the last frame of the
// run, or a record with a null handle.
headless::WindowInfo FindWindowInfo(const std::string& className);
bool HasWindowOfClass(const std::string& className);

headless::Event Key(int vk = 'A');
headless::Event MoveBy(int dx, int dy);
headless::Event Simple(headless::Input input, std::intptr_t a = 0);
headless::Event Msg(unsigned message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0);
// The decimal number of a window handle, as a command line gives it.
std::string HandleText(plat::HWND window);
