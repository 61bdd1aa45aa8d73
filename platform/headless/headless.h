// Control of the headless platform: the in-memory window system that tests,
// benchmarks and the renderer run a whole saver on. A virtual millisecond clock
// jumps to the next due timer whenever nothing else is queued, so thousands of
// frames run in a second, deterministically. Input is scripted by frame number
// (a frame is one SwapBuffers) or by virtual time; message boxes are recorded
// instead of shown; the Windows 9x family, its registry value and its password
// provider can be switched on; GL is either EGL offscreen on Mesa (pixels can be
// read back) or the recording GL (calls are logged), chosen at link time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace headless {

// A rectangle of the screen in pixels; a negative width stands for the primary
// screen at (0, 0).
struct ScreenArea {
    int x, y, width, height;
};

struct Config {
    int screenWidth = 1024;
    int screenHeight = 768;
    // The virtual screen spanning every monitor, as GetSystemMetrics reports it.
    ScreenArea virtualScreen = {0, 0, -1, -1};
    // The clip box of the whole screen's device context (GetClipBox).
    ScreenArea screenClipBox = {0, 0, -1, -1};
    // The AC line status GetSystemPowerStatus reports (0 offline, 1 online, 255
    // unknown); -1: the status cannot be read.
    int acLineStatus = -1;
    std::string commandLine = "saver.exe";  // what GetCommandLineA returns
    std::string programPath;                // what GetModuleFileNameA returns; empty: this process's own file
    plat::SYSTEMTIME utc = {2026, 12, 2, 8, 12, 0, 0, 0};  // clock at virtual time 0
    plat::DWORD startTickMs = 0;                           // GetTickCount / timeGetTime at virtual time 0
    bool win9xFamily = false;                              // GetVersionExA reports platform id 1
    plat::POINT cursor = {512, 384};
    bool failChoosePixelFormat = false;
    bool failSetPixelFormat = false;
    bool failSetTimer = false;
    // Safety net for tests: once virtual time passes this, or this many frames
    // were presented, the loop gets a quit message and TimedOut() turns true.
    std::uint64_t maxVirtualMs = 3600u * 1000u;
    int maxFrames = 1000000;
};

// Starts afresh: no windows, classes, timers, menus or queued messages; clock, frame
// count, script, records and password provider reset. Call before every run.
void Reset(const Config& config = Config());
enum class Input {
    KeyDown,         // a = virtual key
    KeyUp,           // a = virtual key
    SysKeyDown,      // a = virtual key
    Char,            // a = character
    ButtonDown,      // a = 0 left, 1 right, 2 middle
    ButtonUp,        // a = 0 left, 1 right, 2 middle
    Wheel,           // a = delta
    MoveCursorTo,    // cursor to screen (a, b), then WM_MOUSEMOVE
    MoveCursorBy,    // cursor by (a, b), then WM_MOUSEMOVE
    Deactivate,      // WM_ACTIVATEAPP with 0: another application became active
    Activate,        // WM_ACTIVATEAPP with 1
    CloseButton,     // WM_CLOSE, as the window manager's close button
    MenuCommand,     // WM_COMMAND with a = command identifier
    Message,         // any message: a = message, b = word parameter, c = long parameter
    DestroyForeign,  // destroys the foreign window `target`
    PowerChange,     // the AC line status becomes a (-1: unreadable), then
                     // WM_POWERBROADCAST with the power-status-change event 10
    ResizeScreen,    // the screen becomes a x b pixels (metrics only; no message)
    DisplayOff,      // the monitor powers down: timers are held
    DisplayOn,       // the monitor is on again
};

struct Event {
    Input input;
    std::intptr_t a = 0;
    std::intptr_t b = 0;
    std::intptr_t c = 0;
    plat::HWND target = nullptr;  // null: the newest visible emulated window
};

// Delivered when the frame count reaches `frame` (checked as the loop polls), or
// when the virtual clock reaches `ms`. Events at the same point keep their order.
void AtFrame(int frame, const Event& event);
void AtMs(std::uint64_t ms, const Event& event);

int FramesPresented();  // SwapBuffers calls since Reset
std::uint64_t NowMs();  // virtual time since Reset
bool TimedOut();
bool CursorHidden();
bool DisplayAsleep();
plat::POINT CursorPos();

