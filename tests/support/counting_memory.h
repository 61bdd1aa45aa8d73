// The allocator tests link in place of toolkit/memory.cpp: it counts the effects'
// table allocations and releases, can make a chosen allocation fail, and also
// counts global operator new, so a test can show that a frame allocates nothing.
#pragma once

namespace testmem {

void Reset();                  // counters to zero, no failure planned (live blocks are kept)
void FailAllocation(int nth);  // the nth AllocateZeroed from now returns null (1 = the next); 0: none
int Allocations();             // AllocateZeroed calls since Reset, failed ones included
int Releases();                // releases of blocks since Reset
int LiveBlocks();              // blocks handed out and not yet released
long NewCalls();               // global operator new calls since Reset

}  // namespace testmem
