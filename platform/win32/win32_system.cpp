// Process and system services: command line, start-up and version information,
// clocks, power status, the screen-saver-running flag, process exit.
// clang-format off
#include "platform/win32/win32_convert.h"
#include <mmsystem.h>
// clang-format on

namespace plat {

const char* GetCommandLineA() { return ::GetCommandLineA(); }

void GetStartupInfoA(STARTUPINFOA* info) {
    ::STARTUPINFOA si{};
    si.cb = sizeof si;
    ::GetStartupInfoA(&si);
    info->dwFlags = si.dwFlags;
    info->wShowWindow = si.wShowWindow;
}

// The caller's dwOSVersionInfoSize is passed on, so a wrong size fails as it
// would on Win32.
BOOL GetVersionExA(OSVERSIONINFOA* info) {
    ::OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = info->dwOSVersionInfoSize;
    const BOOL ok = ::GetVersionExA(&vi);
    if (!ok) return ok;
    info->dwMajorVersion = vi.dwMajorVersion;
    info->dwMinorVersion = vi.dwMinorVersion;
    info->dwBuildNumber = vi.dwBuildNumber;
    info->dwPlatformId = vi.dwPlatformId;
    static_assert(sizeof info->szCSDVersion == sizeof vi.szCSDVersion, "same service-pack text size");
    for (std::size_t i = 0; i < sizeof vi.szCSDVersion; ++i) info->szCSDVersion[i] = vi.szCSDVersion[i];
    return ok;
}

void GetSystemTime(SYSTEMTIME* time) {
    ::SYSTEMTIME st{};
    ::GetSystemTime(&st);
    time->wYear = st.wYear;
    time->wMonth = st.wMonth;
    time->wDayOfWeek = st.wDayOfWeek;
    time->wDay = st.wDay;
    time->wHour = st.wHour;
    time->wMinute = st.wMinute;
    time->wSecond = st.wSecond;
    time->wMilliseconds = st.wMilliseconds;
}

DWORD GetTickCount() { return ::GetTickCount(); }

DWORD timeGetTime() { return ::timeGetTime(); }

void Sleep(DWORD ms) { ::Sleep(ms); }

BOOL GetSystemPowerStatus(SYSTEM_POWER_STATUS* status) {
    ::SYSTEM_POWER_STATUS ps{};
    const BOOL ok = ::GetSystemPowerStatus(&ps);
    if (!ok) return ok;
    status->ACLineStatus = ps.ACLineStatus;
    status->BatteryFlag = ps.BatteryFlag;
    status->BatteryLifePercent = ps.BatteryLifePercent;
    status->SystemStatusFlag = ps.Reserved1;
    status->BatteryLifeTime = ps.BatteryLifeTime;
    status->BatteryFullLifeTime = ps.BatteryFullLifeTime;
    return ok;
}

BOOL SystemParametersInfoA(UINT action, UINT param, void* value, UINT winIni) {
    return ::SystemParametersInfoA(action, param, value, winIni);
}

void ExitProcess(UINT code) { ::ExitProcess(code); }

}  // namespace plat
