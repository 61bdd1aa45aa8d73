// Libraries bound by name and the registry on a page: none of either. The
// program's own module exists, with no file behind it.
#include "platform/web/state.h"

namespace plat {
namespace {

constexpr long kErrorFileNotFound = 2;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorInvalidParameter = 87;

const HMODULE kProgramModule = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x00400000u));

}  // namespace

HMODULE LoadLibraryA(const char*) { return nullptr; }

HMODULE GetModuleHandleA(const char* name) { return name == nullptr ? kProgramModule : nullptr; }

DWORD GetModuleFileNameA(HMODULE, char* fileName, DWORD size) {
    if (fileName != nullptr && size > 0) fileName[0] = '\0';
    return 0;
}

FARPROC GetProcAddress(HMODULE, const char*) { return nullptr; }

BOOL FreeLibrary(HMODULE) { return 0; }

long RegOpenKeyExA(HKEY, const char*, DWORD, DWORD, HKEY* result) {
    if (result == nullptr) return kErrorInvalidParameter;
    *result = nullptr;
    return kErrorFileNotFound;
}

long RegOpenKeyA(HKEY key, const char* subKey, HKEY* result) { return RegOpenKeyExA(key, subKey, 0, 0, result); }

long RegQueryValueExA(HKEY, const char*, DWORD*, DWORD*, BYTE*, DWORD*) { return kErrorInvalidHandle; }

long RegCloseKey(HKEY) { return kErrorInvalidHandle; }

}  // namespace plat
