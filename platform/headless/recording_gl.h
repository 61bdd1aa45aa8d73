// A GL 1.1 implementation that only records: every entry point the savers use
// appends one record (name and up to eight numeric arguments) to a fixed buffer
// that is allocated once, so recording never allocates per call. Linked instead of
// Mesa into the programs that check call structure.
#pragma once

#include <cstddef>
#include <cstring>

namespace recgl {

struct Call {
    const char* name;  // the GL entry point, e.g. "glBegin"
    int argCount;
    double args[8];
};

void Reset(std::size_t capacity = 1u << 20);  // forgets every call, keeps capacity
std::size_t Count();                          // calls since Reset (also past capacity)
std::size_t Stored();                         // calls kept (Count, at most capacity)
const Call& At(std::size_t index);
std::size_t CountOf(const char* name);
void SetRecording(bool on);  // off: calls are counted per name only

inline bool Is(const Call& call, const char* name) { return std::strcmp(call.name, name) == 0; }

}  // namespace recgl
