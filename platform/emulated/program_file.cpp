// The program's own path, for GetModuleFileNameA on x11 and headless.
#include <unistd.h>

#include "platform/emulated/backend.h"

namespace plat {
namespace emu {

DWORD ReadProgramFileName(char* fileName, DWORD size) {
    if (fileName == nullptr || size == 0) return 0;
    const ssize_t length = readlink("/proc/self/exe", fileName, size);
    if (length <= 0) {
        fileName[0] = '\0';
        return 0;
    }
    if (static_cast<DWORD>(length) >= size) {
        fileName[size - 1] = '\0';
        return size;
    }
    fileName[length] = '\0';
    return static_cast<DWORD>(length);
}

}  // namespace emu
}  // namespace plat
