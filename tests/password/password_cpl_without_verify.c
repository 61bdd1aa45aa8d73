/* A PASSWORD.CPL that lacks VerifyScreenSavePwd: only the control-panel entry.
 * Loading and unloading append "load" and "unload" to "verify_calls.log" beside
 * the library, so a test sees that it was bound and let go. */
#include <windows.h>

#include "double_files.h"

static HMODULE self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        self = instance;
        AppendLine(self, "verify_calls.log", "load");
    } else if (reason == DLL_PROCESS_DETACH) {
        AppendLine(self, "verify_calls.log", "unload");
    }
    return TRUE;
}

LONG WINAPI CPlApplet(HWND window, UINT message, LPARAM lParam1, LPARAM lParam2) {
    (void)window;
    (void)message;
    (void)lParam1;
    (void)lParam2;
    return 0;
}
