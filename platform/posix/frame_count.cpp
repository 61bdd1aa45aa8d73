#include "platform/posix/frame_count.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace plat {
namespace {

struct FrameCount {
    bool checked;
    int fd;  // -1 when off
    unsigned long long frames;
};

FrameCount count = {false, -1, 0};

void Open() {
    count.checked = true;
    const char* folder = std::getenv("SAVER_FRAME_COUNT_DIR");
    if (folder == nullptr || *folder == '\0') return;
    char path[4096];
    const int length = std::snprintf(path, sizeof path, "%s/%ld", folder, static_cast<long>(getpid()));
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path) return;
    count.fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

}  // namespace

void NoteFramePresented() {
    ++count.frames;
    if (!count.checked) Open();
    if (count.fd < 0) return;
    // The count only grows, so each text is at least as long as the last.
    char text[24];
    const int length = std::snprintf(text, sizeof text, "%llu\n", count.frames);
    if (pwrite(count.fd, text, static_cast<std::size_t>(length), 0) < 0) {
        close(count.fd);  // a folder that went away: counting ends
        count.fd = -1;
    }
}

}  // namespace plat
