// The saver's picture behind the lock: one picture process per output
// (lock_picture.h), started with exec so that none of the lock's memory
// reaches it, and its frames shown on the output's lock surface with the
// indicator drawn over them. One frame waits at most: it is attached when the
// compositor's frame callback says the last one was shown, and a slot goes
// back to the picture process once the compositor has released it, so a
// hidden output stops the saver's timers instead of drawing for nobody.
//
// A picture process that ends, or hands over a slot it does not hold, is
// stopped; its output shows the plain buffers (black with the indicator) and
// the lock goes on. Nothing it sends can unlock.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <initializer_list>

#include "platform/wayland/lock_state.h"

namespace plat {

namespace {

constexpr int kPictureNice = 10;

int SlotOf(const LockPicture& picture, const LockBuffer* slot) { return static_cast<int>(slot - picture.slots); }

void GiveBack(LockPicture& picture, int slot) {
    picture.holders[slot] = SlotHolder::Picture;
    const unsigned char message = static_cast<unsigned char>(slot);
    // A full or closed channel shows as the process's end when it is polled.
    (void)!send(picture.channel, &message, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
}

void OnSlotRelease(void* data, wl_buffer*) {
    LockBuffer& slot = *static_cast<LockBuffer*>(data);
    LockPicture& picture = slot.owner->picture;
    slot.busy = false;
    const int index = SlotOf(picture, &slot);
    if (picture.holders[index] == SlotHolder::Replaced) GiveBack(picture, index);
}

const wl_buffer_listener kSlotListener = {OnSlotRelease};

void ShowPending(LockOutput& output);

void OnFrameDone(void* data, wl_callback* callback, std::uint32_t) {
    LockOutput& output = *static_cast<LockOutput*>(data);
    wl_callback_destroy(callback);
    output.picture.frame = nullptr;
    ShowPending(output);
}

const wl_callback_listener kFrameListener = {OnFrameDone};

// The waiting frame onto the surface, with the indicator over it, once the
// compositor has shown the last one.
void ShowPending(LockOutput& output) {
    LockPicture& picture = output.picture;
    if (picture.pending < 0 || picture.frame != nullptr || output.lockSurface == nullptr) return;
    const int index = picture.pending;
    LockBuffer& slot = picture.slots[index];
    // The slot's rows run bottom to top: the indicator is drawn upside down,
    // and the compositor turns the whole buffer upright.
    cairo_save(slot.cairo);
    cairo_translate(slot.cairo, 0, picture.height);
    cairo_scale(slot.cairo, 1, -1);
    LockPaintIndicator(slot.cairo, picture.width, picture.height, picture.scale);
    cairo_restore(slot.cairo);
    cairo_surface_flush(slot.surface);
    wl_surface_set_buffer_transform(output.surface, WL_OUTPUT_TRANSFORM_FLIPPED_180);
    wl_surface_set_buffer_scale(output.surface, picture.scale);
    wl_surface_attach(output.surface, slot.buffer, 0, 0);
    wl_surface_damage_buffer(output.surface, 0, 0, picture.width, picture.height);
    picture.frame = wl_surface_frame(output.surface);
    wl_callback_add_listener(picture.frame, &kFrameListener, &output);
    wl_surface_commit(output.surface);
    slot.busy = true;
    if (picture.shown >= 0 && picture.shown != index) {
        picture.holders[picture.shown] = SlotHolder::Replaced;
        if (!picture.slots[picture.shown].busy) GiveBack(picture, picture.shown);
    }
    picture.holders[index] = SlotHolder::Shown;
    picture.shown = index;
    picture.pending = -1;
    output.dirty = false;
}

void FreeSlots(LockPicture& picture) {
    for (LockBuffer& slot : picture.slots) {
        if (slot.cairo != nullptr) cairo_destroy(slot.cairo);
        if (slot.surface != nullptr) cairo_surface_destroy(slot.surface);
        if (slot.buffer != nullptr) wl_buffer_destroy(slot.buffer);
        slot = LockBuffer{};
    }
    if (picture.memory != nullptr) munmap(picture.memory, picture.bytes);
    picture.memory = nullptr;
}

// The slots in one memfd, each a wl_buffer and a cairo surface; the memfd, or -1.
int MakeSlots(LockOutput& output, LockPicture& picture) {
    const std::size_t slotBytes = PictureSlotBytes(picture.width, picture.height);
    picture.bytes = slotBytes * kPictureSlots;
    const int memory = memfd_create("corvel-lock-picture", MFD_CLOEXEC);
    if (memory < 0) return -1;
    void* map = MAP_FAILED;
    if (ftruncate(memory, static_cast<off_t>(picture.bytes)) == 0)
        map = mmap(nullptr, picture.bytes, PROT_READ | PROT_WRITE, MAP_SHARED, memory, 0);
    if (map == MAP_FAILED) {
        close(memory);
        return -1;
    }
    picture.memory = map;
    const int stride = picture.width * 4;
    wl_shm_pool* pool = wl_shm_create_pool(lk.shm, memory, static_cast<std::int32_t>(picture.bytes));
    for (int index = 0; index < kPictureSlots; ++index) {
        LockBuffer& slot = picture.slots[index];
        slot.owner = &output;
        slot.data = static_cast<unsigned char*>(map) + slotBytes * index;
        slot.size = slotBytes;
        slot.buffer = wl_shm_pool_create_buffer(pool, static_cast<std::int32_t>(slotBytes * index), picture.width,
                                                picture.height, stride, WL_SHM_FORMAT_XRGB8888);
        wl_buffer_add_listener(slot.buffer, &kSlotListener, &slot);
        slot.surface = cairo_image_surface_create_for_data(static_cast<unsigned char*>(slot.data), CAIRO_FORMAT_RGB24,
                                                           picture.width, picture.height, stride);
        slot.cairo = cairo_create(slot.surface);
    }
    wl_shm_pool_destroy(pool);
    return memory;
}

// The child's side of the fork: the descriptors in their places, the signals
// as a new program expects them, and exec. Ends with the lock.
[[noreturn]] void ExecPicture(pid_t lock, int memory, int channel, const char* size) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != lock) _exit(1);
    for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE, SIGCHLD}) std::signal(signal, SIG_DFL);
    // Below the lock and the compositor: when the CPU is short, keys are read
    // and the indicator drawn before the saver's next frame.
    setpriority(PRIO_PROCESS, 0, kPictureNice);
    // Above both targets first, so that neither dup2 overwrites the other's source.
    memory = fcntl(memory, F_DUPFD, 10);
    channel = fcntl(channel, F_DUPFD, 10);
    if (memory < 0 || channel < 0 || dup2(memory, kPictureMemoryFd) < 0 || dup2(channel, kPictureChannelFd) < 0)
        _exit(1);
    execl("/proc/self/exe", lk.program, kLockPictureOption, size, static_cast<char*>(nullptr));
    _exit(127);
}

