/* MPR.DLL stand-in for the Wine password tests: PwdChangePasswordA appends its
 * arguments as one line to "change_calls.log" beside the library and succeeds. */
#include <stdio.h>
#include <windows.h>

#include "double_files.h"

static HMODULE self;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND owner, DWORD reserved1, DWORD reserved2) {
    char line[200];
    snprintf(line, sizeof line, "change provider=%s owner=%lu reserved=%lu,%lu", provider ? provider : "(null)",
             (unsigned long)(ULONG_PTR)owner, (unsigned long)reserved1, (unsigned long)reserved2);
    AppendLine(self, "change_calls.log", line);
    return 0;
}
