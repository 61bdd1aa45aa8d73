// The platform seam: every window-system, GL-surface and system service that the
// shell, the host and the effects call. Names, messages and constants keep Win32's
// names and numeric values so that traces read the same on every platform.
//
// Exactly one implementation is linked into each program:
//   platform/win32     the real Win32 calls (mingw-w64, i686 and x86-64)
//   platform/linux     the emulated window system over X11 (Xlib + GLX) or
//                      Wayland (EGL), chosen at start-up
//   platform/headless  the emulated window system in memory, EGL or recording GL
//   platform/web       the emulated window system on a web page's canvas, WebGL
//
// Handles are opaque. Callbacks use SAVER_CALLBACK so that Win32 can call the
// core's window procedures directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(_WIN32) && defined(__i386__)
#define SAVER_CALLBACK __attribute__((stdcall))
#else
#define SAVER_CALLBACK
#endif

namespace plat {

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using ATOM = std::uint16_t;

struct WindowHandle;
struct DeviceContextHandle;
struct GlContextHandle;
struct ModuleHandle;
struct MenuHandle;
struct CursorHandle;
struct IconHandle;
struct BrushHandle;
struct KeyHandle;
struct ImeContextHandle;

using HWND = WindowHandle*;
using HDC = DeviceContextHandle*;
using HGLRC = GlContextHandle*;
using HINSTANCE = ModuleHandle*;
using HMODULE = ModuleHandle*;
using HMENU = MenuHandle*;
using HCURSOR = CursorHandle*;
using HICON = IconHandle*;
using HBRUSH = BrushHandle*;
using HKEY = KeyHandle*;
using HIMC = ImeContextHandle*;

using WNDPROC = LRESULT(SAVER_CALLBACK*)(HWND, UINT, WPARAM, LPARAM);
using DLGPROC = INT_PTR(SAVER_CALLBACK*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void(SAVER_CALLBACK*)(HWND, UINT, UINT_PTR, DWORD);
using FARPROC = INT_PTR(SAVER_CALLBACK*)();

// A function found by name, as the type the caller knows it has.
template <typename Function>
Function ProcAs(FARPROC proc) {
    static_assert(sizeof(Function) == sizeof(FARPROC), "function pointers of one size");
    Function function;
    std::memcpy(&function, &proc, sizeof function);
    return function;
}

// A window handle carried as a decimal number on a command line (Win32 HWND value,
// X11 window id, headless window number). Each platform widens the 32-bit number
// to a handle the way its own handles are widened.
HWND HandleFromNumber(std::uint32_t n);

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
};

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    const char* lpszMenuName;
    const char* lpszClassName;
};

struct PIXELFORMATDESCRIPTOR {
    WORD nSize;
    WORD nVersion;
    DWORD dwFlags;
    BYTE iPixelType;
    BYTE cColorBits;
    BYTE cRedBits, cRedShift, cGreenBits, cGreenShift, cBlueBits, cBlueShift;
    BYTE cAlphaBits, cAlphaShift;
    BYTE cAccumBits, cAccumRedBits, cAccumGreenBits, cAccumBlueBits, cAccumAlphaBits;
    BYTE cDepthBits;
    BYTE cStencilBits;
    BYTE cAuxBuffers;
    BYTE iLayerType;
    BYTE bReserved;
    DWORD dwLayerMask;
    DWORD dwVisibleMask;
    DWORD dwDamageMask;
};
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "the descriptor is 40 bytes on every platform");

struct SYSTEMTIME {
    WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    char szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record is 148 bytes");

struct STARTUPINFOA {
    DWORD dwFlags;
    WORD wShowWindow;
};

struct SYSTEM_POWER_STATUS {
    BYTE ACLineStatus;
    BYTE BatteryFlag;
    BYTE BatteryLifePercent;
    BYTE SystemStatusFlag;
    DWORD BatteryLifeTime;
    DWORD BatteryFullLifeTime;
};

struct INITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
};

// Messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_POWER = 0x0048;
constexpr UINT WM_HELP = 0x0053;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_POWERBROADCAST = 0x0218;
constexpr UINT WM_APP = 0x8000;

// WM_POWER word parameter: resuming after a critical suspend.
constexpr WPARAM PWR_CRITICALRESUME = 3;
// WM_POWERBROADCAST events (word parameter).
constexpr WPARAM PBT_APMQUERYSUSPEND = 0x0000;
constexpr WPARAM PBT_APMSTANDBY = 0x0005;  // the queries, their failures, suspend and standby: 0 to 5
constexpr WPARAM PBT_APMRESUMECRITICAL = 0x0006;
constexpr WPARAM PBT_APMRESUMESUSPEND = 0x0007;
constexpr WPARAM PBT_APMRESUMESTANDBY = 0x0008;
constexpr WPARAM PBT_APMPOWERSTATUSCHANGE = 0x000A;
constexpr WPARAM PBT_APMRESUMEAUTOMATIC = 0x0012;
// Long parameter of the resume events: the resume follows a failed suspend.
constexpr LPARAM PBTF_APMRESUMEFROMFAILURE = 0x00000001;

// System commands (WM_SYSCOMMAND word parameter, low four bits masked off).
constexpr WPARAM SC_NEXTWINDOW = 0xF040;
constexpr WPARAM SC_PREVWINDOW = 0xF050;
constexpr WPARAM SC_SCREENSAVE = 0xF140;
constexpr WPARAM SC_MONITORPOWER = 0xF170;

