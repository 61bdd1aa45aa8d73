// The backend contract and the window-system services of the Linux programs,
// each one call through the table of the window system chosen at start-up.
#include "platform/linux/window_system.h"

#include <unistd.h>

namespace plat {

namespace {

const WindowSystem* current = nullptr;

}  // namespace

void UseWindowSystem(const WindowSystem& system) { current = &system; }

const WindowSystem& CurrentWindowSystem() { return *current; }

namespace emu {

void BackendPoll() { current->poll(); }
void BackendWait(DWORD timeoutMs) { current->wait(timeoutMs); }
bool BackendDisplayAsleep() { return current->displayAsleep(); }
void BackendCreateWindow(Window& window) { current->createWindow(window); }
void BackendDestroyWindow(Window& window) { current->destroyWindow(window); }
void BackendShowWindow(Window& window, bool visible) { current->showWindow(window, visible); }
void BackendSetForeground(Window& window) { current->setForeground(window); }
void BackendMenuChanged(Window& window) { current->menuChanged(window); }
void BackendSetCursorHidden(bool hidden) { current->setCursorHidden(hidden); }
bool BackendIsForeignWindow(HWND window) { return current->isForeignWindow(window); }
bool BackendForeignClientRect(HWND window, RECT* rect) { return current->foreignClientRect(window, rect); }
BOOL BackendPostForeign(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return current->postForeign(window, message, wParam, lParam);
}
HWND BackendFindForeignWindow(const char* className, const char* title) {
    return current->findForeignWindow(className, title);
}
BOOL BackendSetForegroundForeign(HWND window) { return current->setForegroundForeign(window); }
HWND BackendForegroundWindow() { return current->foregroundWindow(); }

}  // namespace emu

int GetSystemMetrics(int index) { return current->getSystemMetrics(index); }
BOOL GetCursorPos(POINT* point) { return current->getCursorPos(point); }
int GetClipBox(HDC dc, RECT* rect) { return current->getClipBox(dc, rect); }

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd) { return current->choosePixelFormat(dc, pfd); }
BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* pfd) {
    return current->setPixelFormat(dc, format, pfd);
}
int DescribePixelFormat(HDC dc, int format, UINT size, PIXELFORMATDESCRIPTOR* pfd) {
    return current->describePixelFormat(dc, format, size, pfd);
}
HGLRC wglCreateContext(HDC dc) { return current->createContext(dc); }
BOOL wglMakeCurrent(HDC dc, HGLRC context) { return current->makeCurrent(dc, context); }
BOOL wglDeleteContext(HGLRC context) { return current->deleteContext(context); }
BOOL SwapBuffers(HDC dc) { return current->swapBuffers(dc); }

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
    return current->messageBox(owner, text, caption, type);
}

void ExitProcess(UINT code) {
    if (current != nullptr) current->exitProcess(code);
    _exit(static_cast<int>(code & 0xFF));
}

}  // namespace plat
