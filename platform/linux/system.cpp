// System services of the Linux programs, the same on X11 and Wayland: command
// line, version, clocks, sleep and the fault guard. Power status and the
// screen-saver-running flag do not exist here. The clocks are the window
// system's (its tick count drives the timers).
#include "platform/linux/system.h"

#include <sched.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <initializer_list>

#include "platform/emulated/backend.h"

namespace plat {

namespace {

const char* commandLine = "";
void (*escapeHandler)() = nullptr;

void OnFault(int) {
    if (escapeHandler) escapeHandler();
    _exit(255);
}

}  // namespace

void WriteDiagnostic(const char* line) {
    if (line) std::fprintf(stderr, "%s\n", line);
}

void SetCommandLine(const char* text) { commandLine = text ? text : ""; }

const char* GetCommandLineA() { return commandLine; }

void GetStartupInfoA(STARTUPINFOA* info) {
    if (!info) return;
    info->dwFlags = 0;
    info->wShowWindow = 0;
}

BOOL GetVersionExA(OSVERSIONINFOA* info) {
    if (!info || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) return 0;
    info->dwMajorVersion = 5;
    info->dwMinorVersion = 1;
    info->dwBuildNumber = 2600;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    return 1;
}

void GetSystemTime(SYSTEMTIME* time) {
    if (!time) return;
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm utc;
    gmtime_r(&now.tv_sec, &utc);
    time->wYear = static_cast<WORD>(utc.tm_year + 1900);
    time->wMonth = static_cast<WORD>(utc.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(utc.tm_wday);
    time->wDay = static_cast<WORD>(utc.tm_mday);
    time->wHour = static_cast<WORD>(utc.tm_hour);
    time->wMinute = static_cast<WORD>(utc.tm_min);
    time->wSecond = static_cast<WORD>(utc.tm_sec > 59 ? 59 : utc.tm_sec);
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}

DWORD GetTickCount() { return emu::BackendTickMs(); }

DWORD timeGetTime() { return emu::BackendTickMs(); }

void Sleep(DWORD ms) {
    if (ms == 0) {
        sched_yield();
        return;
    }
    timespec delay = {static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&delay, &delay) != 0 && errno == EINTR) {
    }
}

BOOL GetSystemPowerStatus(SYSTEM_POWER_STATUS*) { return 0; }

BOOL SystemParametersInfoA(UINT, UINT, void*, UINT) { return 0; }

// A fault in the body ends the process with -1 after onEscape, as the
// unhandled-exception filter does on Win32.
int RunGuarded(int (*body)(void*), void* context, void (*onEscape)()) {
    escapeHandler = onEscape;
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = OnFault;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    for (int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) sigaction(fault, &action, nullptr);
    return body(context);
}

}  // namespace plat
