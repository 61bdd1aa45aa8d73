// The program's own file as the kernel knows it (/proc/self/exe), for
// GetModuleFileNameA on the Linux platforms.
#pragma once

#include "platform/platform.h"

namespace plat {

// Fills `fileName` the way GetModuleFileNameA fills its buffer: the length, 0 on
// failure, `size` when the path was cut short (always terminated).
DWORD ReadProgramFileName(char* fileName, DWORD size);

}  // namespace plat
