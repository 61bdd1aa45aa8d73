#include "platform/wayland/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace plat {

namespace {

// The lock file's name, from the socket itself where it can be found: a display
// named relative to the runtime folder and the same one given as a path are
// one display. Else (no such socket) from the name as given.
bool LockPath(const char* runtimeDir, const char* display, char* path, std::size_t size) {
    const char* name = display != nullptr && display[0] != '\0' ? display : "wayland-0";
    char socketPath[4096];
    int length = name[0] == '/' ? std::snprintf(socketPath, sizeof socketPath, "%s", name)
                                : std::snprintf(socketPath, sizeof socketPath, "%s/%s", runtimeDir, name);
    struct stat socketStat;
    if (length > 0 && static_cast<std::size_t>(length) < sizeof socketPath && stat(socketPath, &socketStat) == 0 &&
        S_ISSOCK(socketStat.st_mode)) {
        length = std::snprintf(path, size, "%s/%s-socket-%llx-%llx.lock", runtimeDir, SAVER_PACKAGE_NAME,
                               static_cast<unsigned long long>(socketStat.st_dev),
                               static_cast<unsigned long long>(socketStat.st_ino));
        return length > 0 && static_cast<std::size_t>(length) < size;
    }
    char flat[128];
    std::snprintf(flat, sizeof flat, "%s", name);
    for (char* p = flat; *p != '\0'; ++p)
        if (*p == '/') *p = '_';  // a display given as a path
    length = std::snprintf(path, size, "%s/%s-%s.lock", runtimeDir, SAVER_PACKAGE_NAME, flat);
    return length > 0 && static_cast<std::size_t>(length) < size;
}

}  // namespace

LockResult TakeSaverLock(const char* runtimeDir, const char* display, int* fd) {
    *fd = -1;
    if (runtimeDir == nullptr || runtimeDir[0] != '/') return LockResult::Unavailable;
    char path[4096];
    if (!LockPath(runtimeDir, display, path, sizeof path)) return LockResult::Unavailable;
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
