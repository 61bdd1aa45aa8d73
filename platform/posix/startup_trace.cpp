#include "platform/posix/startup_trace.h"

#include <time.h>

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

namespace plat {
namespace {

constexpr int kSteps = 5;
const char* const kStepNames[kSteps] = {"entry", "display", "context", "timer", "frame"};

struct StartupTrace {
    bool checked;
    const char* path;  // null when off
    long long wallNs[kSteps];
    long long cpuNs[kSteps];
    bool written;
};

StartupTrace trace;

const char* TracePath() {
    if (!trace.checked) {
        trace.checked = true;
        const char* path = std::getenv("SAVER_STARTUP_TRACE");
        trace.path = path != nullptr && *path != '\0' ? path : nullptr;
    }
    return trace.path;
}

long long ClockNs(clockid_t clock) {
    timespec now;
    clock_gettime(clock, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

void WriteTrace() {
    trace.written = true;
    if (std::FILE* file = std::fopen(trace.path, "w")) {
        for (int i = 0; i < kSteps; ++i)
            std::fprintf(file, "%s%s=%lld,%lld", i ? " " : "", kStepNames[i], trace.wallNs[i], trace.cpuNs[i]);
        std::fprintf(file, "\n");
        std::fclose(file);
    }
}

}  // namespace

bool StartupTraced() { return TracePath() != nullptr; }

void NoteStartupStep(StartupStep step) {
    if (TracePath() == nullptr || trace.written) return;
    int index = static_cast<int>(step);
    if (trace.wallNs[index] == 0) {
        trace.wallNs[index] = ClockNs(CLOCK_MONOTONIC);
        trace.cpuNs[index] = ClockNs(CLOCK_PROCESS_CPUTIME_ID);
    }
    if (step != StartupStep::Frame) return;
    WriteTrace();
    PostQuitMessage(0);
}

}  // namespace plat
