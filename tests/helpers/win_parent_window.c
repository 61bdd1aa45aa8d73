/* A stand-in for the display settings' preview box.
 *
 *   win_parent_window.exe [x y [width height [lifetime_ms]]]
 *
 * Creates a top-level window (default 320 x 240 at 100, 100), prints its handle
 * in decimal on stdout, and runs until its window is destroyed.
 *
 * Commands on stdin, one a line:
 *   child   prints the first child window as
 *           "<class> <visible 0/1> <x> <y> <width> <height> <title>"
 *           (position in the parent's client area), or "none"
 *   close   destroys the window; so does the end of stdin
 * The end of the lifetime (default 60000 ms) destroys it too, so that a stray
 * helper never outlives its test. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static HWND parentWindow;

static LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
        case WM_APP:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

static void PrintChild(void) {
    HWND child = GetWindow(parentWindow, GW_CHILD);
    char className[64] = "";
    char title[64] = "";
    RECT rect;
    if (!child) {
        printf("none\n");
        return;
    }
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, title, sizeof title);
    GetWindowRect(child, &rect);
    MapWindowPoints(NULL, parentWindow, (POINT*)&rect, 2);
    printf("%s %d %ld %ld %ld %ld %s\n", className, IsWindowVisible(child) ? 1 : 0, rect.left, rect.top,
           rect.right - rect.left, rect.bottom - rect.top, title);
}

static DWORD WINAPI WatchInput(LPVOID unused) {
    char line[64];
    (void)unused;
    while (fgets(line, sizeof line, stdin) && strncmp(line, "child", 5) == 0) {
        PrintChild();
        fflush(stdout);
    }
    PostMessageA(parentWindow, WM_APP, 0, 0);
    return 0;
}

int main(int argc, char** argv) {
    const int x = argc > 1 ? atoi(argv[1]) : 100;
    const int y = argc > 2 ? atoi(argv[2]) : 100;
    const int width = argc > 4 ? atoi(argv[3]) : 320;
    const int height = argc > 4 ? atoi(argv[4]) : 240;
    const UINT lifetime = argc > 5 ? (UINT)atoi(argv[5]) : 60000;
    WNDCLASSA wc = {0};
    MSG msg;

    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = "SaverTestParent";
    if (!RegisterClassA(&wc)) return 1;
    parentWindow = CreateWindowExA(0, wc.lpszClassName, "Saver test parent", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x,
                                   y, width, height, NULL, NULL, wc.hInstance, NULL);
    if (!parentWindow) return 1;
    printf("%lu\n", (unsigned long)(ULONG_PTR)parentWindow);
    fflush(stdout);
    SetTimer(parentWindow, 1, lifetime, NULL);
    CreateThread(NULL, 0, WatchInput, NULL, 0, NULL);
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
