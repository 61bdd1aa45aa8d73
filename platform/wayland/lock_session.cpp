// The session lock's connection and life: the refusals before anything is
// locked, ext_session_lock_manager_v1.lock, one lock surface per output (also
// for outputs added while locked), input, the check's answer, and the unlock.
// Fails closed: only a correct PAM answer unlocks. Stop signals are ignored;
// a killed locker leaves the compositor's lock in place.
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>

#include "platform/wayland/libraries.h"
#include "platform/wayland/lock.h"
#include "platform/wayland/lock_state.h"
#include "platform/wayland/read_loop.h"

namespace plat {

LockState lk;

long long LockNowMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

namespace {

constexpr int kAnswerTimeoutMs = 5000;

std::uint32_t Lower(std::uint32_t offered, std::uint32_t wanted) { return offered < wanted ? offered : wanted; }

// --- Outputs and their lock surfaces ---

void OnLockSurfaceConfigure(void* data, ext_session_lock_surface_v1* surface, std::uint32_t serial, std::uint32_t width,
                            std::uint32_t height) {
    LockOutput& output = *static_cast<LockOutput*>(data);
    ext_session_lock_surface_v1_ack_configure(surface, serial);
    if (static_cast<int>(width) != output.width || static_cast<int>(height) != output.height) {
        LockFreeBuffers(output);
        output.width = static_cast<int>(width);
        output.height = static_cast<int>(height);
    }
    output.configured = width > 0 && height > 0;
    LockDraw(output);
}

const ext_session_lock_surface_v1_listener kLockSurfaceListener = {OnLockSurfaceConfigure};

void MakeLockSurface(LockOutput& output) {
    if (lk.lock == nullptr || lk.finished || output.lockSurface != nullptr) return;
    output.surface = wl_compositor_create_surface(lk.compositor);
    output.lockSurface = ext_session_lock_v1_get_lock_surface(lk.lock, output.surface, output.output);
    ext_session_lock_surface_v1_add_listener(output.lockSurface, &kLockSurfaceListener, &output);
}

void DropOutput(LockOutput& output) {
    LockStopPicture(output);
    LockFreeBuffers(output);
    if (output.lockSurface != nullptr) ext_session_lock_surface_v1_destroy(output.lockSurface);
    if (output.surface != nullptr) wl_surface_destroy(output.surface);
    if (output.output != nullptr) wl_output_destroy(output.output);
    output = LockOutput{};
}

void OnGeometry(void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, const char*,
                const char*, std::int32_t) {}
void OnMode(void*, wl_output*, std::uint32_t, std::int32_t, std::int32_t, std::int32_t) {}
void OnOutputDone(void*, wl_output*) {}
void OnScale(void* data, wl_output*, std::int32_t scale) {
    LockOutput& output = *static_cast<LockOutput*>(data);
    output.scale = scale > 0 ? scale : 1;
    output.dirty = true;
}

const wl_output_listener kOutputListener = {OnGeometry, OnMode, OnOutputDone, OnScale, nullptr, nullptr};  // v2 of 4

// --- Input ---

void OnKeymap(void*, wl_keyboard*, std::uint32_t format, int fd, std::uint32_t size) {
    if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) {
        close(fd);
        return;
    }
    LockKeymap(fd, size);
}
void OnKeyEnter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
void OnKeyLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*) { lk.repeatKey = 0; }
void OnKey(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key, std::uint32_t state) {
    LockKey(key, state == WL_KEYBOARD_KEY_STATE_PRESSED);
}
void OnModifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t depressed, std::uint32_t latched,
                 std::uint32_t locked, std::uint32_t group) {
    LockModifiers(depressed, latched, locked, group);
}
void OnRepeatInfo(void*, wl_keyboard*, std::int32_t rate, std::int32_t delay) {
    lk.repeatRate = rate > 0 ? (rate > 1000 ? 1000 : rate) : 0;
    lk.repeatDelay = delay > 0 ? delay : 0;
}

const wl_keyboard_listener kKeyboardListener = {OnKeymap, OnKeyEnter, OnKeyLeave, OnKey, OnModifiers, OnRepeatInfo};

