// The seat's pointer and keyboard to window messages for the saver window.
//
// A Wayland client learns where the pointer is only while it is over its own
// surface. The first place it is seen there counts as where it was when the
// saver started, so GetCursorPos reports travel from that place, in device
// pixels; a pointer that appears over the surface has not moved.
//
// The keyboard leaving the surface counts only once a round trip has shown that
// it went to another surface and the keyboard itself is still there (a leave
// also comes when the last keyboard is unplugged); whether that surface is
// another of ours only the supervisor knows, so it is told and decides.
//
// The pointer leaving counts the same way. Over a full-screen surface on every
// output it leaves only for another of ours or when another client takes it:
// an input inhibitor such as swaylock 1.7's on sway 1.7, which shows no other
// sign to us (the keyboard leaves and comes straight back, as it does when a
// window opens beneath us, and keys still come here).
#include <unistd.h>

#include <cmath>

#include "platform/wayland/key_codes.h"
#include "platform/wayland/state.h"
#include "platform/wayland/supervisor_channel.h"

namespace plat {

namespace {

constexpr std::uint32_t kSeatVersion = 4;     // release requests, repeat info; no pointer frames
constexpr std::uint32_t kLeftButton = 0x110;  // BTN_LEFT, BTN_RIGHT, BTN_MIDDLE
constexpr std::uint32_t kRightButton = 0x111;
constexpr std::uint32_t kMiddleButton = 0x112;

WPARAM heldButtons = 0;

int DevicePixels(wl_fixed_t value) {
    return static_cast<int>(std::lround(wl_fixed_to_double(value) * wayland.pixelsPerUnit));
}

LPARAM PointerPoint() { return emu::PointParam(wayland.pointerX, wayland.pointerY); }

void MovePointer(wl_fixed_t x, wl_fixed_t y) {
    wayland.pointerX = DevicePixels(x);
    wayland.pointerY = DevicePixels(y);
    if (!wayland.pointerKnown) {
        wayland.pointerKnown = true;
        wayland.originX = wayland.pointerX;
        wayland.originY = wayland.pointerY;
    }
    if (wayland.window != nullptr) emu::QueueMessage(wayland.window, WM_MOUSEMOVE, heldButtons, PointerPoint());
}

void OnPointerEnter(void*, wl_pointer*, std::uint32_t serial, wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
    if (surface == nullptr || surface != wayland.surface) return;
    wayland.pointerSerial = serial;
    wayland.pointerFocus = true;
    wayland.pointerLeavePending = false;
    ReportToSupervisor(kPointerEntered);
    ApplyCursor();
    MovePointer(x, y);
}

void OnPointerLeave(void*, wl_pointer*, std::uint32_t, wl_surface* surface) {
    if (surface == nullptr || surface != wayland.surface || !wayland.pointerFocus) return;
    wayland.pointerFocus = false;
    wayland.pointerLeavePending = true;
}

void OnPointerMotion(void*, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) { MovePointer(x, y); }

void OnPointerButton(void*, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t button, std::uint32_t state) {
    const bool press = state == WL_POINTER_BUTTON_STATE_PRESSED;
    WPARAM bit = 0;
    UINT message = 0;
    switch (button) {
        case kLeftButton:
            bit = emu::MK_LBUTTON;
            message = press ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            break;
        case kRightButton:
            bit = emu::MK_RBUTTON;
            message = press ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            break;
        case kMiddleButton:
            bit = emu::MK_MBUTTON;
            message = press ? WM_MBUTTONDOWN : WM_MBUTTONUP;
            break;
        default:
            return;  // side buttons have no message, as on X11
    }
    heldButtons = press ? (heldButtons | bit) : (heldButtons & ~bit);
    if (wayland.window != nullptr) emu::QueueMessage(wayland.window, message, heldButtons, PointerPoint());
}

void OnPointerAxis(void*, wl_pointer*, std::uint32_t, std::uint32_t axis, wl_fixed_t value) {
    if (axis != WL_POINTER_AXIS_VERTICAL_SCROLL || value == 0 || wayland.window == nullptr) return;
    const int delta = value > 0 ? -emu::WHEEL_DELTA : emu::WHEEL_DELTA;  // Wayland counts down as positive
    emu::QueueMessage(wayland.window, WM_MOUSEWHEEL, emu::WheelParam(delta, heldButtons), PointerPoint());
}

// The seat is bound at version 4: the later pointer events never come.
const wl_pointer_listener kPointerListener = {OnPointerEnter, OnPointerLeave, OnPointerMotion, OnPointerButton,
                                              OnPointerAxis,  nullptr,        nullptr,         nullptr,
                                              nullptr,        nullptr};

void OnKeymap(void*, wl_keyboard*, std::uint32_t, int fd, std::uint32_t) { close(fd); }

void OnKeyboardEnter(void*, wl_keyboard*, std::uint32_t, wl_surface* surface, wl_array*) {
    if (surface == nullptr || surface != wayland.surface) return;
    wayland.keyboardFocus = true;
    wayland.leavePending = false;
    ReportToSupervisor(kKeyboardEntered);
}

void OnKeyboardLeave(void*, wl_keyboard*, std::uint32_t, wl_surface* surface) {
    if (surface == nullptr || surface != wayland.surface || !wayland.keyboardFocus) return;
    wayland.keyboardFocus = false;
    wayland.leavePending = true;
    wayland.altDown = false;
}

void OnKey(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t key, std::uint32_t state) {
    if (wayland.window == nullptr) return;
    const bool press = state == WL_KEYBOARD_KEY_STATE_PRESSED;
    if (IsAltKeyCode(key)) wayland.altDown = press;
    const bool system = wayland.altDown || IsSystemKeyCode(key);
    const emu::KeyMessage message = emu::KeyMessageOf(press, system, key);
    emu::QueueMessage(wayland.window, message.message, VirtualKeyFromKeyCode(key), message.lParam);
}

void OnModifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}

void OnRepeatInfo(void*, wl_keyboard*, std::int32_t, std::int32_t) {}

const wl_keyboard_listener kKeyboardListener = {OnKeymap, OnKeyboardEnter, OnKeyboardLeave,
                                                OnKey,    OnModifiers,     OnRepeatInfo};

void OnCapabilities(void*, wl_seat* seat, std::uint32_t capabilities) {
    const bool pointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    const bool keyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    if (pointer && wayland.pointer == nullptr) {
        wayland.pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(wayland.pointer, &kPointerListener, nullptr);
    } else if (!pointer && wayland.pointer != nullptr) {
        if (wl_pointer_get_version(wayland.pointer) >= WL_POINTER_RELEASE_SINCE_VERSION) {
            wl_pointer_release(wayland.pointer);
        } else {
            wl_pointer_destroy(wayland.pointer);
        }
        wayland.pointer = nullptr;
        wayland.pointerSerial = 0;
        wayland.pointerLeavePending = false;
        heldButtons = 0;
    }
    if (keyboard && wayland.keyboard == nullptr) {
        wayland.keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(wayland.keyboard, &kKeyboardListener, nullptr);
    } else if (!keyboard && wayland.keyboard != nullptr) {
        // The last keyboard went away: not a loss of focus to someone else.
        if (wl_keyboard_get_version(wayland.keyboard) >= WL_KEYBOARD_RELEASE_SINCE_VERSION) {
            wl_keyboard_release(wayland.keyboard);
        } else {
            wl_keyboard_destroy(wayland.keyboard);
        }
        wayland.keyboard = nullptr;
        wayland.leavePending = false;
        wayland.altDown = false;
    }
}

void OnSeatName(void*, wl_seat*, const char*) {}

const wl_seat_listener kSeatListener = {OnCapabilities, OnSeatName};

}  // namespace

