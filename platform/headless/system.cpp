// System, screen and dialog services of the headless platform: the virtual clock as
// the system sees it, the configured screen and cursor, recorded message boxes.
#include <cstdlib>
#include <cstring>

#include "platform/headless/headless_state.h"

namespace {

using headless::internal::Log;
using headless::internal::state;

constexpr std::int64_t kMsPerDay = 86400000;

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t* y, unsigned* m, unsigned* d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = static_cast<std::int64_t>(yoe) + era * 400 + (*m <= 2);
}

unsigned Clamp(unsigned v, unsigned lo, unsigned hi) { return v < lo ? lo : (v > hi ? hi : v); }

// A configured screen area, or the primary screen at (0, 0) when none is set.
headless::ScreenArea Area(const headless::ScreenArea& configured) {
    if (configured.width >= 0) return configured;
    return {0, 0, state.config.screenWidth, state.config.screenHeight};
}

}  // namespace

namespace plat {

HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u));

BOOL GetCursorPos(POINT* point) {
    if (point == nullptr) return 0;
    *point = state.cursor;
    return 1;
}

int GetSystemMetrics(int index) {
    const headless::ScreenArea v = Area(state.config.virtualScreen);
    switch (index) {
        case SM_CXSCREEN:
            return state.config.screenWidth;
        case SM_CYSCREEN:
            return state.config.screenHeight;
        case SM_XVIRTUALSCREEN:
            return v.x;
        case SM_YVIRTUALSCREEN:
            return v.y;
        case SM_CXVIRTUALSCREEN:
            return v.width;
        case SM_CYVIRTUALSCREEN:
            return v.height;
        default:
            return 0;
    }
}

int GetClipBox(HDC dc, RECT* rect) {
    const headless::ScreenArea box = Area(state.config.screenClipBox);
    return emu::ClipBoxOf(dc, RECT{box.x, box.y, box.x + box.width, box.y + box.height}, rect);
}

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    constexpr int IDOK = 1;
    std::string t = text != nullptr ? text : "";
    std::string c = caption != nullptr ? caption : "";
    Log("MessageBoxA " + c + ": " + t);
    state.messageBoxes.push_back({owner, t, c, type});
    return IDOK;
}

void WriteDiagnostic(const char* line) { state.diagnostics.push_back(line != nullptr ? line : ""); }

INT_PTR DialogBoxParamA(HINSTANCE, std::uintptr_t, HWND owner, DLGPROC, LPARAM) {
    Log("DialogBoxParamA " + std::to_string(reinterpret_cast<std::uintptr_t>(owner)));
    return -1;  // no dialog templates exist
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
    Log("InitCommonControlsEx");
    return init != nullptr ? 1 : 0;
}

const char* GetCommandLineA() { return state.config.commandLine.c_str(); }

void GetStartupInfoA(STARTUPINFOA* info) {
    if (info != nullptr) *info = STARTUPINFOA{0, 0};
}

BOOL GetVersionExA(OSVERSIONINFOA* info) {
    if (info == nullptr || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return 0;
    if (state.config.win9xFamily) {
        *info = OSVERSIONINFOA{sizeof(OSVERSIONINFOA), 4, 10, 0x040A08AEu, VER_PLATFORM_WIN32_WINDOWS, " A "};
    } else {
        *info = OSVERSIONINFOA{sizeof(OSVERSIONINFOA), 5, 1, 2600, VER_PLATFORM_WIN32_NT, ""};
    }
    return 1;
}

void GetSystemTime(SYSTEMTIME* time) {
    if (time == nullptr) return;
    const SYSTEMTIME& utc = state.config.utc;
    std::int64_t days = DaysFromCivil(utc.wYear, Clamp(utc.wMonth, 1, 12), Clamp(utc.wDay, 1, 31));
    std::int64_t ms = days * kMsPerDay + ((utc.wHour * 60 + utc.wMinute) * 60 + utc.wSecond) * 1000 +
                      utc.wMilliseconds + static_cast<std::int64_t>(state.nowMs);
    days = ms / kMsPerDay;
    std::int64_t inDay = ms % kMsPerDay;
    std::int64_t year;
    unsigned month, day;
    CivilFromDays(days, &year, &month, &day);
    time->wYear = static_cast<WORD>(year);
    time->wMonth = static_cast<WORD>(month);
    time->wDay = static_cast<WORD>(day);
    time->wDayOfWeek = static_cast<WORD>((days % 7 + 11) % 7);  // 1970-01-01 was a Thursday (4)
    time->wHour = static_cast<WORD>(inDay / 3600000);
    time->wMinute = static_cast<WORD>(inDay / 60000 % 60);
    time->wSecond = static_cast<WORD>(inDay / 1000 % 60);
    time->wMilliseconds = static_cast<WORD>(inDay % 1000);
}

DWORD GetTickCount() { return emu::BackendTickMs(); }

DWORD timeGetTime() { return emu::BackendTickMs(); }

void Sleep(DWORD ms) { state.nowMs += ms; }

BOOL GetSystemPowerStatus(SYSTEM_POWER_STATUS* status) {
    if (status == nullptr || state.acLineStatus < 0) return 0;
    *status = SYSTEM_POWER_STATUS{static_cast<BYTE>(state.acLineStatus), 255, 255, 0, 0xFFFFFFFFu, 0xFFFFFFFFu};
    return 1;
}

BOOL SystemParametersInfoA(UINT action, UINT param, void* value, UINT) {
    Log("SystemParametersInfoA " + std::to_string(action) + " " + std::to_string(param));
    if (action == SPI_SETSCREENSAVERRUNNING) {
        UINT previous = state.screenSaverRunning ? 1 : 0;
        if (value != nullptr) std::memcpy(value, &previous, sizeof previous);
        state.screenSaverRunning = param != 0;
    }
    return 1;
}

void ExitProcess(UINT code) { std::exit(static_cast<int>(code)); }

// Faults are not caught here: a test or a sanitizer should see them where they happen.
int RunGuarded(int (*body)(void*), void* context, void (*)()) { return body(context); }

}  // namespace plat
