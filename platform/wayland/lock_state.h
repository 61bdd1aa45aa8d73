// State of the session lock (lock.h), one record for the process, shared by
// lock_session.cpp (connection, outputs, the lock), lock_keyboard.cpp (keys
// through xkbcommon), lock_password.cpp (the password and the PAM child) and
// lock_indicator.cpp (wl_shm buffers drawn with cairo).
#pragma once

#include <cairo.h>
#include <xkbcommon/xkbcommon.h>

#include <cstddef>
#include <cstdint>

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

// lock_indicator.cpp
void LockRedrawAll();  // marks every output to be drawn, once, by LockDrawDirty
void LockDrawDirty();  // on each turn of the loop: a burst of keys is drawn once
void LockDraw(LockOutput& output);
void LockFreeBuffers(LockOutput& output);

}  // namespace plat
