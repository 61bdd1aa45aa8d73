#include "tests/amber/counting_memory.h"

#include <cstdlib>

#include "host/memory.h"

namespace countingmem {
namespace {

int allocations = 0;
int releases = 0;
int failCountdown = 0;  // 0: nothing armed

}  // namespace

void Reset() {
    allocations = 0;
    releases = 0;
    failCountdown = 0;
}

void FailAllocation(int nth) { failCountdown = nth; }
int Allocations() { return allocations; }
int Releases() { return releases; }
int LiveBlocks() { return allocations - releases; }

}  // namespace countingmem

void* AllocateZeroed(std::size_t count, std::size_t size) {
    using namespace countingmem;
    if (failCountdown > 0 && --failCountdown == 0) return nullptr;
    void* block = std::calloc(count, size);
    if (block != nullptr) ++allocations;
    return block;
}

void ReleaseMemory(void* block) {
    if (block == nullptr) return;
    ++countingmem::releases;
    std::free(block);
}
