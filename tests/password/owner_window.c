/* An owner window for the password change: a visible top-level window that makes
 * itself the foreground window, prints "<own handle> <foreground handle>" in
 * decimal, and lives for the given milliseconds (default 20000). */
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

static LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int main(int argc, char** argv) {
    const UINT lifetime = argc > 1 ? (UINT)atoi(argv[1]) : 20000;
    WNDCLASSA wc;
    MSG msg;
    HWND window;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszClassName = "PasswordTestOwner";
    if (!RegisterClassA(&wc)) return 1;
    window = CreateWindowExA(0, wc.lpszClassName, "Password test owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300,
                             200, NULL, NULL, wc.hInstance, NULL);
    if (!window) return 1;
    SetForegroundWindow(window);
    SetTimer(window, 1, lifetime, NULL);
    /* Let the activation settle before the foreground window is read. */
    for (int i = 0; i < 20; ++i) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(10);
    }
    printf("%lu %lu\n", (unsigned long)(ULONG_PTR)window, (unsigned long)(ULONG_PTR)GetForegroundWindow());
    fflush(stdout);
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
