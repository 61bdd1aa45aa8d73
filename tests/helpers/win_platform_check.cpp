// Checks of the win32 platform library under a real Win32 (Wine): each seam call
// must reach the Win32 call of its name with the values intact, converting
// handles, structures and callbacks in both directions. Prints "ok - <what>" or
// "not ok - <what>" per check and exits with the number of failures.
//
// Expects a 1024 x 768 screen and a fresh Wine prefix's "Control Panel\Desktop".
// With the argument "fault", runs a body under RunGuarded that writes through a
// null pointer, with the platform's fault box off: onEscape prints "escaped" and
// the process must end with -1.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/gl.h"
#include "platform/platform.h"

namespace {

int failures = 0;

void Check(bool passed, const char* what) {
    std::printf("%s - %s\n", passed ? "ok" : "not ok", what);
    std::fflush(stdout);
    if (!passed) ++failures;
}

// What the test window procedure and the timer callback saw.
struct Seen {
    plat::HWND createWindow;
    bool createInsideCall;
    bool creating;
    int destroys;
    plat::WPARAM appWParam;
    plat::LPARAM appLParam;
    int timerTicks;
    plat::HWND timerWindow;
    plat::UINT timerMessage;
    plat::UINT_PTR timerId;
};

Seen seen;

plat::LRESULT SAVER_CALLBACK CheckWindowProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                             plat::LPARAM lParam) {
    switch (message) {
        case plat::WM_CREATE:
            seen.createWindow = window;
            seen.createInsideCall = seen.creating;
            return 0;
        case plat::WM_DESTROY:
            ++seen.destroys;
            return 0;
        case plat::WM_APP + 1:
            seen.appWParam = wParam;
            seen.appLParam = lParam;
            return 0;
        case plat::WM_APP + 2:
            return lParam * 2 + static_cast<plat::LRESULT>(wParam);
        default:
            return plat::DefWindowProcA(window, message, wParam, lParam);
    }
}

void SAVER_CALLBACK CheckTimerProc(plat::HWND window, plat::UINT message, plat::UINT_PTR id, plat::DWORD) {
    ++seen.timerTicks;
    seen.timerWindow = window;
    seen.timerMessage = message;
    seen.timerId = id;
}

plat::INT_PTR SAVER_CALLBACK CheckDialogProc(plat::HWND, plat::UINT, plat::WPARAM, plat::LPARAM) { return 1; }

plat::HWND CreateCheckWindow(const char* title, int width, int height) {
    seen.creating = true;
    const plat::HWND window =
        plat::CreateWindowExA(0, "SaverPlatformCheck", title, plat::WS_POPUP | plat::WS_VISIBLE, 10, 10, width, height,
                              nullptr, nullptr, plat::GetModuleHandleA(nullptr), nullptr);
    seen.creating = false;
    return window;
}