struct MessageBoxRecord {
    plat::HWND owner;
    std::string text;
    std::string caption;
    plat::UINT type;
};
const std::vector<MessageBoxRecord>& MessageBoxes();
// Lines written with WriteDiagnostic since Reset.
const std::vector<std::string>& Diagnostics();

// Notable platform calls in order, one line each, e.g. "SetTimer 1 1",
// "KillTimer 1", "PostQuitMessage 0", "SystemParametersInfoA 97 1",
// "LoadLibraryA PASSWORD.CPL", "SetForegroundWindow", "wglMakeCurrent 0".
// The lines: "SetTimer <id> <period as asked>", "KillTimer <id>", "PostQuitMessage
// <code>", "SetCursor hidden" / "SetCursor shown", "SetForegroundWindow", "ReleaseDC",
// "SystemParametersInfoA <action> <param>", "LoadLibraryA <name>", "GetModuleHandleA
// <name or (null)>", "GetProcAddress <name>", "FreeLibrary <library>", "RegOpenKeyExA
// <subkey>", "RegOpenKeyA <subkey>", "RegQueryValueExA <name>", "RegCloseKey",
// "ChoosePixelFormat", "SetPixelFormat <format>", "wglCreateContext", "wglMakeCurrent
// 1" / "wglMakeCurrent 0" (a context / none), "wglDeleteContext", "MessageBoxA
// <caption>: <text>", "DialogBoxParamA <owner>", "InitCommonControlsEx", "VerifyScreenSavePwd",
// "ImmAssociateContext <context>".
const std::vector<std::string>& CallLog();
int CountCalls(const std::string& prefix);

struct WindowInfo {
    plat::HWND handle;
    std::string className;
    std::string title;
    plat::DWORD style;
    plat::DWORD exStyle;
    plat::HWND parent;
    int x, y, width, height;
    bool visible;
    bool hasMenu;
};
std::vector<WindowInfo> Windows();  // live emulated windows in creation order

// Windows of "another program": valid for IsWindow, GetClientRect and PostMessageA
// (recorded), usable as a preview parent or a foreground window.
plat::HWND CreateForeignWindow(int width, int height);
void DestroyForeignWindow(plat::HWND window);
void SetForegroundForeign(plat::HWND window);
struct PostedRecord {
    plat::HWND window;
    plat::UINT message;
    plat::WPARAM wParam;
    plat::LPARAM lParam;
};
const std::vector<PostedRecord>& PostedToForeign();

// Registry value "ScreenSaveUsePassword" under "Control Panel\Desktop": absent unless set.
void SetPasswordSetting(bool present, plat::DWORD value);
// "PASSWORD.CPL"/"VerifyScreenSavePwd" and "MPR.DLL"/"PwdChangePasswordA" as a
// scripted provider; both absent after Reset.
void SetPasswordProvider(bool libraryPresent, bool functionPresent);
void SetChangePasswordProvider(bool libraryPresent, bool functionPresent);
// Answers of the verify function, in order; the last one repeats. Each call
// records itself and may run a nested message loop turn as a real dialog would.
// (It pumps nothing; with no answer queued it answers 0, a refusal.)
void QueuePasswordAnswers(const std::vector<int>& answers);
int PasswordQuestions();

// "IMM32.DLL" as already loaded in the process, with or without its
// "ImmAssociateContext"; absent after Reset. Every window starts associated with
// `context`; each call is logged ("ImmAssociateContext <context>", the one being
// set, in hexadecimal) and returns the window's association before it.
void SetInputMethodLibrary(bool loaded, bool functionPresent, plat::HIMC context);
struct ChangePasswordRecord {
    std::string provider;
    plat::HWND owner;
};
const std::vector<ChangePasswordRecord>& ChangePasswordCalls();

// Called right after every SwapBuffers, before the loop goes on: the frame just
// presented can be read back with ReadPixels. Null removes the hook.
void SetFrameHook(void (*hook)(int frame, void* context), void* context);

// Reads back the current window's colour buffer (EGL build only; false elsewhere).
// Rows bottom-up as glReadPixels gives them, 4 bytes RGBA per pixel.
bool ReadPixels(int x, int y, int width, int height, std::uint8_t* rgba);

}  // namespace headless
