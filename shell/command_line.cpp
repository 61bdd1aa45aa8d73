// Process entry and mode dispatch: cuts the arguments out of the command line, runs
// exactly one mode and ends the process with its result.
#include "host/host.h"
#include "savers/saver_variant.h"
#include "shell/shell.h"

using namespace plat;

ShellState shell;

namespace {

constexpr std::uintptr_t kConfigureDialogTemplate = 2003;

bool IsBlankOrSwitch(char c) { return c == ' ' || c == '-' || c == '/'; }

const char* SkipSpaces(const char* p) {
    while (*p == ' ') ++p;
    return p;
}

// A non-zero handle that names an existing window, or null.
HWND ExistingWindow(std::uint32_t number) {
    if (number == 0) return nullptr;
    HWND window = HandleFromNumber(number);
    return IsWindow(window) ? window : nullptr;
}

HWND ConfigureParent(const char* afterLetter) {
    if (saverVariant.configureParentSwitch && *afterLetter == ':') {
        HWND parent = ExistingWindow(ParseHandle(afterLetter + 1));
        if (parent != nullptr) return parent;
    }
    return GetForegroundWindow();
}

int ScanAndRun(void* context) {
    const char* p = static_cast<const char*>(context);
    for (;; ++p) {
        const char c = *p;
        if (c == '\0') return ConfigureMode(nullptr);
        if (IsBlankOrSwitch(c)) continue;
        switch (c) {
            case 'S':
            case 's':
                return RunSaverWindow(nullptr);
            case 'P':
            case 'p':
            case 'L':
            case 'l': {
                HWND parent = ExistingWindow(ParseHandle(SkipSpaces(p + 1)));
                return parent != nullptr ? RunSaverWindow(parent) : -1;
            }
            case 'C':
            case 'c':
                return ConfigureMode(ConfigureParent(p + 1));
            case 'A':
            case 'a': {
                if (!shell.win9xFamily) return -1;
                HWND owner = ExistingWindow(ParseHandle(SkipSpaces(p + 1)));
                ChangePassword(owner != nullptr ? owner : GetForegroundWindow());
                return 0;
            }
            default:
                return -1;
        }
    }
}

void TurnRunningFlagOff() { SetScreenSaverRunning(0); }

}  // namespace

const char* ArgumentText(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        // Bytes, not characters: no double-byte code page uses '"' as a trail byte.
        ++p;
        while (*p != '\0' && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (static_cast<unsigned char>(*p) > ' ') ++p;
    }
    while (*p != '\0' && static_cast<unsigned char>(*p) <= ' ') ++p;
    return p;
}

void SaverEntry() {
    const char* args = ArgumentText(GetCommandLineA());
    STARTUPINFOA startup = {};
    GetStartupInfoA(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
    ExitProcess(static_cast<UINT>(SaverMain(GetModuleHandleA(nullptr), nullptr, args, show)));
}

int SaverMain(HINSTANCE instance, HINSTANCE, const char* args, int) {
    shell = ShellState();  // a run starts from the initial state, also when a test runs several
    if (saverVariant.initCommonControls) {
        const INITCOMMONCONTROLSEX controls = {8, ICC_TAB_CLASSES};
        InitCommonControlsEx(&controls);
    }
    shell.moduleInstance = instance;

    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    shell.win9xFamily = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;

    return RunGuarded(ScanAndRun, const_cast<char*>(args != nullptr ? args : ""), TurnRunningFlagOff);
}

std::uint32_t ParseHandle(const char* text) {
    std::uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) value = value * 10u + static_cast<std::uint32_t>(*text - '0');
    return value;
}

int ConfigureMode(HWND parent) {
    if (PrepareConfigure(shell.moduleInstance) == 0) return 0;
    return static_cast<int>(
        DialogBoxParamA(shell.moduleInstance, kConfigureDialogTemplate, parent, ConfigureDialogProc, 0));
}
