#include "platform/wayland/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace plat {

LockResult TakeSaverLock(const char* runtimeDir, const char* display, int* fd) {
    *fd = -1;
    if (runtimeDir == nullptr || runtimeDir[0] != '/') return LockResult::Unavailable;
    char name[128];
    std::snprintf(name, sizeof name, "%s", display != nullptr && display[0] != '\0' ? display : "wayland-0");
    for (char* p = name; *p != '\0'; ++p)
        if (*p == '/') *p = '_';  // a display given as a path
    char path[4096];
    const int length = std::snprintf(path, sizeof path, "%s/%s-%s.lock", runtimeDir, SAVER_PACKAGE_NAME, name);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof path) return LockResult::Unavailable;
    const int file = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (file < 0) return LockResult::Unavailable;
    if (flock(file, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        close(file);
        return held ? LockResult::HeldElsewhere : LockResult::Unavailable;
    }
    *fd = file;
    return LockResult::Taken;
}

}  // namespace plat