bool StartPicture(LockOutput& output) {
    LockPicture& picture = output.picture;
    const int memory = MakeSlots(output, picture);
    int pair[2] = {-1, -1};
    if (memory < 0 || socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
        if (memory >= 0) close(memory);
        return false;
    }
    char size[32];
    std::snprintf(size, sizeof size, "%dx%d", picture.width, picture.height);
    const pid_t lock = getpid();
    const pid_t pid = fork();
    if (pid == 0) ExecPicture(lock, memory, pair[1], size);
    close(memory);
    close(pair[1]);
    if (pid < 0) {
        close(pair[0]);
        return false;
    }
    picture.pid = pid;
    picture.channel = pair[0];
    picture.pending = picture.shown = -1;
    for (int index = 0; index < kPictureSlots; ++index) GiveBack(picture, index);
    return true;
}

// Stops the picture and keeps its size, so that no new one starts until the size changes.
void EndPicture(LockOutput& output) {
    LockPicture& picture = output.picture;
    const int width = picture.width, height = picture.height, scale = picture.scale;
    LockStopPicture(output);
    picture.width = width;
    picture.height = height;
    picture.scale = scale;
    picture.ended = true;
}

}  // namespace

void LockKeepPicture(LockOutput& output, int width, int height, int scale) {
    LockPicture& picture = output.picture;
    const bool sameSize = picture.width == width && picture.height == height && picture.scale == scale;
    if (sameSize && (picture.pid != 0 || picture.ended)) return;
    LockStopPicture(output);
    if (width <= 0 || height <= 0 || width > kLockPictureMaxSide || height > kLockPictureMaxSide) return;
    picture.width = width;
    picture.height = height;
    picture.scale = scale;
    if (!StartPicture(output)) {
        std::fprintf(stderr, "%s: cannot start the saver's picture for a %dx%d output; it shows black\n", lk.program,
                     width, height);
        EndPicture(output);
    }
}

bool LockPictureShows(const LockOutput& output) { return output.picture.pid != 0 && output.picture.shown >= 0; }

void LockStopPicture(LockOutput& output) {
    LockPicture& picture = output.picture;
    if (picture.frame != nullptr) wl_callback_destroy(picture.frame);
    FreeSlots(picture);
    if (picture.pid > 0) {
        close(picture.channel);
        kill(picture.pid, SIGKILL);
        while (waitpid(picture.pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    picture = LockPicture{};
}

void LockStopPictures() {
    for (LockOutput& output : lk.outputs) {
        if (output.used) LockStopPicture(output);
    }
}

int LockPictureChannels(pollfd* fds, LockOutput** owners, int capacity) {
    int count = 0;
    for (LockOutput& output : lk.outputs) {
        if (!output.used || output.picture.pid <= 0 || count == capacity) continue;
        fds[count] = pollfd{output.picture.channel, POLLIN, 0};
        owners[count++] = &output;
    }
    return count;
}

void LockPictureReadable(LockOutput& output) {
    LockPicture& picture = output.picture;
    const char* fault = nullptr;
    for (;;) {
        unsigned char message;
        const ssize_t count = recv(picture.channel, &message, 1, MSG_DONTWAIT);
        if (count < 0 && (errno == EAGAIN || errno == EINTR)) break;
        if (count != 1) {
            fault = "ended";
            break;
        }
        if (message >= kPictureSlots || picture.holders[message] != SlotHolder::Picture) {
            fault = "handed over a frame it did not hold";
            break;
        }
        if (picture.pending >= 0) GiveBack(picture, picture.pending);  // only the newest frame waits
        picture.pending = message;
        picture.holders[message] = SlotHolder::Pending;
    }
    if (fault == nullptr) {
        ShowPending(output);
        return;
    }
    std::fprintf(stderr, "%s: the saver's picture on a %dx%d output %s; the output shows black\n", lk.program,
                 picture.width, picture.height, fault);
    EndPicture(output);
    output.dirty = true;
}

}  // namespace plat
