/* Prints what GetVersionExA reports, as "platform=<id> version=<major>.<minor>",
 * the way the savers ask for it (a 148-byte record). */
#include <stdio.h>
#include <windows.h>

int main(void) {
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) {
        printf("GetVersionExA failed: %lu\n", GetLastError());
        return 1;
    }
    printf("platform=%lu version=%lu.%lu size=%u\n", version.dwPlatformId, version.dwMajorVersion,
           version.dwMinorVersion, (unsigned)sizeof version);
    return 0;
}