// Pointer motion and buttons show the indicator; they end nothing.
void ShowIndicator() {
    lk.lastInputMs = LockNowMs();
    if (!lk.shown) LockRedrawAll();
}
void OnPointerEnter(void*, wl_pointer* pointer, std::uint32_t serial, wl_surface*, wl_fixed_t, wl_fixed_t) {
    wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
}
void OnPointerLeave(void*, wl_pointer*, std::uint32_t, wl_surface*) {}
void OnMotion(void*, wl_pointer*, std::uint32_t, wl_fixed_t, wl_fixed_t) { ShowIndicator(); }
void OnButton(void*, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) { ShowIndicator(); }
void OnAxis(void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {}

// Bound at version 4: no pointer event after `axis` is sent.
const wl_pointer_listener kPointerListener = {OnPointerEnter, OnPointerLeave, OnMotion, OnButton, OnAxis,
                                              nullptr,        nullptr,        nullptr,  nullptr,  nullptr};

void OnCapabilities(void*, wl_seat* seat, std::uint32_t capabilities) {
    const bool keyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    const bool pointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    if (keyboard && lk.keyboard == nullptr) {
        lk.keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(lk.keyboard, &kKeyboardListener, nullptr);
    } else if (!keyboard && lk.keyboard != nullptr) {
        wl_keyboard_release(lk.keyboard);
        lk.keyboard = nullptr;
        lk.repeatKey = 0;
    }
    if (pointer && lk.pointer == nullptr) {
        lk.pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(lk.pointer, &kPointerListener, nullptr);
    } else if (!pointer && lk.pointer != nullptr) {
        wl_pointer_release(lk.pointer);
        lk.pointer = nullptr;
    }
}
void OnSeatName(void*, wl_seat*, const char*) {}

const wl_seat_listener kSeatListener = {OnCapabilities, OnSeatName};

// --- Registry ---

void OnGlobal(void*, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version) {
    const std::string_view is(interface);
    if (is == wl_compositor_interface.name) {
        lk.compositor =
            static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, Lower(version, 4)));
    } else if (is == wl_shm_interface.name) {
        lk.shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (is == ext_session_lock_manager_v1_interface.name) {
        lk.manager = static_cast<ext_session_lock_manager_v1*>(
            wl_registry_bind(registry, name, &ext_session_lock_manager_v1_interface, 1));
    } else if (is == wl_seat_interface.name && lk.seat == nullptr) {
        lk.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, Lower(version, 4)));
        wl_seat_add_listener(lk.seat, &kSeatListener, nullptr);
    } else if (is == wl_output_interface.name) {
        for (LockOutput& output : lk.outputs) {
            if (output.used) continue;
            output = LockOutput{};
            output.used = true;
            output.name = name;
            output.scale = 1;
            output.output =
                static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, Lower(version, 2)));
            wl_output_add_listener(output.output, &kOutputListener, &output);
            MakeLockSurface(output);
            return;
        }
        std::fprintf(stderr, "%s: more than %d outputs: the others show the compositor's own lock colour\n", lk.program,
                     kLockMaxOutputs);
    }
}

void OnGlobalRemove(void*, wl_registry*, std::uint32_t name) {
    for (LockOutput& output : lk.outputs) {
        if (output.used && output.name == name) DropOutput(output);
    }
}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

// --- The lock ---

void OnLocked(void*, ext_session_lock_v1*) { lk.locked = true; }
void OnFinished(void*, ext_session_lock_v1*) { lk.finished = true; }

const ext_session_lock_v1_listener kLockListener = {OnLocked, OnFinished};

// What the surfaces show follows the time: the indicator hides after a while
// without input, "wrong" turns back to typing.
void UpdateShown(long long now) {
    if (lk.check == CheckState::Wrong && now >= lk.wrongUntilMs) {
        lk.check = CheckState::Idle;
        LockRedrawAll();
    }
    const bool shown = lk.check != CheckState::Idle || now < lk.lastInputMs + kIndicatorShowMs;
    if (shown != lk.shown) {
        lk.shown = shown;
        LockRedrawAll();
    }
}

// The next time the picture or the repeat changes by itself; -1: none.
int WaitMs(long long now) {
    long long next = -1;
    const auto consider = [&](long long at) {
        if (next < 0 || at < next) next = at;
    };
    if (lk.repeatKey != 0) consider(lk.repeatNextMs);
    if (lk.shown && lk.check != CheckState::Checking) consider(lk.lastInputMs + kIndicatorShowMs);
    if (lk.check == CheckState::Wrong) consider(lk.wrongUntilMs);
    if (next < 0) return -1;
    return next <= now ? 0 : static_cast<int>(next - now);
}

bool Refuse(const char* what) {
    std::fprintf(stderr, "%s: %s\n", lk.program, what);
    return false;
}

bool Connect() {
    lk.display = wlLib.displayConnect(nullptr);
    if (lk.display == nullptr) return Refuse("cannot connect to the Wayland display ($WAYLAND_DISPLAY)");
    lk.registry = wl_display_get_registry(lk.display);
    wl_registry_add_listener(lk.registry, &kRegistryListener, nullptr);
    // Two turns: the globals, then the outputs' and the seat's first events.
    for (int turn = 0; turn < 2; ++turn) {
        if (WaitRoundTrip(lk.display, -1, kAnswerTimeoutMs) != RoundTripResult::Done)
            return Refuse("the Wayland compositor did not answer");
    }
    if (lk.manager == nullptr) return Refuse("the compositor has no ext-session-lock-v1: the session cannot be locked");
    if (lk.compositor == nullptr || lk.shm == nullptr) return Refuse("the compositor has no wl_compositor or wl_shm");
    return true;
}

