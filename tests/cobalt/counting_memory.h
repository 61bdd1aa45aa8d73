// Linked into the cobalt tests instead of host/memory.cpp: counts the effect's
// table allocations and releases, and can make a chosen allocation fail. Also
// counts global operator new, so a test can show that a frame allocates nothing.
#pragma once

namespace testmem {

void Reset();                  // counters to zero, no failure planned
void FailAllocation(int nth);  // the nth AllocateZeroed from now returns null (1-based); 0: none
int Allocations();             // AllocateZeroed calls since Reset, failed ones included
int LiveBlocks();              // blocks handed out and not yet released
long NewCalls();               // global operator new calls since Reset

}  // namespace testmem