void CheckWindows() {
    plat::WNDCLASSA wc{};
    wc.style = plat::CS_OWNDC;
    wc.lpfnWndProc = CheckWindowProc;
    wc.hInstance = plat::GetModuleHandleA(nullptr);
    wc.hbrBackground = plat::GetStockObject(plat::BLACK_BRUSH);
    wc.lpszClassName = "SaverPlatformCheck";
    Check(plat::RegisterClassA(&wc) != 0, "RegisterClassA registers a class");

    const plat::HWND window = CreateCheckWindow("Platform check", 200, 150);
    Check(window != nullptr && plat::IsWindow(window), "CreateWindowExA returns a live window");
    Check(seen.createInsideCall && seen.createWindow == window,
          "WM_CREATE reaches the procedure inside CreateWindowExA with the returned handle");

    // Window handles travel on command lines as 32-bit decimal numbers.
    const auto number = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window));
    Check(plat::HandleFromNumber(number) == window, "HandleFromNumber gives the window back from its 32-bit number");
    Check(plat::HandleFromNumber(0xFFFFFFFDu) == reinterpret_cast<plat::HWND>(static_cast<std::intptr_t>(-3)),
          "HandleFromNumber widens a number with the top bit set as Win32 widens handles (4294967293 is "
          "HWND_MESSAGE, -3)");

    plat::RECT client{-1, -1, -1, -1};
    Check(plat::GetClientRect(window, &client) && client.left == 0 && client.top == 0 && client.right == 200 &&
              client.bottom == 150,
          "GetClientRect of a 200 x 150 popup is (0, 0, 200, 150)");
    Check(plat::FindWindowA("SaverPlatformCheck", "Platform check") == window,
          "FindWindowA finds it by class and title");
    Check(plat::FindWindowA("SaverPlatformCheck", "No such title") == nullptr,
          "FindWindowA gives null for another title");

    const plat::HWND child =
        plat::CreateWindowExA(0, "SaverPlatformCheck", "Child", plat::WS_CHILD | plat::WS_VISIBLE, 0, 0, 20, 20, window,
                              nullptr, plat::GetModuleHandleA(nullptr), nullptr);
    Check(child != nullptr && plat::GetParent(child) == window, "GetParent of a child is its parent");

    // Posted messages keep all four values through the queue and the dispatch.
    const plat::WPARAM wParam = 0xDEADBEEFu;
    const plat::LPARAM lParam = -12345;
    plat::PostMessageA(window, plat::WM_APP + 1, wParam, lParam);
    plat::MSG peeked{};
    const bool found = plat::PeekMessageA(&peeked, window, plat::WM_APP + 1, plat::WM_APP + 1, plat::PM_NOREMOVE);
    Check(found && peeked.hwnd == window && peeked.message == plat::WM_APP + 1 && peeked.wParam == wParam &&
              peeked.lParam == lParam,
          "PeekMessageA without remove shows the posted message intact");
    plat::MSG msg{};
    const bool removed = plat::PeekMessageA(&msg, window, plat::WM_APP + 1, plat::WM_APP + 1, plat::PM_REMOVE);
    plat::TranslateMessage(&msg);
    plat::DispatchMessageA(&msg);
    Check(removed && seen.appWParam == wParam && seen.appLParam == lParam,
          "DispatchMessageA hands both parameters to the procedure");
    Check(!plat::PeekMessageA(&msg, window, plat::WM_APP + 1, plat::WM_APP + 1, plat::PM_REMOVE),
          "PeekMessageA with remove took it off the queue");

    Check(plat::SendMessageA(window, plat::WM_APP + 2, 3, 20) == 43, "SendMessageA returns the procedure's result");

    // The timer callback runs from the loop with its own four arguments.
    const plat::UINT_PTR timer = plat::SetTimer(window, 7, 10, CheckTimerProc);
    Check(timer != 0, "SetTimer on a window returns a non-zero identifier");
    const plat::DWORD start = plat::GetTickCount();
    while (seen.timerTicks < 3 && plat::GetTickCount() - start < 5000) {
        if (plat::GetMessageA(&msg, nullptr, 0, 0) <= 0) break;
        plat::DispatchMessageA(&msg);
    }
    Check(
        seen.timerTicks >= 3 && seen.timerWindow == window && seen.timerMessage == plat::WM_TIMER && seen.timerId == 7,
        "the timer callback fires from the loop with window, WM_TIMER and its identifier");
    Check(plat::KillTimer(window, 7) != 0, "KillTimer stops it");

    // Default processing of WM_CLOSE destroys the window (and its child).
    plat::SendMessageA(window, plat::WM_CLOSE, 0, 0);
    Check(!plat::IsWindow(window) && !plat::IsWindow(child) && seen.destroys == 2,
          "DefWindowProcA of WM_CLOSE destroys the window and its child");
    Check(!plat::IsWindow(plat::HandleFromNumber(99999)), "IsWindow is false for a number that names no window");

    plat::PostQuitMessage(5);
    bool quit = false;
    while (plat::GetMessageA(&msg, nullptr, 0, 0) > 0) plat::DispatchMessageA(&msg);
    quit = msg.message == plat::WM_QUIT && msg.wParam == 5;
    Check(quit, "PostQuitMessage ends GetMessageA with its code");
}

