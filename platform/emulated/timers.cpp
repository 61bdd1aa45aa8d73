// Window and thread timers. A timer never piles up: when it is due the queue yields
// one WM_TIMER for it, and taking that message schedules the next one a full period
// later. Times are compared on the wrapping 32-bit tick count.
#include "platform/emulated/emulated.h"
#include "platform/posix/startup_trace.h"

namespace plat {
namespace emu {
namespace {

constexpr DWORD kTimerCeilingMs = 0x7FFFFFFF;  // USER_TIMER_MAXIMUM

struct Timer {
    bool used;
    HWND window;  // null for a thread timer
    UINT_PTR id;
    DWORD periodMs;
    DWORD dueMs;
    TIMERPROC callback;
};

struct TimerTable {
    Timer timers[kMaxTimers];
    bool fail;
};

TimerTable timerTable;

// Signed distance from `now` to `due`: negative or zero when the timer is due.
std::int32_t MsUntil(DWORD due, DWORD now) { return static_cast<std::int32_t>(due - now); }

Timer* Find(HWND window, UINT_PTR id) {
    for (Timer& t : timerTable.timers)
        if (t.used && t.window == window && t.id == id) return &t;
    return nullptr;
}

UINT_PTR UnusedThreadTimerId() {
    for (UINT_PTR id = 1;; ++id)
        if (Find(nullptr, id) == nullptr) return id;
}

bool Passes(const Timer& timer, HWND filter) {
    if (filter == nullptr) return true;
    return timer.window != nullptr && PassesWindowFilter(filter, timer.window);
}

}  // namespace

void ResetTimers() {
    bool fail = timerTable.fail;
    timerTable = TimerTable();
    timerTable.fail = fail;
}

void SetTimersFail(bool fail) { timerTable.fail = fail; }

void KillWindowTimers(HWND window) {
    for (Timer& t : timerTable.timers)
        if (t.used && t.window == window) t = Timer();
}

bool TakeTimerMessage(HWND filter, bool remove, MSG* msg) {
    if (BackendDisplayAsleep()) return false;
    DWORD now = BackendTickMs();
    Timer* chosen = nullptr;
    for (Timer& t : timerTable.timers) {
        if (!t.used || !Passes(t, filter) || MsUntil(t.dueMs, now) > 0) continue;
        if (chosen == nullptr || MsUntil(t.dueMs, chosen->dueMs) < 0) chosen = &t;
    }
    if (chosen == nullptr) return false;
    *msg = MSG{chosen->window, WM_TIMER, chosen->id, reinterpret_cast<LPARAM>(chosen->callback), now, {0, 0}};
    GetCursorPos(&msg->pt);
    if (remove) chosen->dueMs = now + chosen->periodMs;
    return true;
}

DWORD MsUntilNextTimer(HWND filter, DWORD cap) {
    if (BackendDisplayAsleep()) return cap;
    DWORD now = BackendTickMs();
    DWORD wait = cap;
    for (const Timer& t : timerTable.timers) {
        if (!t.used || !Passes(t, filter)) continue;
        std::int32_t until = MsUntil(t.dueMs, now);
        if (until <= 0) return 0;
        if (static_cast<DWORD>(until) < wait) wait = static_cast<DWORD>(until);
    }
    return wait;
}

bool IsTimerCallback(HWND window, UINT_PTR id, TIMERPROC callback) {
    const Timer* t = Find(window, id);
    return t != nullptr && t->callback == callback;
}

}  // namespace emu

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC callback) {
    emu::NoteCall("SetTimer %lu %u", static_cast<unsigned long>(id), periodMs);
    if (emu::timerTable.fail) return 0;
    if (window != nullptr && emu::LookupWindow(window) == nullptr) return 0;
    if (periodMs < emu::kTimerFloorMs) periodMs = emu::kTimerFloorMs;
    if (periodMs > emu::kTimerCeilingMs) periodMs = emu::kTimerCeilingMs;

    // A thread timer keeps its identifier only when it replaces one of the thread's.
    if (window == nullptr && (id == 0 || emu::Find(nullptr, id) == nullptr)) id = emu::UnusedThreadTimerId();
    emu::Timer* timer = emu::Find(window, id);
    if (timer == nullptr) {
        for (emu::Timer& t : emu::timerTable.timers) {
            if (!t.used) {
                timer = &t;
                break;
            }
        }
    }
    if (timer == nullptr) return 0;
    *timer = emu::Timer{true, window, id, periodMs, emu::BackendTickMs() + periodMs, callback};
    NoteStartupStep(StartupStep::Timer);
    return id != 0 ? id : 1;  // a window timer with identifier 0 still reports success
}

BOOL KillTimer(HWND window, UINT_PTR id) {
    emu::NoteCall("KillTimer %lu", static_cast<unsigned long>(id));
    emu::Timer* timer = emu::Find(window, id);
    if (timer == nullptr) return 0;
    *timer = emu::Timer();
    return 1;
}

}  // namespace plat