void BindSeat(std::uint32_t name, std::uint32_t version) {
    wayland.seat = static_cast<wl_seat*>(
        wl_registry_bind(wayland.registry, name, &wl_seat_interface, version < kSeatVersion ? version : kSeatVersion));
    wl_seat_add_listener(wayland.seat, &kSeatListener, nullptr);
}

void ApplyCursor() {
    if (wayland.pointer == nullptr || wayland.pointerSerial == 0 || !wayland.cursorHidden) return;
    wl_pointer_set_cursor(wayland.pointer, wayland.pointerSerial, nullptr, 0, 0);
}

void SettleKeyboardLeave() {
    if (!wayland.leavePending) return;
    RoundTrip();  // brings an enter that followed, or the keyboard's removal
    if (!wayland.leavePending) return;
    wayland.leavePending = false;
    if (wayland.keyboardFocus || wayland.keyboard == nullptr || wayland.window == nullptr) return;
    if (wayland.controlFd >= 0) {
        ReportToSupervisor(kKeyboardLeft);
    } else {
        emu::QueueMessage(wayland.window, WM_ACTIVATEAPP, 0, 0);
    }
}

void SettlePointerLeave() {
    if (!wayland.pointerLeavePending) return;
    RoundTrip();  // brings an enter that followed, or the pointer's removal
    if (!wayland.pointerLeavePending) return;
    wayland.pointerLeavePending = false;
    if (wayland.pointerFocus || wayland.pointer == nullptr || wayland.window == nullptr) return;
    if (wayland.controlFd >= 0) {
        ReportToSupervisor(kPointerLeft);
    } else {
        emu::QueueMessage(wayland.window, WM_ACTIVATEAPP, 0, 0);
    }
}

BOOL WaylandGetCursorPos(POINT* point) {
    if (point == nullptr) return 0;
    *point = wayland.pointerKnown ? POINT{wayland.pointerX - wayland.originX, wayland.pointerY - wayland.originY}
                                  : POINT{0, 0};
    return 1;
}

namespace emu {

// No cursor image is loaded, so a shown cursor is whatever the compositor
// draws; the saver only ever hides it.
void WaylandSetCursorHidden(bool hidden) {
    wayland.cursorHidden = hidden;
    ApplyCursor();
}

}  // namespace emu
}  // namespace plat
