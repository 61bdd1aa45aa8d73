// Libraries, registry and dialog templates: none exist on Linux, so every lookup
// fails the way Win32 reports a missing one.
#include <cstdint>

#include "platform/platform.h"
#include "platform/posix/program_file.h"

namespace plat {

namespace {

constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_INVALID_HANDLE = 6;

// GetModuleHandleA(null): the program itself, a handle that is only compared.
ModuleHandle* const kProgramModule = reinterpret_cast<ModuleHandle*>(static_cast<std::uintptr_t>(0x400000));

}  // namespace

HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u));

HMODULE LoadLibraryA(const char*) { return nullptr; }

HMODULE GetModuleHandleA(const char* name) { return name ? nullptr : kProgramModule; }

FARPROC GetProcAddress(HMODULE, const char*) { return nullptr; }

DWORD GetModuleFileNameA(HMODULE module, char* fileName, DWORD size) {
    if (module != nullptr && module != kProgramModule) {
        if (fileName && size > 0) fileName[0] = '\0';
        return 0;
    }
    return ReadProgramFileName(fileName, size);
}

BOOL FreeLibrary(HMODULE module) { return module ? 1 : 0; }

long RegOpenKeyExA(HKEY, const char*, DWORD, DWORD, HKEY* result) {
    if (result) *result = nullptr;
    return ERROR_FILE_NOT_FOUND;
}

long RegOpenKeyA(HKEY, const char*, HKEY* result) {
    if (result) *result = nullptr;
    return ERROR_FILE_NOT_FOUND;
}

long RegQueryValueExA(HKEY, const char*, DWORD*, DWORD*, BYTE*, DWORD*) { return ERROR_FILE_NOT_FOUND; }

long RegCloseKey(HKEY) { return ERROR_INVALID_HANDLE; }

INT_PTR DialogBoxParamA(HINSTANCE, std::uintptr_t, HWND, DLGPROC, LPARAM) { return -1; }

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX*) { return 1; }

}  // namespace plat
