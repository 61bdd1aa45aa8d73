// Libraries loaded and functions looked up by name at run time, and the
// read-only registry access of the password settings.
#include <cstdint>

#include "platform/platform.h"

namespace plat {
// Defined before <windows.h>, whose HKEY_CURRENT_USER macro would rewrite the name.
// Its value, 0x80000001 as a signed 32-bit number widened to a pointer
// (0xFFFFFFFF80000001 in a 64-bit process).
HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(static_cast<std::intptr_t>(std::int32_t{-0x7FFFFFFF}));
}  // namespace plat

#include "platform/win32/win32_convert.h"

namespace plat {

using win32::Callback;
using win32::Handle;

HMODULE LoadLibraryA(const char* name) { return Handle<HMODULE>(::LoadLibraryA(name)); }

HMODULE GetModuleHandleA(const char* name) { return Handle<HMODULE>(::GetModuleHandleA(name)); }

DWORD GetModuleFileNameA(HMODULE module, char* fileName, DWORD size) {
    return ::GetModuleFileNameA(Handle<::HMODULE>(module), fileName, size);
}

// A GUI program has no console to write to.
void WriteDiagnostic(const char*) {}

FARPROC GetProcAddress(HMODULE module, const char* name) {
    return Callback<FARPROC>(::GetProcAddress(Handle<::HMODULE>(module), name));
}

BOOL FreeLibrary(HMODULE module) { return ::FreeLibrary(Handle<::HMODULE>(module)); }

long RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, DWORD access, HKEY* result) {
    ::HKEY opened = nullptr;
    const long status = ::RegOpenKeyExA(Handle<::HKEY>(key), subKey, options, access, &opened);
    *result = Handle<HKEY>(opened);
    return status;
}

long RegOpenKeyA(HKEY key, const char* subKey, HKEY* result) {
    ::HKEY opened = nullptr;
    const long status = ::RegOpenKeyA(Handle<::HKEY>(key), subKey, &opened);
    *result = Handle<HKEY>(opened);
    return status;
}

// DWORD is unsigned int in the seam and unsigned long in <windows.h>: the three
// optional counters travel through locals. The size is in and out.
long RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size) {
    ::DWORD winType = 0;
    ::DWORD winSize = size ? *size : 0;
    const long status = ::RegQueryValueExA(Handle<::HKEY>(key), name, reinterpret_cast<::LPDWORD>(reserved),
                                           type ? &winType : nullptr, data, size ? &winSize : nullptr);
    if (type) *type = winType;
    if (size) *size = winSize;
    return status;
}

long RegCloseKey(HKEY key) { return ::RegCloseKey(Handle<::HKEY>(key)); }

}  // namespace plat
