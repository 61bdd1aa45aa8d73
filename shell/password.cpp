// The screen-saver password on the Windows 9x family: the setting, the provider
// binding, the question before a close, and the password change. Every operation
// does nothing outside the 9x family, where the system owns the password.
#include "savers/saver_variant.h"
#include "shell/shell.h"

using namespace plat;

namespace {

const char kDesktopKey[] = "Control Panel\\Desktop";
constexpr DWORD kReaskGapMs = 200;
constexpr DWORD kNoQuestionYet = 0xFFFFFFFFu;

using ChangePasswordFn = DWORD(SAVER_CALLBACK*)(const char*, HWND, DWORD, DWORD);

// The setting, read from the open desktop key.
bool PasswordSettingOn(HKEY key) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    return RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) ==
               ERROR_SUCCESS &&
           size == sizeof(value) && value != 0;
}

void BindPasswordProvider() {
    shell.passwordLibrary = LoadLibraryA("PASSWORD.CPL");
    if (shell.passwordLibrary == nullptr) return;
    shell.verifyPassword = GetProcAddress(shell.passwordLibrary, "VerifyScreenSavePwd");
    if (shell.verifyPassword != nullptr)
        SetScreenSaverRunning(1);
    else
        ReleasePasswordProvider();
}

}  // namespace

void LoadPasswordSettings() {
    if (!shell.win9xFamily) return;
    if (shell.passwordLibrary != nullptr) ReleasePasswordProvider();
    HKEY key = nullptr;
    const long opened = saverVariant.passwordKeyEx
                            ? RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_QUERY_VALUE, &key)
                            : RegOpenKeyA(HKEY_CURRENT_USER, kDesktopKey, &key);
    if (opened != ERROR_SUCCESS) return;
    if (PasswordSettingOn(key)) BindPasswordProvider();
    RegCloseKey(key);
}

void ReleasePasswordProvider() {
    if (!shell.win9xFamily || shell.passwordLibrary == nullptr) return;
    FreeLibrary(shell.passwordLibrary);
    shell.passwordLibrary = nullptr;
    if (shell.verifyPassword != nullptr) {
        shell.verifyPassword = nullptr;
        SetScreenSaverRunning(0);
    }
}

void SetScreenSaverRunning(int on) {
    if (!shell.win9xFamily) return;
    UINT previous = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, static_cast<UINT>(on), &previous, 0);
}

int VerifyBeforeClose(HWND window) {
    if (shell.inVerification || shell.closing) return 0;
    if (shell.verifyPassword == nullptr) {
        shell.closing = 1;
        return 1;
    }
    if (shell.lastVerifyTick != kNoQuestionYet && GetTickCount() - shell.lastVerifyTick < kReaskGapMs)
        return shell.closing;

    shell.inVerification = 1;
    MSG pending = {};
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&pending, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    shell.closing = SendMessageA(window, kVerifyPasswordMessage, 0, 0) != 0 ? 1 : 0;
    shell.inVerification = 0;
    if (!shell.closing) SetCursor(nullptr);
    shell.lastVerifyTick = GetTickCount();
    return shell.closing;
}

void ChangePassword(HWND owner) {
    if (!shell.win9xFamily) return;
    HMODULE library = LoadLibraryA("MPR.DLL");
    if (library == nullptr) return;
    FARPROC change = GetProcAddress(library, "PwdChangePasswordA");
    if (change != nullptr) ProcAs<ChangePasswordFn>(change)("SCRSAVE", owner, 0, 0);
    FreeLibrary(library);
}
