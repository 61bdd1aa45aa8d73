// The saver shell: process entry and run modes, the saver window and its close
// rules, and the Windows 9x screen-saver password.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Process-wide shell state, one instance.
struct ShellState {
    plat::HINSTANCE moduleInstance = nullptr;
    int win9xFamily = 0;

    plat::HWND saverWindow = nullptr;
    int previewMode = 0;
    int closing = 0;
    int inVerification = 0;
    plat::POINT lastCursorPos = {0, 0};
    std::uint32_t mouseThreshold = 4;
    std::uint8_t lastAcLineStatus = 255;
    std::uint32_t autoplayMessage = 0;
    plat::HMODULE imeLibrary = nullptr;
    plat::FARPROC imeAssociate = nullptr;
    plat::HIMC previousImeContext = nullptr;

    plat::HMODULE passwordLibrary = nullptr;
    plat::FARPROC verifyPassword = nullptr;
    std::uint32_t lastVerifyTick = 0xFFFFFFFFu;
};

extern ShellState shell;

constexpr plat::UINT kVerifyPasswordMessage = 0x8000;

// Entry and modes.
[[noreturn]] void SaverEntry();
const char* ArgumentText(const char* commandLine);  // the command line without the program name
int SaverMain(plat::HINSTANCE instance, plat::HINSTANCE ignored, const char* args, int showCommand);
std::uint32_t ParseHandle(const char* text);
int ConfigureMode(plat::HWND parent);

// Saver window.
int RunSaverWindow(plat::HWND parent);
plat::LRESULT SAVER_CALLBACK ShellWindowProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                             plat::LPARAM lParam);

// Password (Windows 9x family only; elsewhere these do nothing).
void LoadPasswordSettings();
void ReleasePasswordProvider();
void SetScreenSaverRunning(int on);
int VerifyBeforeClose(plat::HWND window);
void ChangePassword(plat::HWND owner);
