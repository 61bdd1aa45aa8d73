// Libraries bound by name and the registry, headless: the program's own module,
// the scripted password provider ("PASSWORD.CPL", "MPR.DLL"), the input-method
// library ("IMM32.DLL") and the one registry
// value the savers read.
#include <strings.h>

#include <cstdio>
#include <cstring>

#include "platform/emulated/backend.h"
#include "platform/headless/headless_state.h"
#include "platform/posix/program_file.h"

namespace {

using headless::internal::Log;
using headless::internal::state;

constexpr long kErrorFileNotFound = 2;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorInvalidParameter = 87;
constexpr long kErrorMoreData = 234;
constexpr plat::DWORD kRegDword = 4;
constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kPasswordValue = "ScreenSaveUsePassword";

plat::HMODULE Module(std::uintptr_t value) { return reinterpret_cast<plat::HMODULE>(value); }

const plat::HMODULE kProgramModule = Module(0x00400000u);
const plat::HMODULE kPasswordModule = Module(0x10000000u);
const plat::HMODULE kChangeModule = Module(0x20000000u);
const plat::HMODULE kImmModule = Module(0x30000000u);
const plat::HKEY kDesktop = reinterpret_cast<plat::HKEY>(static_cast<std::uintptr_t>(0x7E000001u));

bool NameIs(const char* name, const char* expected) { return name != nullptr && strcasecmp(name, expected) == 0; }

plat::BOOL SAVER_CALLBACK VerifyScreenSavePwd(plat::HWND) {
    ++state.passwordQuestions;
    Log("VerifyScreenSavePwd");
    if (state.passwordAnswers.empty()) return 0;  // no answer scripted: refuse
    std::size_t index = state.nextAnswer < state.passwordAnswers.size() ? state.nextAnswer++ : state.nextAnswer - 1;
    return state.passwordAnswers[index];
}

plat::DWORD SAVER_CALLBACK PwdChangePasswordA(const char* provider, plat::HWND owner, plat::DWORD, plat::DWORD) {
    state.changePasswordCalls.push_back({provider != nullptr ? provider : "", owner});
    return 0;
}

plat::HIMC SAVER_CALLBACK ImmAssociateContext(plat::HWND window, plat::HIMC context) {
    char line[64];
    std::snprintf(line, sizeof line, "ImmAssociateContext %zx", reinterpret_cast<std::uintptr_t>(context));
    Log(line);
    for (auto& association : state.imeContexts) {
        if (association.first != window) continue;
        plat::HIMC previous = association.second;
        association.second = context;
        return previous;
    }
    state.imeContexts.emplace_back(window, context);
    return state.imeInitialContext;
}

template <typename Function>
plat::FARPROC AsFarProc(Function function) {
    return reinterpret_cast<plat::FARPROC>(reinterpret_cast<void*>(function));
}

long OpenKey(const char* call, plat::HKEY key, const char* subKey, plat::HKEY* result) {
    Log(std::string(call) + " " + (subKey != nullptr ? subKey : ""));
    if (result == nullptr) return kErrorInvalidParameter;
    *result = nullptr;
    if (key != plat::HKEY_CURRENT_USER) return kErrorInvalidHandle;
    if (!NameIs(subKey, kDesktopKey)) return kErrorFileNotFound;
    ++state.openDesktopKeys;
    *result = kDesktop;
    return plat::ERROR_SUCCESS;
}

}  // namespace