// Runs the lock; the exit status. `readyFd` (>= 0) gets one byte once locked.
int Lock(int readyFd) {
    if (!PasswordInit()) {
        Refuse("cannot lock the password's memory (mlock)");
        return 1;
    }
    if (!Connect()) return 1;
    lk.lock = ext_session_lock_manager_v1_lock(lk.manager);
    ext_session_lock_v1_add_listener(lk.lock, &kLockListener, nullptr);
    for (LockOutput& output : lk.outputs) {
        if (output.used) MakeLockSurface(output);
    }
    bool wasLocked = false;
    for (;;) {
        const long long now = LockNowMs();
        LockRepeatTurn(now);
        UpdateShown(now);
        LockDrawDirty();
        // The connection, the check's answer and the pictures' channels.
        pollfd fds[2 + kLockMaxOutputs] = {{-1, 0, 0}, {CheckResultFd(), POLLIN, 0}};
        LockOutput* pictures[kLockMaxOutputs];
        const int pictureCount = LockPictureChannels(fds + 2, pictures, kLockMaxOutputs);
        const bool alive = ReadDisplayTurn(lk.display, fds, static_cast<nfds_t>(2 + pictureCount), WaitMs(LockNowMs()));
        for (int i = 0; i < pictureCount; ++i) {
            // An output removed in this turn took its picture with it.
            const LockPicture& picture = pictures[i]->picture;
            if (fds[2 + i].revents != 0 && picture.pid > 0 && picture.channel == fds[2 + i].fd)
                LockPictureReadable(*pictures[i]);
        }
        if (lk.finished) {
            LockStopPictures();
            PasswordClear();
            Refuse(lk.locked ? "the compositor ended the lock" : "the session is locked already (by another program)");
            return 1;
        }
        if (lk.locked && !wasLocked) {
            wasLocked = true;
            if (readyFd >= 0) {
                const char byte = 'L';
                (void)!write(readyFd, &byte, 1);
                close(readyFd);
                readyFd = -1;
            }
        }
        if (!alive) {
            LockStopPictures();
            PasswordClear();
            std::fprintf(
                stderr, "%s: the connection to the compositor was lost (%s); the compositor keeps the session locked\n",
                lk.program, std::strerror(wlLib.displayGetError(lk.display)));
            return 1;
        }
        if (fds[1].fd >= 0 && fds[1].revents != 0) {
            if (FinishCheck()) {
                PasswordClear();
                ext_session_lock_v1_unlock_and_destroy(lk.lock);
                lk.lock = nullptr;
                WaitRoundTrip(lk.display, -1, kAnswerTimeoutMs);
                LockStopPictures();
                LockFreeKeyboard();
                wlLib.displayDisconnect(lk.display);
                return 0;
            }
            lk.check = CheckState::Wrong;
            lk.lastInputMs = LockNowMs();
            lk.wrongUntilMs = lk.lastInputMs + kWrongShowMs;
            LockRedrawAll();
        }
    }
}

}  // namespace

int RunLock(const char* program, bool daemonize) {
    lk.program = program;
    // No core file and no ptrace by the user's other programs: the password is in memory.
    prctl(PR_SET_DUMPABLE, 0);
    const rlimit noCore = {0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) std::signal(signal, SIG_IGN);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);

    char error[512];
    struct stat file;
    if (stat("/etc/pam.d/corvel-savers", &file) != 0) {
        std::fprintf(stderr, "%s: no PAM service file /etc/pam.d/%s: the password cannot be checked, so no lock\n",
                     program, kLockPamService);
        return 1;
    }
    if (!LoadWaylandLibraries(error, sizeof error)) {
        std::fprintf(stderr, "%s: %s\n", program, error);
        return 1;
    }
    if (!daemonize) return Lock(-1);

    // The caller returns once the session is locked; a child keeps the lock.
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) return Lock(-1);
    const pid_t child = fork();
    if (child < 0) {
        close(ready[0]);
        close(ready[1]);
        return Lock(-1);
    }
    if (child == 0) {
        close(ready[0]);
        setsid();
        _exit(Lock(ready[1]));
    }
    close(ready[1]);
    char byte;
    ssize_t got;
    do got = read(ready[0], &byte, 1);
    while (got < 0 && errno == EINTR);
    close(ready[0]);
    if (got == 1) return 0;
    int status = 0;
    if (waitpid(child, &status, 0) != child) return 1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace plat
