#include "tests/reference/side_by_side.h"

#include <cstdio>

#include "platform/headless/recording_gl.h"

namespace model {

namespace {

std::string Describe(const char* name, int argCount, const double* args) {
    std::string text = name;
    text += "(";
    for (int i = 0; i < argCount; ++i) {
        char number[32];
        std::snprintf(number, sizeof number, "%s%.9g", i > 0 ? ", " : "", args[i]);
        text += number;
    }
    return text + ")";
}

bool SameCall(const recgl::Call& got, const GlCall& want) {
    bool same = (got.name == want.name || std::strcmp(got.name, want.name) == 0) && got.argCount == want.argCount;
    for (int k = 0; same && k < want.argCount; ++k) same = got.args[k] == want.args[k];
    return same;
}

std::string Difference(std::size_t index, const recgl::Call& got, const GlCall& want) {
    return "call " + std::to_string(index) + ": " + Describe(got.name, got.argCount, got.args) + ", expected " +
           Describe(want.name, want.argCount, want.args);
}

std::string CountDifference(std::size_t recorded, std::size_t expected) {
    if (recgl::Stored() != recgl::Count()) return "the recording buffer overflowed";
    if (recorded == expected) return "";
    return std::to_string(recorded) + " calls, expected " + std::to_string(expected);
}

void CheckOne(const GlCall& want, void* context) {
    CallChecker& checker = *static_cast<CallChecker*>(context);
    const std::size_t index = checker.next++;
    if (!checker.difference.empty() || index >= recgl::Stored()) return;
    const recgl::Call& got = recgl::At(index);
    if (!SameCall(got, want)) checker.difference = Difference(index, got, want);
}

}  // namespace

std::string FirstCallDifference(const GlCalls& expected, std::size_t first) {
    const std::size_t recorded = recgl::Stored() - first;
    for (std::size_t i = 0; i < expected.list.size() && i < recorded; ++i)
        if (!SameCall(recgl::At(first + i), expected.list[i]))
            return Difference(i, recgl::At(first + i), expected.list[i]);
    return CountDifference(recorded, expected.list.size());
}

void CallChecker::Watch(GlCalls& calls) {
    next = 0;
    difference.clear();
    calls.sink = CheckOne;
    calls.context = this;
}

std::string CallChecker::Verdict() const {
    if (!difference.empty()) return difference;
    return CountDifference(recgl::Stored(), next);
}

void Mismatch::Floats(const char* name, long index, const float* a, const float* b, int count) {
    if (!what.empty()) return;
    for (int k = 0; k < count; ++k) {
        if (SameBits(a[k], b[k])) continue;
        char text[160];
        std::snprintf(text, sizeof text, "%s[%ld] component %d: %.9g, expected %.9g", name, index, k, a[k], b[k]);
        what = text;
        return;
    }
}

void Mismatch::Double(const char* name, double a, double b) {
    if (!what.empty() || SameBits(a, b)) return;
    char text[160];
    std::snprintf(text, sizeof text, "%s: %.17g, expected %.17g", name, a, b);
    what = text;
}

void Mismatch::Int(const char* name, long index, long long a, long long b) {
    if (!what.empty() || a == b) return;
    char text[160];
    std::snprintf(text, sizeof text, "%s[%ld]: %lld, expected %lld", name, index, a, b);
    what = text;
}

void Checksum::Add(const void* bytes, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(bytes);
    for (std::size_t i = 0; i < size; ++i) {
        value ^= p[i];
        value *= 1099511628211ull;
    }
}

void Checksum::AddCalls(const GlCalls& calls) {
    for (const GlCall& c : calls.list) {
        Add(c.name, std::strlen(c.name));
        for (int k = 0; k < c.argCount; ++k) {
            // GL sees -0 as 0; so does the checksum.
            const double a = c.args[k] == 0.0 ? 0.0 : c.args[k];
            Add(&a, sizeof a);
        }
    }
}

}  // namespace model
