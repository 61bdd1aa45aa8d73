/* Reads back a program's resources the way Windows does: the Screen Saver
 * settings take string 1, Explorer's Properties the version information, the
 * loader the manifest.
 *
 *   win_resource_check.exe <program>
 *
 * Prints one "<key>=<value>" line each:
 *   name               LoadStringA(module, 1) of the program loaded as data
 *   fileversion        a.b.c.d from the fixed version information
 *   productversion     a.b.c.d likewise
 *   FileDescription, FileVersion, InternalName, OriginalFilename, ProductName,
 *   ProductVersion     GetFileVersionInfoA's strings (US English, Unicode)
 *   manifest           the manifest (resource 1 of type 24), on one line
 *   icon100, dialog2003  "yes" or "no": the icon and dialog the savers ask
 *                      for and must not ship
 * A value that cannot be read is printed as "(none)". Exits 1 when the program
 * cannot be loaded. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

static void PrintVersionString(const void* info, const char* key) {
    char path[96];
    char* value = NULL;
    UINT length = 0;
    snprintf(path, sizeof path, "\\StringFileInfo\\040904B0\\%s", key);
    if (VerQueryValueA(info, path, (void**)&value, &length) && length > 0)
        printf("%s=%s\n", key, value);
    else
        printf("%s=(none)\n", key);
}

static void PrintQuad(const char* key, DWORD high, DWORD low) {
    printf("%s=%u.%u.%u.%u\n", key, (unsigned)HIWORD(high), (unsigned)LOWORD(high), (unsigned)HIWORD(low),
           (unsigned)LOWORD(low));
}

static void PrintVersion(const char* program) {
    static const char* const keys[] = {"FileDescription",  "FileVersion", "InternalName",
                                       "OriginalFilename", "ProductName", "ProductVersion"};
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(program, &ignored);
    void* info = size ? malloc(size) : NULL;
    VS_FIXEDFILEINFO* fixed = NULL;
    UINT length = 0;
    if (!info || !GetFileVersionInfoA(program, 0, size, info)) {
        printf("fileversion=(none)\nproductversion=(none)\n");
        for (size_t i = 0; i < sizeof keys / sizeof keys[0]; ++i) printf("%s=(none)\n", keys[i]);
        free(info);
        return;
    }
    if (VerQueryValueA(info, "\\", (void**)&fixed, &length) && length >= sizeof *fixed) {
        PrintQuad("fileversion", fixed->dwFileVersionMS, fixed->dwFileVersionLS);
        PrintQuad("productversion", fixed->dwProductVersionMS, fixed->dwProductVersionLS);
    } else {
        printf("fileversion=(none)\nproductversion=(none)\n");
    }
    for (size_t i = 0; i < sizeof keys / sizeof keys[0]; ++i) PrintVersionString(info, keys[i]);
    free(info);
}

static void PrintManifest(HMODULE module) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    HGLOBAL loaded = found ? LoadResource(module, found) : NULL;
    const char* text = loaded ? (const char*)LockResource(loaded) : NULL;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    if (!text || size == 0) {
        printf("manifest=(none)\n");
        return;
    }
    printf("manifest=");
    for (DWORD i = 0; i < size; ++i)
        if (text[i] != '\r' && text[i] != '\n') putchar(text[i]);
    putchar('\n');
}

/* The compatibility list as Wine and Windows 10 (1903 on) return it; mingw's
 * headers lack MaxVersionTested. */
typedef struct {
    GUID Id;
    DWORD Type;
    ULONGLONG MaxVersionTested;
} CompatibilityElement;
typedef struct {
    DWORD ElementCount;
    CompatibilityElement Elements[];
} CompatibilityInformation;

/* The manifest as the loader reads it: an activation context made from the
 * program's resource 1, its DPI settings and its supported systems. */
static void PrintActivationContext(const char* program) {
    static const WCHAR* const settings[] = {L"dpiAware", L"dpiAwareness"};
    static const WCHAR* const namespaces[] = {L"http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                                              L"http://schemas.microsoft.com/SMI/2016/WindowsSettings"};
    ACTCTXA request;
    HANDLE context;
    memset(&request, 0, sizeof request);
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = program;
    request.lpResourceName = MAKEINTRESOURCEA(1);
    context = CreateActCtxA(&request);
    if (context == INVALID_HANDLE_VALUE) {
        printf("actctx=(none) error %lu\n", GetLastError());
        return;
    }
    printf("actctx=yes\n");
    for (size_t i = 0; i < sizeof settings / sizeof settings[0]; ++i) {
        WCHAR value[128];
        SIZE_T written = 0;
        if (QueryActCtxSettingsW(0, context, namespaces[i], settings[i], value, 128, &written))
            printf("actctx.%ls=%ls\n", settings[i], value);
        else
            printf("actctx.%ls=(none)\n", settings[i]);
    }
    {
        __attribute__((aligned(8))) BYTE buffer[1024];
        SIZE_T written = 0;
        if (QueryActCtxW(0, context, NULL, CompatibilityInformationInActivationContext, buffer, sizeof buffer,
                         &written)) {
            const CompatibilityInformation* info = (const void*)buffer;
            printf("actctx.supportedOS=");
            for (DWORD i = 0; i < info->ElementCount; ++i) {
                const GUID* id = &info->Elements[i].Id;
                if (info->Elements[i].Type != ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) continue;
                printf("%s{%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}", i ? "," : "", id->Data1, id->Data2,
                       id->Data3, id->Data4[0], id->Data4[1], id->Data4[2], id->Data4[3], id->Data4[4], id->Data4[5],
                       id->Data4[6], id->Data4[7]);
            }
            printf("\n");
        } else {
            printf("actctx.supportedOS=(none) error %lu\n", GetLastError());
        }
    }
    {
        ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION level;
        SIZE_T written = 0;
        static const char* const names[] = {"unspecified", "asInvoker", "highestAvailable", "requireAdministrator"};
        if (QueryActCtxW(0, context, NULL, RunlevelInformationInActivationContext, &level, sizeof level, &written) &&
            (unsigned)level.RunLevel < sizeof names / sizeof names[0])
            printf("actctx.runLevel=%s uiAccess=%lu\n", names[level.RunLevel], level.UiAccess);
        else
            printf("actctx.runLevel=(none)\n");
    }
    ReleaseActCtx(context);
}

int main(int argc, char** argv) {
    char name[256];
    HMODULE module;
    if (argc != 2) {
        fprintf(stderr, "usage: win_resource_check.exe <program>\n");
        return 2;
    }
    module = LoadLibraryExA(argv[1], NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        printf("cannot load %s: error %lu\n", argv[1], GetLastError());
        return 1;
    }
    if (LoadStringA(module, 1, name, sizeof name) > 0)
        printf("name=%s\n", name);
    else
        printf("name=(none)\n");
    PrintVersion(argv[1]);
    PrintManifest(module);
    PrintActivationContext(argv[1]);
    printf("icon100=%s\n", FindResourceA(module, MAKEINTRESOURCEA(100), RT_GROUP_ICON) ? "yes" : "no");
    printf("dialog2003=%s\n", FindResourceA(module, MAKEINTRESOURCEA(2003), RT_DIALOG) ? "yes" : "no");
    FreeLibrary(module);
    return 0;
}
