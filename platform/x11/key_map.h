// Translation of X key symbols to Win32 virtual-key codes.
#pragma once

#include "platform/platform.h"

namespace plat {

// The virtual-key code of an unshifted key symbol; 0 for a symbol without one.
WPARAM VirtualKeyFromKeysym(unsigned long keysym);

// True for keys that make Win32 send WM_SYSKEYDOWN: Alt itself and F10.
bool IsSystemKey(unsigned long keysym);

}  // namespace plat
