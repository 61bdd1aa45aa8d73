#include "platform/posix/program_file.h"

#include <unistd.h>

namespace plat {

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

}  // namespace plat
