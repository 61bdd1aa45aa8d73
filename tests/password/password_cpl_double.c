/* PASSWORD.CPL stand-in for the Wine password tests. VerifyScreenSavePwd answers
 * from "verify_answers.txt" beside this library: call n uses line n (the last
 * line once the calls outnumber the lines), each line "<answer> [<dialog ms>]".
 * For the dialog time the call shows the arrow cursor and pumps the thread's
 * messages, as the real password dialog does. Every call appends one line to
 * "verify_calls.log" beside the library when it starts and "done <n>" when it
 * returns (a question asked inside another shows as two calls before a done);
 * loading and unloading append "load" and "unload". No answers file means a
 * wrong answer. */
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "double_files.h"

static HMODULE self;
static int callCount;

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

/* The answer and dialog time scripted for call number n (1-based). */
static void ScriptedAnswer(int n, int* answer, int* dialogMs) {
    char path[MAX_PATH];
    char line[128];
    FILE* file;
    *answer = 0;
    *dialogMs = 0;
    if (!PathBeside(self, "verify_answers.txt", path, sizeof path)) return;
    file = fopen(path, "r");
    if (!file) return;
    for (int i = 1; i <= n && fgets(line, sizeof line, file); ++i) {
        int a = 0, ms = 0;
        const int fields = sscanf(line, "%d %d", &a, &ms);
        if (fields >= 1) {
            *answer = a;
            *dialogMs = fields == 2 ? ms : 0;
        }
    }
    fclose(file);
}

/* Stands for the modal dialog: cursor shown, the thread's messages pumped. */
static void HoldDialog(int ms) {
    const DWORD start = GetTickCount();
    if (ms <= 0) return;
    SetCursor(LoadCursorA(NULL, IDC_ARROW));
    /* One message per turn: with frames slower than the saver's timer a timer
     * message is always due, and draining the queue would never end. */
    while (GetTickCount() - start < (DWORD)ms) {
        MSG msg;
        if (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else {
            Sleep(5);
        }
        SetCursor(LoadCursorA(NULL, IDC_ARROW));
    }
}

BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    char className[64] = "";
    char line[160];
    int answer, dialogMs;
    ++callCount;
    ScriptedAnswer(callCount, &answer, &dialogMs);
    GetClassNameA(window, className, sizeof className);
    snprintf(line, sizeof line, "call %d window=%lu class=%s answer=%d dialog=%d", callCount,
             (unsigned long)(ULONG_PTR)window, className, answer, dialogMs);
    AppendLine(self, "verify_calls.log", line);
    HoldDialog(dialogMs);
    snprintf(line, sizeof line, "done %d", callCount);
    AppendLine(self, "verify_calls.log", line);
    return answer != 0;
}
