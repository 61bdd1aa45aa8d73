#include "tests/support/counting_memory.h"

#include <cstdlib>
#include <new>

#include "toolkit/memory.h"

namespace {

int allocations = 0;
int releases = 0;
int liveBlocks = 0;
int failAt = 0;
long newCalls = 0;

}  // namespace

namespace testmem {

void Reset() {
    allocations = 0;
    releases = 0;
    failAt = 0;
    newCalls = 0;
}

void FailAllocation(int nth) { failAt = nth > 0 ? allocations + nth : 0; }
int Allocations() { return allocations; }
int Releases() { return releases; }
int LiveBlocks() { return liveBlocks; }
long NewCalls() { return newCalls; }

}  // namespace testmem

void* AllocateZeroed(std::size_t count, std::size_t size) {
    ++allocations;
    if (allocations == failAt) return nullptr;
    void* block = std::calloc(count, size);
    if (block != nullptr) ++liveBlocks;
    return block;
}

void ReleaseMemory(void* block) {
    if (block == nullptr) return;
    ++releases;
    --liveBlocks;
    std::free(block);
}

void* operator new(std::size_t size) {
    ++newCalls;
    void* block = std::malloc(size != 0 ? size : 1);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
