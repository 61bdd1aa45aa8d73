// A test build of host/memory.h's allocator: counts allocations and releases and
// can be told to fail the n-th allocation from now.
#pragma once

namespace countingmem {

void Reset();                  // counters to zero, no failure armed
void FailAllocation(int nth);  // the nth allocation from now returns null (1 = the next)
int Allocations();             // successful allocations since Reset
int Releases();                // releases of non-null blocks since Reset
int LiveBlocks();              // Allocations - Releases

}  // namespace countingmem
