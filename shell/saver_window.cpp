// The full-screen or preview saver window, its message loop, and the rules that
// close it on user input.
#include "host/host.h"
#include "savers/saver_variant.h"
#include "shell/shell.h"

using namespace plat;

namespace {

const char kSaverClass[] = "WindowsScreenSaverClass";
const char kFullScreenTitle[] = "Screen Saver";
const char kPreviewTitle[] = "Preview";
constexpr UINT kSaverClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;  // 43
constexpr std::uintptr_t kSaverIcon = 100;

using ImmAssociateContextFn = HIMC(SAVER_CALLBACK*)(HWND, HIMC);
using VerifyPasswordFn = BOOL(SAVER_CALLBACK*)(HWND);

void HideCursor() { SetCursor(nullptr); }

void RequestClose(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

std::uint8_t ReadAcLineStatus() {
    SYSTEM_POWER_STATUS status = {};
    return GetSystemPowerStatus(&status) ? status.ACLineStatus : 255;
}

struct Geometry {
    int x, y, width, height;
};

Geometry FullScreenGeometry() {
    if (!saverVariant.spanVirtualScreen) return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    Geometry g = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                  GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (g.width == 0 || g.height == 0) {
        RECT box = {};
        HDC screen = GetDC(nullptr);
        GetClipBox(screen, &box);
        ReleaseDC(nullptr, screen);
        g = {box.left, box.top, box.right - box.left, box.bottom - box.top};
    }
    return g;
}

// The last step for every message no rule has answered.
LRESULT FinalStep(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (saverVariant.closeOnAutoPlay && shell.autoplayMessage != 0 && message == shell.autoplayMessage) {
        RequestClose(window);
        return shell.verifyPassword != nullptr ? 1 : 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The power rules; true when the message was one of them.
bool PowerRule(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_POWER) {
        if (wParam == PWR_CRITICALRESUME) RequestClose(window);
        return true;
    }
    if (message != WM_POWERBROADCAST) return false;
    if (wParam <= PBT_APMSTANDBY) {  // from PBT_APMQUERYSUSPEND (0)
        RequestClose(window);
    } else if (wParam == PBT_APMRESUMECRITICAL || wParam == PBT_APMRESUMESUSPEND || wParam == PBT_APMRESUMESTANDBY ||
               wParam == PBT_APMRESUMEAUTOMATIC) {
        if ((lParam & PBTF_APMRESUMEFROMFAILURE) == 0) RequestClose(window);
    } else if (wParam == PBT_APMPOWERSTATUSCHANGE) {
        const std::uint8_t status = ReadAcLineStatus();
        if (status != shell.lastAcLineStatus) RequestClose(window);
        shell.lastAcLineStatus = status;
    } else {
        RequestClose(window);
    }
    return true;
}

}  // namespace

int RunSaverWindow(HWND parent) {
    WNDCLASSA windowClass = {};
    windowClass.style = kSaverClassStyle;
    windowClass.lpfnWndProc = ShellWindowProc;
    windowClass.hInstance = shell.moduleInstance;
    windowClass.hIcon = LoadIconA(shell.moduleInstance, kSaverIcon);
    windowClass.hbrBackground = GetStockObject(BLACK_BRUSH);
    windowClass.lpszClassName = kSaverClass;

    Geometry g = {0, 0, 0, 0};
    DWORD style = 0;
    DWORD exStyle = 0;
    const char* title = nullptr;
    if (parent != nullptr) {
        RECT client = {};
        GetClientRect(parent, &client);
        g = {0, 0, client.right - client.left, client.bottom - client.top};
        style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
        title = kPreviewTitle;
        shell.previewMode = 1;
    } else {
        g = FullScreenGeometry();
        style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        exStyle = WS_EX_TOPMOST;
        title = kFullScreenTitle;
        HWND running = FindWindowA(kSaverClass, kFullScreenTitle);
        if (running != nullptr) {
            SetForegroundWindow(running);
            return 0;
        }
        if (saverVariant.closeOnPowerEvents) shell.lastAcLineStatus = ReadAcLineStatus();
        LoadPasswordSettings();
    }
    if (saverVariant.closeOnAutoPlay)
        shell.autoplayMessage = shell.win9xFamily ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;

    if (RegisterClassA(&windowClass) != 0) {
        shell.saverWindow = CreateWindowExA(exStyle, kSaverClass, title, style, g.x, g.y, g.width, g.height, parent,
                                            nullptr, shell.moduleInstance, nullptr);
    }

    int code = 0;
    if (shell.saverWindow != nullptr) {
        if (!shell.previewMode) SetForegroundWindow(shell.saverWindow);
        MSG msg = {};
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        code = static_cast<int>(msg.wParam);
    }
    ReleasePasswordProvider();
    return code;
}

LRESULT SAVER_CALLBACK ShellWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            shell.imeLibrary = GetModuleHandleA("IMM32.DLL");
            if (shell.imeLibrary != nullptr) {
                shell.imeAssociate = GetProcAddress(shell.imeLibrary, "ImmAssociateContext");
                if (shell.imeAssociate != nullptr)
                    shell.previousImeContext = ProcAs<ImmAssociateContextFn>(shell.imeAssociate)(window, nullptr);
            }
            GetCursorPos(&shell.lastCursorPos);
            if (!shell.previewMode) HideCursor();
            break;
        case WM_DESTROY:
            if (shell.imeLibrary != nullptr && shell.imeAssociate != nullptr && shell.previousImeContext != nullptr)
                ProcAs<ImmAssociateContextFn>(shell.imeAssociate)(window, shell.previousImeContext);
            PostQuitMessage(0);
            break;
        case WM_SETTEXT:
            return 0;
        case WM_PAINT:
            if (shell.closing) return DefWindowProcA(window, message, wParam, lParam);
            if (!shell.previewMode) HideCursor();
            break;
        case WM_HELP:
        case WM_CONTEXTMENU:
            if (shell.previewMode) {
                HWND parent = GetParent(window);
                if (parent != nullptr && IsWindow(parent))
                    PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
                return 1;
            }
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (shell.closing) return DefWindowProcA(window, message, wParam, lParam);
            break;
        case WM_SYSCOMMAND:
            if (!shell.previewMode) {
                const WPARAM command = wParam & 0xFFF0;
                if (command == SC_NEXTWINDOW || command == SC_PREVWINDOW || command == SC_SCREENSAVE) return 0;
                if (saverVariant.closeOnPowerEvents && command == SC_MONITORPOWER) RequestClose(window);
            }
            break;
        case WM_TIMER:
            if (shell.closing) return 0;
            Sleep(0);
            break;
        default:
            break;
    }
    return SaverWindowProc(window, message, wParam, lParam);
}

LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (shell.previewMode || shell.closing) return FinalStep(window, message, wParam, lParam);

    if (message == WM_CLOSE && shell.win9xFamily) {
        if (VerifyBeforeClose(window) == 0) {
            GetCursorPos(&shell.lastCursorPos);
            return 0;
        }
        return FinalStep(window, message, wParam, lParam);
    }
    if (message == WM_CLOSE) return FinalStep(window, message, wParam, lParam);
    if (message == kVerifyPasswordMessage && shell.win9xFamily) {
        if (shell.verifyPassword == nullptr) return 1;
        return ProcAs<VerifyPasswordFn>(shell.verifyPassword)(window);
    }
    if (shell.inVerification) return FinalStep(window, message, wParam, lParam);

    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            RequestClose(window);
            break;
        case WM_MOUSEMOVE: {
            POINT now = {};
            GetCursorPos(&now);
            const std::int64_t dx = now.x > shell.lastCursorPos.x ? std::int64_t(now.x) - shell.lastCursorPos.x
                                                                  : std::int64_t(shell.lastCursorPos.x) - now.x;
            const std::int64_t dy = now.y > shell.lastCursorPos.y ? std::int64_t(now.y) - shell.lastCursorPos.y
                                                                  : std::int64_t(shell.lastCursorPos.y) - now.y;
            if (dx + dy > shell.mouseThreshold) {
                RequestClose(window);
                shell.lastCursorPos = now;
            }
            break;
        }
        case WM_SHOWWINDOW:
            if (wParam != 0) HideCursor();
            break;
        case WM_ACTIVATEAPP:
            if (wParam == 0) RequestClose(window);
            break;
        case WM_SETCURSOR:
            HideCursor();
            return 1;
        default:
            if (saverVariant.closeOnPowerEvents) PowerRule(window, message, wParam, lParam);
            break;
    }
    return FinalStep(window, message, wParam, lParam);
}
