// Allocation of the effects' tables, once per GL start-up. Returns zero-filled
// memory or null; never throws. Tests link a version that can be made to fail.
#pragma once

#include <cstddef>

void* AllocateZeroed(std::size_t count, std::size_t size);
void ReleaseMemory(void* block);
