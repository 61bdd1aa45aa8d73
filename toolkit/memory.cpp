#include "toolkit/memory.h"

#include <cstdlib>

void* AllocateZeroed(std::size_t count, std::size_t size) { return std::calloc(count, size); }

void ReleaseMemory(void* block) { std::free(block); }