// Window and class styles.
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;
constexpr UINT CS_OWNDC = 0x0020;

// Metrics.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_XVIRTUALSCREEN = 76;
constexpr int SM_YVIRTUALSCREEN = 77;
constexpr int SM_CXVIRTUALSCREEN = 78;
constexpr int SM_CYVIRTUALSCREEN = 79;

// Message retrieval, showing, boxes, menus.
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT PM_NOYIELD = 0x0002;
constexpr int SW_SHOW = 5;
constexpr int SW_SHOWDEFAULT = 10;
constexpr DWORD STARTF_USESHOWWINDOW = 0x00000001;
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MF_STRING = 0x00000000;
constexpr UINT MF_BYPOSITION = 0x00000400;
constexpr UINT MF_POPUP = 0x00000010;

// Stock objects and resources.
constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_BRUSH = 4;
constexpr std::uintptr_t IDI_APPLICATION = 32512;
constexpr std::uintptr_t IDC_ARROW = 32512;

// Pixel format.
constexpr DWORD PFD_DOUBLEBUFFER = 0x00000001;
constexpr DWORD PFD_DRAW_TO_WINDOW = 0x00000004;
constexpr DWORD PFD_SUPPORT_OPENGL = 0x00000020;
constexpr BYTE PFD_TYPE_RGBA = 0;

// System values.
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
constexpr UINT SPI_SETSCREENSAVERRUNNING = 97;
constexpr DWORD ICC_TAB_CLASSES = 0x00000008;
constexpr long ERROR_SUCCESS = 0;
constexpr DWORD KEY_QUERY_VALUE = 0x0001;
extern HKEY const HKEY_CURRENT_USER;

// Window classes and windows.
ATOM RegisterClassA(const WNDCLASSA* wc);
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
BOOL DestroyWindow(HWND window);
HWND FindWindowA(const char* className, const char* title);
BOOL IsWindow(HWND window);
HWND GetParent(HWND window);
BOOL GetClientRect(HWND window, RECT* rect);
BOOL ShowWindow(HWND window, int command);
BOOL SetForegroundWindow(HWND window);
HWND GetForegroundWindow();
HICON LoadIconA(HINSTANCE instance, std::uintptr_t resource);
HCURSOR LoadCursorA(HINSTANCE instance, std::uintptr_t resource);
HBRUSH GetStockObject(int object);

// Message loop.
BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
UINT RegisterWindowMessageA(const char* name);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);

// Window timer.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT periodMs, TIMERPROC callback);
BOOL KillTimer(HWND window, UINT_PTR id);

// Input and cursor.
BOOL GetCursorPos(POINT* point);
HCURSOR SetCursor(HCURSOR cursor);

// Screen.
int GetSystemMetrics(int index);
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
int GetClipBox(HDC dc, RECT* rect);

// GL surface.
int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd);
BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* pfd);
int DescribePixelFormat(HDC dc, int format, UINT size, PIXELFORMATDESCRIPTOR* pfd);
HGLRC wglCreateContext(HDC dc);
BOOL wglMakeCurrent(HDC dc, HGLRC context);
BOOL wglDeleteContext(HGLRC context);
BOOL SwapBuffers(HDC dc);

// Menus.
HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, const char* text);
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idOrPopup, const char* text);
BOOL SetMenu(HWND window, HMENU menu);
BOOL DrawMenuBar(HWND window);

// Dialogs.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);
INT_PTR DialogBoxParamA(HINSTANCE instance, std::uintptr_t templateId, HWND parent, DLGPROC proc, LPARAM param);
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);

// System.
const char* GetCommandLineA();
void GetStartupInfoA(STARTUPINFOA* info);
BOOL GetVersionExA(OSVERSIONINFOA* info);
void GetSystemTime(SYSTEMTIME* time);
DWORD GetTickCount();
DWORD timeGetTime();
void Sleep(DWORD ms);
BOOL GetSystemPowerStatus(SYSTEM_POWER_STATUS* status);
BOOL SystemParametersInfoA(UINT action, UINT param, void* value, UINT winIni);
[[noreturn]] void ExitProcess(UINT code);

// The full path of a module's file (null: the program's own), as Win32 gives it:
// the length written, 0 on failure, `size` when the path was cut short.
DWORD GetModuleFileNameA(HMODULE module, char* fileName, DWORD size);
// One line for a person reading the program's standard error (X11), recorded on
// headless; Windows programs have no console and drop it. Never a substitute for
// the message boxes the user sees.
void WriteDiagnostic(const char* line);

// Runs body(context) and returns its result. If a fault escapes it, the platform's
// crash reporting is consulted, onEscape runs, and the process ends with -1.
int RunGuarded(int (*body)(void*), void* context, void (*onEscape)());

// Libraries and registry.
HMODULE LoadLibraryA(const char* name);
HMODULE GetModuleHandleA(const char* name);
FARPROC GetProcAddress(HMODULE module, const char* name);
BOOL FreeLibrary(HMODULE module);
long RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, DWORD access, HKEY* result);
long RegOpenKeyA(HKEY key, const char* subKey, HKEY* result);
long RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
long RegCloseKey(HKEY key);

inline WORD LOWORD(std::uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
inline WORD HIWORD(std::uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }

}  // namespace plat
