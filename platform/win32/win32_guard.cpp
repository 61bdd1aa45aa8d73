// RunGuarded: a fault that escapes the body is reported the platform's way and
// ends the process with -1.
//
// HACK: g++ has no __try/__except, so the guard is a top-level exception filter
// installed for the duration of the body. When it is reached, it removes itself
// (the platform's UnhandledExceptionFilter calls the top-level filter, which
// would otherwise be this one again) and lets the platform decide, as an
// __except filter calling UnhandledExceptionFilter would.
#include "platform/win32/win32_convert.h"

namespace {

struct GuardState {
    LPTOP_LEVEL_EXCEPTION_FILTER previous;
    void (*onEscape)();
};

GuardState guard;

LONG WINAPI GuardFilter(EXCEPTION_POINTERS* info) {
    ::SetUnhandledExceptionFilter(guard.previous);
    const LONG verdict = ::UnhandledExceptionFilter(info);
    if (verdict == EXCEPTION_EXECUTE_HANDLER) {
        if (guard.onEscape) guard.onEscape();
        ::ExitProcess(static_cast<UINT>(-1));
    }
    // Resumed (a debugger or a fix-up handled the fault): guard the body again.
    // Otherwise the fault passes on and the platform ends the process.
    if (verdict == EXCEPTION_CONTINUE_EXECUTION) ::SetUnhandledExceptionFilter(GuardFilter);
    return verdict;
}

}  // namespace

namespace plat {

int RunGuarded(int (*body)(void*), void* context, void (*onEscape)()) {
    guard.onEscape = onEscape;
    guard.previous = ::SetUnhandledExceptionFilter(GuardFilter);
    const int result = body(context);
    ::SetUnhandledExceptionFilter(guard.previous);
    guard.onEscape = nullptr;
    return result;
}

}  // namespace plat