void CheckGl() {
    const plat::HWND window = CreateCheckWindow("GL check", 64, 64);
    const plat::HDC dc = plat::GetDC(window);
    plat::PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = 40;
    pfd.nVersion = 1;
    pfd.dwFlags = plat::PFD_DRAW_TO_WINDOW | plat::PFD_SUPPORT_OPENGL | plat::PFD_DOUBLEBUFFER;
    pfd.iPixelType = plat::PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    const int format = plat::ChoosePixelFormat(dc, &pfd);
    Check(format > 0, "ChoosePixelFormat finds a double-buffered RGBA format");

    plat::PIXELFORMATDESCRIPTOR described{};
    const int count = plat::DescribePixelFormat(dc, format, sizeof described, &described);
    const plat::DWORD wanted = plat::PFD_DRAW_TO_WINDOW | plat::PFD_SUPPORT_OPENGL | plat::PFD_DOUBLEBUFFER;
    Check(count >= format && described.nSize == 40 && (described.dwFlags & wanted) == wanted &&
              described.iPixelType == plat::PFD_TYPE_RGBA && described.cColorBits >= 24,
          "DescribePixelFormat fills the descriptor of the chosen format");
    Check(plat::DescribePixelFormat(dc, format, 0, nullptr) == count,
          "DescribePixelFormat without a descriptor gives the number of formats");

    Check(plat::SetPixelFormat(dc, format, &pfd) != 0, "SetPixelFormat accepts it");
    const plat::HGLRC context = plat::wglCreateContext(dc);
    Check(context != nullptr && plat::wglMakeCurrent(dc, context), "wglCreateContext and wglMakeCurrent");

    glViewport(0, 0, 64, 64);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFlush();
    unsigned char pixel[4] = {0, 0, 0, 0};
    glReadBuffer(GL_BACK);
    glReadPixels(32, 32, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    Check(pixel[0] == 255 && pixel[1] == 0 && pixel[2] == 0, "GL clears the window's back buffer to red");
    Check(plat::SwapBuffers(dc) != 0, "SwapBuffers presents it");

    Check(plat::wglMakeCurrent(nullptr, nullptr) != 0 && plat::wglDeleteContext(context) != 0,
          "the context is released and deleted");
    Check(plat::ReleaseDC(window, dc) == 1, "ReleaseDC releases the device context");
    plat::DestroyWindow(window);
}

void CheckSystem() {
    Check(plat::GetSystemMetrics(plat::SM_CXSCREEN) == 1024 && plat::GetSystemMetrics(plat::SM_CYSCREEN) == 768,
          "GetSystemMetrics reports the 1024 x 768 screen");
    plat::RECT box{};
    const plat::HDC screen = plat::GetDC(nullptr);
    plat::GetClipBox(screen, &box);
    plat::ReleaseDC(nullptr, screen);
    Check(box.left == 0 && box.top == 0 && box.right == 1024 && box.bottom == 768, "GetClipBox of the screen");

    plat::POINT cursor{-1, -1};
    Check(plat::GetCursorPos(&cursor) && cursor.x >= 0 && cursor.x < 1024 && cursor.y >= 0 && cursor.y < 768,
          "GetCursorPos gives a point on the screen");

    plat::OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    Check(plat::GetVersionExA(&version) && version.dwPlatformId == plat::VER_PLATFORM_WIN32_NT &&
              version.dwMajorVersion >= 5,
          "GetVersionExA reports an NT platform");
    plat::OSVERSIONINFOA wrongSize{};
    Check(!plat::GetVersionExA(&wrongSize), "GetVersionExA refuses a record without its size");

    plat::SYSTEMTIME time{};
    plat::GetSystemTime(&time);
    Check(time.wYear >= 2020 && time.wMonth >= 1 && time.wMonth <= 12 && time.wDay >= 1 && time.wDay <= 31 &&
              time.wMinute < 60 && time.wSecond < 62 && time.wMilliseconds < 1000,
          "GetSystemTime fills every field in range");

    const plat::DWORD tick = plat::GetTickCount();
    const plat::DWORD mm = plat::timeGetTime();
    plat::Sleep(60);
    Check(plat::GetTickCount() - tick >= 40 && plat::timeGetTime() - mm >= 40,
          "GetTickCount and timeGetTime advance across Sleep");

    plat::STARTUPINFOA startup{0xFFFFFFFFu, 0xFFFF};
    plat::GetStartupInfoA(&startup);
    Check(startup.dwFlags != 0xFFFFFFFFu, "GetStartupInfoA fills the flags");
    const char* commandLine = plat::GetCommandLineA();
    Check(commandLine != nullptr && std::strstr(commandLine, "win_platform_check") != nullptr,
          "GetCommandLineA holds the program name");

    plat::SYSTEM_POWER_STATUS power{};
    power.ACLineStatus = 77;
    if (plat::GetSystemPowerStatus(&power)) {
        Check(power.ACLineStatus == 0 || power.ACLineStatus == 1 || power.ACLineStatus == 255,
              "GetSystemPowerStatus gives an AC line status of 0, 1 or 255");
    } else {
        Check(power.ACLineStatus == 77, "a failed GetSystemPowerStatus leaves the record alone");
    }

    plat::INITCOMMONCONTROLSEX controls{8, plat::ICC_TAB_CLASSES};
    Check(plat::InitCommonControlsEx(&controls) != 0, "InitCommonControlsEx for the tab classes");
    Check(plat::DialogBoxParamA(plat::GetModuleHandleA(nullptr), 2003, nullptr, CheckDialogProc, 0) == -1,
          "DialogBoxParamA of a missing template returns -1");
}

void CheckLibraries() {
    const plat::HMODULE kernel = plat::GetModuleHandleA("KERNEL32.DLL");
    const plat::FARPROC tickProc = plat::GetProcAddress(kernel, "GetTickCount");
    bool called = false;
    if (tickProc) {
        using TickFn = plat::DWORD(SAVER_CALLBACK*)();
        const plat::DWORD viaName = reinterpret_cast<TickFn>(reinterpret_cast<void (*)()>(tickProc))();
        called = viaName - plat::GetTickCount() + 1000 < 2000;
    }
    Check(kernel != nullptr && called, "GetProcAddress finds a function that can be called");
    Check(plat::GetProcAddress(kernel, "NoSuchFunctionForSaverCheck") == nullptr,
          "GetProcAddress gives null for a missing function");
    Check(plat::LoadLibraryA("NOSUCHLIBRARY.DLL") == nullptr, "LoadLibraryA gives null for a missing library");
    const plat::HMODULE library = plat::LoadLibraryA("MPR.DLL");
    Check(library != nullptr && plat::FreeLibrary(library) != 0, "LoadLibraryA and FreeLibrary of a system library");

    plat::HKEY key = nullptr;
    const long opened =
        plat::RegOpenKeyExA(plat::HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, plat::KEY_QUERY_VALUE, &key);
    Check(opened == plat::ERROR_SUCCESS && key != nullptr,
          "RegOpenKeyExA opens Control Panel\\Desktop under HKEY_CURRENT_USER");

    plat::DWORD type = 0;
    plat::DWORD value = 0;
    plat::DWORD size = sizeof value;
    const long read =
        plat::RegQueryValueExA(key, "CaretWidth", nullptr, &type, reinterpret_cast<plat::BYTE*>(&value), &size);
    Check(read == plat::ERROR_SUCCESS && type == 4 && size == 4 && value == 1,
          "RegQueryValueExA reads a 4-byte number with its type and size");

    char text[2] = {0, 0};
    size = sizeof text;
    const long tooSmall =
        plat::RegQueryValueExA(key, "MenuShowDelay", nullptr, &type, reinterpret_cast<plat::BYTE*>(text), &size);
    Check(tooSmall == 234 && type == 1 && size == 4, "RegQueryValueExA reports the size a longer value needs");

    size = sizeof value;
    Check(plat::RegQueryValueExA(key, "NoSuchValueForSaverCheck", nullptr, nullptr,
                                 reinterpret_cast<plat::BYTE*>(&value), &size) != plat::ERROR_SUCCESS,
          "RegQueryValueExA fails for a missing value");
    Check(plat::RegCloseKey(key) == plat::ERROR_SUCCESS, "RegCloseKey");

    plat::HKEY older = nullptr;
    Check(plat::RegOpenKeyA(plat::HKEY_CURRENT_USER, "Control Panel\\Desktop", &older) == plat::ERROR_SUCCESS &&
              older != nullptr && plat::RegCloseKey(older) == plat::ERROR_SUCCESS,
          "RegOpenKeyA opens the same key");
    plat::HKEY missing = nullptr;
    Check(plat::RegOpenKeyExA(plat::HKEY_CURRENT_USER, "No\\Such\\Key\\For\\Saver", 0, plat::KEY_QUERY_VALUE,
                              &missing) != plat::ERROR_SUCCESS,
          "RegOpenKeyExA fails for a missing key");
}

int escapes = 0;

int GuardedBody(void* context) { return *static_cast<int*>(context) + 1; }

int FaultingBody(void* context) {
    volatile int* nowhere = static_cast<int*>(context);
    *nowhere = 1;
    return 0;
}

void OnEscape() {
    ++escapes;
    std::printf("escaped\n");
    std::fflush(stdout);
}

void CheckGuard() {
    int value = 41;
    Check(plat::RunGuarded(GuardedBody, &value, OnEscape) == 42 && escapes == 0,
          "RunGuarded returns the body's result and leaves onEscape alone");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "fault") == 0) {
        // Without a fault box the platform's filter lets the guard handle the
        // fault instead of starting a debugger.
        using SetErrorModeFn = plat::UINT(SAVER_CALLBACK*)(plat::UINT);
        const plat::FARPROC setErrorMode = plat::GetProcAddress(plat::GetModuleHandleA("KERNEL32.DLL"), "SetErrorMode");
        if (setErrorMode) reinterpret_cast<SetErrorModeFn>(reinterpret_cast<void (*)()>(setErrorMode))(0x0002);
        plat::RunGuarded(FaultingBody, nullptr, OnEscape);
        std::printf("survived\n");
        return 0;
    }
    CheckWindows();
    CheckGl();
    CheckSystem();
    CheckLibraries();
    CheckGuard();
    return failures;
}
