// The start of a lock picture process (the picture table's `start`): checks
// that the lock started it (the shared memory and the channel on their
// descriptors, the memory the size of the picture's slots), maps the slots and
// runs the shell's full-screen saver. Anything else is refused with one line.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "platform/wayland/libraries.h"
#include "platform/wayland/picture_state.h"

namespace plat {

PictureState picture = {nullptr, 0, 0, -1, nullptr, 0, {}, nullptr, false};

namespace {

bool IsSeqPacketSocket(int fd) {
    int type = 0;
    socklen_t length = sizeof type;
    return getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &length) == 0 && type == SOCK_SEQPACKET;
}

}  // namespace

bool PictureStart(const EntryOptions& options, const char* program, ShellArguments*, int* status) {
    picture.program = program;
    picture.width = options.pictureWidth;
    picture.height = options.pictureHeight;
    picture.slotBytes = PictureSlotBytes(picture.width, picture.height);
    const std::size_t bytes = picture.slotBytes * kPictureSlots;
    struct stat memory;
    if (fstat(kPictureMemoryFd, &memory) != 0 || !S_ISREG(memory.st_mode) ||
        static_cast<std::size_t>(memory.st_size) != bytes || !IsSeqPacketSocket(kPictureChannelFd)) {
        std::fprintf(stderr, "%s: %s is started by --lock only\n", program, kLockPictureOption);
        *status = kBadCommandLineStatus;
        return false;
    }
    void* slots = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, kPictureMemoryFd, 0);
    char error[512];
    if (slots == MAP_FAILED) {
        std::fprintf(stderr, "%s: no memory for the lock's picture of %dx%d\n", program, picture.width, picture.height);
        *status = 1;
        return false;
    }
    if (!LoadWaylandLibraries(error, sizeof error)) {
        std::fprintf(stderr, "%s: %s\n", program, error);
        *status = 1;
        return false;
    }
    close(kPictureMemoryFd);
    picture.slots = static_cast<std::uint8_t*>(slots);
    picture.channel = kPictureChannelFd;
    fcntl(picture.channel, F_SETFL, fcntl(picture.channel, F_GETFL) | O_NONBLOCK);
    fcntl(picture.channel, F_SETFD, FD_CLOEXEC);
    return true;
}

void PictureExitProcess(UINT code) {
    std::fflush(stderr);
    _exit(static_cast<int>((picture.failed && (code & 0xFF) == 0 ? 1 : code) & 0xFF));
}

}  // namespace plat
