// The host's part of the saver window's procedure chain, and the configuration
// dialog's procedure.
#include "host/host.h"

using namespace plat;

void ValidateWithoutDrawing(HWND window) {
    PAINTSTRUCT paint = {};
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
}

LRESULT SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            host.demoMode = 0;
            if (!StartGL(window)) PostQuitMessage(0);
            return 0;
        case WM_DESTROY:
            StopGL(window);
            PostQuitMessage(0);
            return 0;
        case WM_PAINT:
            ValidateWithoutDrawing(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            FollowScreenSize();
            return DefaultSaverProc(window, message, wParam, lParam);
        default:
            return DefaultSaverProc(window, message, wParam, lParam);
    }
}

INT_PTR SAVER_CALLBACK ConfigureDialogProc(HWND, UINT, WPARAM, LPARAM) { return 1; }
