// State of the session lock (lock.h), one record for the process, shared by
// lock_session.cpp (connection, outputs, the lock), lock_keyboard.cpp (keys
// through xkbcommon), lock_password.cpp (the password and the PAM child),
// lock_pictures.cpp (the saver's picture processes) and lock_indicator.cpp
// (the indicator, drawn with cairo, and the plain wl_shm buffers).
#pragma once

#include <cairo.h>
#include <poll.h>
#include <sys/types.h>
#include <xkbcommon/xkbcommon.h>

#include <cstddef>
#include <cstdint>

#include "platform/wayland/lock_picture.h"
#include "platform/wayland/protocols.h"

namespace plat {

constexpr int kLockMaxOutputs = 16;
constexpr std::size_t kPasswordCapacity = 512;  // bytes; input beyond it is dropped
constexpr long long kIndicatorShowMs = 5000;    // the indicator hides after this long without input
constexpr long long kWrongShowMs = 2000;

enum class CheckState { Idle, Checking, Wrong };

struct LockOutput;

struct LockBuffer {
    LockOutput* owner;
    wl_buffer* buffer;
    void* data;
    std::size_t size;
    cairo_surface_t* surface;
    cairo_t* cairo;
    bool busy;  // the compositor holds it until wl_buffer.release
};

// Who has a picture slot: the picture process draws into it; a frame waits in
// it for the compositor's next frame callback; it is on the surface; or it was
// and the compositor has not released it yet.
enum class SlotHolder { Picture, Pending, Shown, Replaced };

// The saver's picture on an output: its process and the slots it draws into
// (lock_picture.h); lock_pictures.cpp. All zero: none.
struct LockPicture {
    pid_t pid;  // 0: none runs (and the channel, pending and shown mean nothing)
    int channel;
    int width, height;  // buffer pixels
    int scale;          // the output's scale it was started for
    bool ended;         // it ended at this size: no new one until the size changes
    void* memory;       // the slots, mapped
    std::size_t bytes;
    LockBuffer slots[kPictureSlots];
    SlotHolder holders[kPictureSlots];
    int pending;         // slot waiting for the frame callback; -1: none
    int shown;           // slot last attached; -1: none yet (the plain buffers show)
    wl_callback* frame;  // requested with the last attach, not yet done
};

struct LockOutput {
    bool used;
    std::uint32_t name;  // in the registry
    wl_output* output;
    int scale;
    wl_surface* surface;
    ext_session_lock_surface_v1* lockSurface;
    int width, height;  // configured, surface-local
    int bufferScale;    // of the buffers below
    LockBuffer buffers[2];
    bool configured;
    bool dirty;  // to be drawn when a buffer is free
    LockPicture picture;
};

struct LockState {
    const char* program;
    wl_display* display;
    wl_registry* registry;
    wl_compositor* compositor;
    wl_shm* shm;
    wl_seat* seat;
    wl_keyboard* keyboard;
    wl_pointer* pointer;
    ext_session_lock_manager_v1* manager;
    ext_session_lock_v1* lock;
    bool locked;    // the compositor's `locked` came
    bool finished;  // its `finished` came
    LockOutput outputs[kLockMaxOutputs];

    // Keyboard.
    xkb_context* xkb;
    xkb_keymap* keymap;
    xkb_state* keyState;
    int repeatRate;           // keys per second; 0: no repeat
    int repeatDelay;          // ms
    std::uint32_t repeatKey;  // evdev code + 8; 0: none held
    long long repeatNextMs;

    // Indicator.
    long long lastInputMs;  // the indicator shows until lastInputMs + kIndicatorShowMs
    long long wrongUntilMs;
    bool capsLock;
    CheckState check;
    bool shown;  // what the surfaces show now
};

extern LockState lk;

long long LockNowMs();

// lock_keyboard.cpp
void LockKeymap(int fd, std::uint32_t size);
void LockKey(std::uint32_t key, bool pressed);
void LockModifiers(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked, std::uint32_t group);
void LockRepeatTurn(long long nowMs);
void LockFreeKeyboard();

// lock_password.cpp: the one password buffer and the PAM child.
bool PasswordInit();               // mlock; false when the memory cannot be locked
std::size_t PasswordCharacters();  // UTF-8 characters typed
void PasswordAppend(const char* text);
void PasswordBackspace();
void PasswordClear();
void PasswordSubmit();  // Enter: starts a check unless one runs
int CheckResultFd();    // readable when the running check has answered; -1 when none runs
// Reads the answer; true when PAM accepted the password.
bool FinishCheck();

// lock_pictures.cpp
// Keeps a picture process of this size running for the output, unless one of
// this size ended; the plain buffers show until its first frame.
void LockKeepPicture(LockOutput& output, int width, int height, int scale);
bool LockPictureShows(const LockOutput& output);  // its frames are on the surface
void LockStopPicture(LockOutput& output);         // ends the process, frees the slots
void LockStopPictures();
// The channels to poll: fills fds and owners, returns how many.
int LockPictureChannels(pollfd* fds, LockOutput** owners, int capacity);
void LockPictureReadable(LockOutput& output);  // a frame, or the process's end

// lock_indicator.cpp
// Draws the indicator (when shown) over what `cr` holds, `width` x `height`
// buffer pixels at `scale`.
void LockPaintIndicator(cairo_t* cr, int width, int height, int scale);
void LockRedrawAll();  // marks every output to be drawn, once, by LockDrawDirty
void LockDrawDirty();  // on each turn of the loop: a burst of keys is drawn once
void LockDraw(LockOutput& output);
void LockFreeBuffers(LockOutput& output);

}  // namespace plat
