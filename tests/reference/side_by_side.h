// Comparing the program with the model: GL calls as the recording GL kept them,
// stored values bit for bit, and a checksum over what a run produced.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "tests/reference/gl_calls.h"
#include "tests/reference/vector_model.h"

namespace model {

// The sanitizer build looks for memory faults, not for rules: its long
// side-by-side runs take a tenth of the frames, and the golden checksums, which
// need the full runs, are checked by the plain build.
#ifdef REFERENCE_SHORT_RUNS
constexpr int kFrameShare = 10;
#else
constexpr int kFrameShare = 1;
#endif

// The first call from `first` on where the recording GL and `expected` differ in
// entry point, argument count or an argument's value (exact, so -0 equals 0, as
// GL sees it); empty when every call agrees and no call is missing or extra.
std::string FirstCallDifference(const GlCalls& expected, std::size_t first = 0);

// The same comparison made call by call while the model runs, without keeping
// the model's calls: Watch hands them here, Verdict gives the first difference.
struct CallChecker {
    std::size_t next = 0;
    std::string difference;
    void Watch(GlCalls& calls);
    std::string Verdict() const;
};

inline bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }
inline bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Collects the first value that differs bit for bit, with a description.
struct Mismatch {
    std::string what;  // empty while everything agreed
    void Floats(const char* name, long index, const float* a, const float* b, int count);
    void Float(const char* name, long index, float a, float b) { Floats(name, index, &a, &b, 1); }
    void Double(const char* name, double a, double b);
    void Int(const char* name, long index, long long a, long long b);
    template <typename V>
    void Vector(const char* name, long index, const V& a, const Vec& b) {
        const float engine[3] = {a.x, a.y, a.z};
        const float expected[3] = {b.x, b.y, b.z};
        Floats(name, index, engine, expected, 3);
    }
};

// FNV-1a, 64 bits, over the bytes it is given.
struct Checksum {
    std::uint64_t value = 14695981039346656037ull;
    void Add(const void* bytes, std::size_t size);
    void AddFloat(float f) { Add(&f, sizeof f); }
    void AddCalls(const GlCalls& calls);
};

}  // namespace model
