// What the emulated layer's files share with each other (not with the backends):
// the hand-over points between windows, the posted queue, timers and menus.
#pragma once

#include "platform/emulated/backend.h"
#include "platform/emulated/controls.h"

namespace plat {
namespace emu {

constexpr int kMaxWindows = 64;
constexpr int kMaxClasses = 32;
constexpr int kMaxQueued = 256;
constexpr int kMaxTimers = 32;
constexpr int kMaxMenus = 16;
constexpr int kMaxMenuItems = 16;
constexpr int kMaxWindowMessages = 16;
constexpr DWORD kWaitCapMs = 100;  // longest sleep of GetMessageA between polls

// windows.cpp
// True when `window` passes a message retrieval's window filter: no filter, the
// filter itself, or a descendant of it.
bool PassesWindowFilter(HWND filter, HWND window);
bool PassesMessageFilter(UINT message, UINT filterMin, UINT filterMax);
// Takes the first visible window that needs painting as a WM_PAINT message.
bool TakePaintMessage(HWND filter, MSG* msg);
void NoteCall(const char* format, ...) __attribute__((format(printf, 1, 2)));

// message_queue.cpp
void ResetQueue();
void DropQueuedMessages(HWND window);

// timers.cpp
void ResetTimers();
void KillWindowTimers(HWND window);
// The first due timer passing the filters as a WM_TIMER message; with `remove` its
// next due time becomes now + period.
bool TakeTimerMessage(HWND filter, bool remove, MSG* msg);
// Milliseconds until the next timer passing the filter is due, at most `cap`.
DWORD MsUntilNextTimer(HWND filter, DWORD cap);
bool IsTimerCallback(HWND window, UINT_PTR id, TIMERPROC callback);

// menus.cpp
void ResetMenus();

}  // namespace emu
}  // namespace plat
