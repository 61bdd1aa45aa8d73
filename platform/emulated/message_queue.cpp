// The thread's message queue: posted messages in order, the quit state, sent
// messages, retrieval with filters, dispatch and registered window messages.
//
// Retrieval follows Win32's priorities: posted messages passing the filters, then the
// quit message (whatever the window filter), then WM_PAINT for a window that needs
// painting, then WM_TIMER of a due timer. Paint and timer messages are generated on
// retrieval, so at most one of each is ever pending.
#include <strings.h>

#include <cstring>

#include "platform/emulated/emulated.h"

namespace plat {
namespace emu {
namespace {

constexpr UINT kFirstRegisteredMessage = 0xC000;

struct MessageQueue {
    MSG messages[kMaxQueued];
    int count;
    bool quitPending;
    int quitCode;
    char registered[kMaxWindowMessages][kClassNameMax];
    int registeredCount;
};

MessageQueue queue;

bool Append(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (queue.count == kMaxQueued) return false;
    MSG& msg = queue.messages[queue.count++];
    msg = MSG{window, message, wParam, lParam, BackendTickMs(), {0, 0}};
    GetCursorPos(&msg.pt);
    return true;
}

void RemoveAt(int index) {
    for (int i = index + 1; i < queue.count; ++i) queue.messages[i - 1] = queue.messages[i];
    --queue.count;
}

bool Retrieve(MSG* msg, HWND window, UINT filterMin, UINT filterMax, bool remove) {
    for (int i = 0; i < queue.count; ++i) {
        const MSG& queued = queue.messages[i];
        if (!PassesMessageFilter(queued.message, filterMin, filterMax)) continue;
        if (window != nullptr && (queued.hwnd == nullptr || !PassesWindowFilter(window, queued.hwnd))) continue;
        *msg = queued;
        if (remove) RemoveAt(i);
        return true;
    }
    if (queue.quitPending && PassesMessageFilter(WM_QUIT, filterMin, filterMax)) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, BackendTickMs(), {0, 0}};
        GetCursorPos(&msg->pt);
        if (remove) queue.quitPending = false;
        return true;
    }
    if (PassesMessageFilter(WM_PAINT, filterMin, filterMax) && TakePaintMessage(window, msg)) return true;
    if (PassesMessageFilter(WM_TIMER, filterMin, filterMax) && TakeTimerMessage(window, remove, msg)) return true;
    return false;
}

}  // namespace

void ResetQueue() { queue = MessageQueue(); }

void DropQueuedMessages(HWND window) {
    for (int i = queue.count - 1; i >= 0; --i)
        if (queue.messages[i].hwnd == window) RemoveAt(i);
}

void QueueMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageA(window, message, wParam, lParam);
}

bool IsMessageQueued(HWND window, UINT message) {
    for (int i = 0; i < queue.count; ++i)
        if (queue.messages[i].hwnd == window && queue.messages[i].message == message) return true;
    return false;
}

}  // namespace emu

using emu::queue;

BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
    if (msg == nullptr) return -1;
    for (;;) {
        if (window != nullptr && emu::LookupWindow(window) == nullptr) return -1;
        emu::BackendPoll();
        if (emu::Retrieve(msg, window, filterMin, filterMax, true)) return msg->message == WM_QUIT ? 0 : 1;
        DWORD wait = emu::kWaitCapMs;
        if (emu::PassesMessageFilter(WM_TIMER, filterMin, filterMax)) wait = emu::MsUntilNextTimer(window, wait);
        emu::BackendWait(wait > 0 ? wait : 1);
    }
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (msg == nullptr) return 0;
    if (window != nullptr && emu::LookupWindow(window) == nullptr) return 0;
    emu::BackendPoll();
    return emu::Retrieve(msg, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0) ? 1 : 0;
}

// Characters arrive from the backends as WM_CHAR of their own; nothing is generated.
BOOL TranslateMessage(const MSG* msg) {
    if (msg == nullptr) return 0;
    return msg->message == WM_KEYDOWN || msg->message == WM_KEYUP || msg->message == WM_SYSKEYDOWN ||
                   msg->message == WM_SYSKEYUP
               ? 1
               : 0;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg == nullptr) return 0;
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        // Only the callback of a live timer is called: a posted WM_TIMER must not be
        // able to make the loop jump to an arbitrary address.
        TIMERPROC callback = reinterpret_cast<TIMERPROC>(msg->lParam);
        if (!emu::IsTimerCallback(msg->hwnd, msg->wParam, callback)) return 0;
        callback(msg->hwnd, WM_TIMER, msg->wParam, emu::BackendTickMs());
        return 0;
    }
    const emu::Window* window = emu::LookupWindow(msg->hwnd);
    if (window == nullptr) return 0;
    return window->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == nullptr || emu::LookupWindow(window) != nullptr)
        return emu::Append(window, message, wParam, lParam) ? 1 : 0;
    if (emu::BackendIsForeignWindow(window)) return emu::BackendPostForeign(window, message, wParam, lParam);
    return 0;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const emu::Window* w = emu::LookupWindow(window);
    if (w == nullptr) return 0;
    return w->proc(window, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    emu::NoteCall("PostQuitMessage %d", exitCode);
    queue.quitPending = true;
    queue.quitCode = exitCode;
}

UINT RegisterWindowMessageA(const char* name) {
    if (name == nullptr || name[0] == '\0' || std::strlen(name) >= sizeof queue.registered[0]) return 0;
    for (int i = 0; i < queue.registeredCount; ++i)
        if (strcasecmp(queue.registered[i], name) == 0) return emu::kFirstRegisteredMessage + static_cast<UINT>(i);
    if (queue.registeredCount == emu::kMaxWindowMessages) return 0;
    std::strcpy(queue.registered[queue.registeredCount], name);
    return emu::kFirstRegisteredMessage + static_cast<UINT>(queue.registeredCount++);
}

}  // namespace plat
