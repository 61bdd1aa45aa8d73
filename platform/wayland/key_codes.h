// Linux input key codes (the Wayland keyboard's keys) to Win32 virtual keys, by
// the key's place on a US keyboard: the savers only need to know that a key
// went down, and whether it is one that makes Win32 send WM_SYSKEYDOWN.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace plat {

WPARAM VirtualKeyFromKeyCode(std::uint32_t code);  // 0 for a key without one
bool IsAltKeyCode(std::uint32_t code);
bool IsSystemKeyCode(std::uint32_t code);  // Alt and F10

}  // namespace plat
