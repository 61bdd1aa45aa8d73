// Controls of the emulated window system that only the headless platform uses,
// to run many programs in one process and to observe and fail calls. A real
// process never needs them.
#pragma once

namespace plat {
namespace emu {

// Clears every table (windows, classes, queue, quit state, timers, menus).
void ResetWindowSystem();
// Optional observer of notable calls served here, one line each: "SetTimer <id>
// <period>", "KillTimer <id>", "PostQuitMessage <code>", "SetCursor hidden" or
// "SetCursor shown", "SetForegroundWindow", "ReleaseDC". Null (the default) observes
// nothing; headless records them in its call log.
void SetCallObserver(void (*observer)(const char* line));
// While on, SetTimer fails and returns 0 (headless failSetTimer).
void SetTimersFail(bool fail);

}  // namespace emu
}  // namespace plat