namespace plat {

HMODULE LoadLibraryA(const char* name) {
    Log(std::string("LoadLibraryA ") + (name != nullptr ? name : "(null)"));
    if (NameIs(name, "PASSWORD.CPL") && state.verifyLibrary) {
        ++state.passwordLibraryRefs;
        return kPasswordModule;
    }
    if (NameIs(name, "MPR.DLL") && state.changeLibrary) {
        ++state.changeLibraryRefs;
        return kChangeModule;
    }
    return nullptr;
}

HMODULE GetModuleHandleA(const char* name) {
    Log(std::string("GetModuleHandleA ") + (name != nullptr ? name : "(null)"));
    if (name == nullptr) return kProgramModule;
    if (NameIs(name, "PASSWORD.CPL") && state.passwordLibraryRefs > 0) return kPasswordModule;
    if (NameIs(name, "MPR.DLL") && state.changeLibraryRefs > 0) return kChangeModule;
    if (NameIs(name, "IMM32.DLL") && state.imeLoaded) return kImmModule;
    return nullptr;
}

DWORD GetModuleFileNameA(HMODULE module, char* fileName, DWORD size) {
    if (fileName == nullptr || size == 0) return 0;
    fileName[0] = '\0';
    if (module != nullptr && module != kProgramModule) return 0;
    const std::string& path = state.config.programPath;
    if (path.empty()) return ReadProgramFileName(fileName, size);
    if (path.size() >= size) {
        std::memcpy(fileName, path.data(), size - 1);
        fileName[size - 1] = '\0';
        return size;
    }
    std::memcpy(fileName, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
    Log(std::string("GetProcAddress ") + (name != nullptr ? name : "(null)"));
    if (name == nullptr) return nullptr;
    if (module == kPasswordModule && state.passwordLibraryRefs > 0 && state.verifyFunction &&
        std::strcmp(name, "VerifyScreenSavePwd") == 0)
        return AsFarProc(&VerifyScreenSavePwd);
    if (module == kChangeModule && state.changeLibraryRefs > 0 && state.changeFunction &&
        std::strcmp(name, "PwdChangePasswordA") == 0)
        return AsFarProc(&PwdChangePasswordA);
    if (module == kImmModule && state.imeLoaded && state.imeFunction && std::strcmp(name, "ImmAssociateContext") == 0)
        return AsFarProc(&ImmAssociateContext);
    return nullptr;
}

BOOL FreeLibrary(HMODULE module) {
    if (module == kPasswordModule && state.passwordLibraryRefs > 0) {
        Log("FreeLibrary PASSWORD.CPL");
        --state.passwordLibraryRefs;
        return 1;
    }
    if (module == kChangeModule && state.changeLibraryRefs > 0) {
        Log("FreeLibrary MPR.DLL");
        --state.changeLibraryRefs;
        return 1;
    }
    Log("FreeLibrary (unknown)");
    return 0;
}

long RegOpenKeyExA(HKEY key, const char* subKey, DWORD, DWORD, HKEY* result) {
    return OpenKey("RegOpenKeyExA", key, subKey, result);
}

long RegOpenKeyA(HKEY key, const char* subKey, HKEY* result) { return OpenKey("RegOpenKeyA", key, subKey, result); }

long RegQueryValueExA(HKEY key, const char* name, DWORD*, DWORD* type, BYTE* data, DWORD* size) {
    Log(std::string("RegQueryValueExA ") + (name != nullptr ? name : "(null)"));
    if (key != kDesktop || state.openDesktopKeys == 0) return kErrorInvalidHandle;
    if (data != nullptr && size == nullptr) return kErrorInvalidParameter;
    if (!NameIs(name, kPasswordValue) || !state.passwordSettingPresent) return kErrorFileNotFound;
    if (type != nullptr) *type = kRegDword;
    if (data == nullptr) {
        if (size != nullptr) *size = sizeof(DWORD);
        return ERROR_SUCCESS;
    }
    if (*size < sizeof(DWORD)) {
        *size = sizeof(DWORD);
        return kErrorMoreData;
    }
    std::memcpy(data, &state.passwordSettingValue, sizeof(DWORD));
    *size = sizeof(DWORD);
    return ERROR_SUCCESS;
}

long RegCloseKey(HKEY key) {
    Log("RegCloseKey");
    if (key != kDesktop || state.openDesktopKeys == 0) return kErrorInvalidHandle;
    --state.openDesktopKeys;
    return ERROR_SUCCESS;
}

}  // namespace plat
