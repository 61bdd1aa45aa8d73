// System, screen and dialog services of the web platform: the canvas as the
// screen, the saver's clock, messages shown as page text, the end of the run.
#include <emscripten.h>

#include <cstdio>
#include <ctime>

#include "platform/web/page_bridge.h"
#include "platform/web/state.h"

namespace web {
namespace {

char commandLine[32] = "saver";

// The renderer's clock at virtual time 0 when the seed is fixed (headless
// render --seed): minute + second + millisecond make the seed.
plat::SYSTEMTIME SeededTime(int seed) {
    plat::SYSTEMTIME t = {2026, 12, 2, 8, 12, 0, 0, 0};
    int rest = seed;
    t.wMilliseconds = static_cast<plat::WORD>(rest < 999 ? rest : 999);
    rest -= t.wMilliseconds;
    t.wSecond = static_cast<plat::WORD>(rest < 59 ? rest : 59);
    rest -= t.wSecond;
    t.wMinute = static_cast<plat::WORD>(rest);
    return t;
}

}  // namespace

void SetCommandLine(const char* text) { std::snprintf(commandLine, sizeof commandLine, "%s", text); }

}  // namespace web

namespace plat {

using web::state;

HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u));

BOOL GetCursorPos(POINT* point) {
    if (point == nullptr) return 0;
    *point = state.cursor;
    return 1;
}

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
        case SM_CXVIRTUALSCREEN:
            return web::CanvasWidth();
        case SM_CYSCREEN:
        case SM_CYVIRTUALSCREEN:
            return web::CanvasHeight();
        default:
            return 0;  // the virtual screen starts at (0, 0)
    }
}

int GetClipBox(HDC dc, RECT* rect) {
    return emu::ClipBoxOf(dc, RECT{0, 0, web::CanvasWidth(), web::CanvasHeight()}, rect);
}

// A page cannot stop for a modal box: the page shows the text, the run goes on
// as it does after OK.
int MessageBoxA(HWND, const char* text, const char* caption, UINT) {
    constexpr int IDOK = 1;
    web_show_message(caption != nullptr ? caption : "", text != nullptr ? text : "");
    return IDOK;
}

void WriteDiagnostic(const char* line) { std::fprintf(stderr, "%s\n", line != nullptr ? line : ""); }

INT_PTR DialogBoxParamA(HINSTANCE, std::uintptr_t, HWND, DLGPROC, LPARAM) { return -1; }

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) { return init != nullptr ? 1 : 0; }

const char* GetCommandLineA() { return web::commandLine; }

void GetStartupInfoA(STARTUPINFOA* info) {
    if (info != nullptr) *info = STARTUPINFOA{0, 0};
}

BOOL GetVersionExA(OSVERSIONINFOA* info) {
    if (info == nullptr || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return 0;
    *info = OSVERSIONINFOA{sizeof(OSVERSIONINFOA), 10, 0, 0, VER_PLATFORM_WIN32_NT, ""};
    return 1;
}

void GetSystemTime(SYSTEMTIME* time) {
    if (time == nullptr) return;
    if (state.options.seed >= 0) {
        // Only the start is read (the seed); later reads add the saver's clock.
        const SYSTEMTIME start = web::SeededTime(state.options.seed);
        const std::uint64_t ms =
            start.wMilliseconds + 1000u * (start.wSecond + 60u * start.wMinute) + web::SaverClockMs();
        *time = start;
        time->wMilliseconds = static_cast<WORD>(ms % 1000);
        time->wSecond = static_cast<WORD>(ms / 1000 % 60);
        time->wMinute = static_cast<WORD>(ms / 60000 % 60);
        time->wHour = static_cast<WORD>(start.wHour + ms / 3600000);
        return;
    }
    timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    tm utc = {};
    gmtime_r(&now.tv_sec, &utc);
    time->wYear = static_cast<WORD>(utc.tm_year + 1900);
    time->wMonth = static_cast<WORD>(utc.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(utc.tm_wday);
    time->wDay = static_cast<WORD>(utc.tm_mday);
    time->wHour = static_cast<WORD>(utc.tm_hour);
    time->wMinute = static_cast<WORD>(utc.tm_min);
    time->wSecond = static_cast<WORD>(utc.tm_sec);
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}

DWORD GetTickCount() {
    if (state.options.seed >= 0) return static_cast<DWORD>(state.options.seed + web::SaverClockMs());
    return emu::BackendTickMs();
}

DWORD timeGetTime() { return GetTickCount(); }

// Sleep(0) gives up the rest of a time slice: nothing to give on a page, whose
// loop yields in its waits. Longer sleeps let the browser run meanwhile.
void Sleep(DWORD ms) {
    if (ms > 0) emscripten_sleep(ms);
}

BOOL GetSystemPowerStatus(SYSTEM_POWER_STATUS*) { return 0; }

BOOL SystemParametersInfoA(UINT action, UINT, void* value, UINT) {
    if (action == SPI_SETSCREENSAVERRUNNING && value != nullptr) *static_cast<UINT*>(value) = 0;
    return 1;
}

void ExitProcess(UINT code) {
    web_saver_ended(static_cast<int>(code));
    emscripten_force_exit(static_cast<int>(code));
}

// A fault ends the module; the page reports it (onAbort).
int RunGuarded(int (*body)(void*), void* context, void (*)()) { return body(context); }

}  // namespace plat
