// The lock's keyboard: the compositor's keymap through xkbcommon, so any
// layout types what it shows; key repeat as wl_keyboard.repeat_info says.
// Enter checks, Backspace deletes a character, Escape and Ctrl+U clear, and
// every other key that gives text adds it to the password.
#include <sys/mman.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon-keysyms.h>

#include <cstring>

#include "platform/wayland/lock_state.h"

namespace plat {

void LockKeymap(int fd, std::uint32_t size) {
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (text == MAP_FAILED) return;
    if (lk.xkb == nullptr) lk.xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* keymap = lk.xkb == nullptr
                             ? nullptr
                             : xkb_keymap_new_from_string(lk.xkb, static_cast<const char*>(text),
                                                          XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    munmap(text, size);
    if (keymap == nullptr) return;
    xkb_state* state = xkb_state_new(keymap);
    if (state == nullptr) {
        xkb_keymap_unref(keymap);
        return;
    }
    LockFreeKeyboard();
    lk.keymap = keymap;
    lk.keyState = state;
}

void LockFreeKeyboard() {
    if (lk.keyState != nullptr) xkb_state_unref(lk.keyState);
    if (lk.keymap != nullptr) xkb_keymap_unref(lk.keymap);
    lk.keyState = nullptr;
    lk.keymap = nullptr;
    lk.repeatKey = 0;
}

namespace {

void Act(std::uint32_t key) {
    const xkb_keysym_t sym = xkb_state_key_get_one_sym(lk.keyState, key);
    const bool control = xkb_state_mod_name_is_active(lk.keyState, XKB_MOD_NAME_CTRL, XKB_STATE_MODS_EFFECTIVE) > 0;
    lk.wrongUntilMs = 0;
    switch (sym) {
        case XKB_KEY_Return:
        case XKB_KEY_KP_Enter:
            PasswordSubmit();
            return;
        case XKB_KEY_BackSpace:
            PasswordBackspace();
            return;
        case XKB_KEY_Escape:
            PasswordClear();
            return;
        default:
            break;
    }
    if (control && (sym == XKB_KEY_u || sym == XKB_KEY_U)) {
        PasswordClear();
        return;
    }
    if (control) return;
    char text[64];
    if (xkb_state_key_get_utf8(lk.keyState, key, text, sizeof text) > 0 &&
        static_cast<unsigned char>(text[0]) >= 0x20 && text[0] != 0x7F)
        PasswordAppend(text);
    explicit_bzero(text, sizeof text);
}

}  // namespace

void LockKey(std::uint32_t code, bool pressed) {
    if (lk.keyState == nullptr) return;
    const std::uint32_t key = code + 8;
    if (!pressed) {
        if (key == lk.repeatKey) lk.repeatKey = 0;
        return;
    }
    lk.lastInputMs = LockNowMs();
    Act(key);
    if (lk.repeatRate > 0 && xkb_keymap_key_repeats(lk.keymap, key)) {
        lk.repeatKey = key;
        lk.repeatNextMs = lk.lastInputMs + lk.repeatDelay;
    } else {
        lk.repeatKey = 0;
    }
    LockRedrawAll();
}

void LockModifiers(std::uint32_t depressed, std::uint32_t latched, std::uint32_t locked, std::uint32_t group) {
    if (lk.keyState == nullptr) return;
    xkb_state_update_mask(lk.keyState, depressed, latched, locked, 0, 0, group);
    const bool caps = xkb_state_mod_name_is_active(lk.keyState, XKB_MOD_NAME_CAPS, XKB_STATE_MODS_LOCKED) > 0;
    if (caps != lk.capsLock) {
        lk.capsLock = caps;
        LockRedrawAll();
    }
}

void LockRepeatTurn(long long nowMs) {
    if (lk.repeatKey == 0 || lk.repeatRate <= 0 || nowMs < lk.repeatNextMs) return;
    const long long period = 1000 / lk.repeatRate > 0 ? 1000 / lk.repeatRate : 1;
    // A late turn repeats once, not once per missed period.
    Act(lk.repeatKey);
    lk.lastInputMs = nowMs;
    lk.repeatNextMs = nowMs + period;
    LockRedrawAll();
}

}  // namespace plat
