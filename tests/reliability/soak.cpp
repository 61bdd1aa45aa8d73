// The whole saver for a long run, and started and stopped many times, on the
// headless platform with the deliverable's real effect, over the GL this
// program was linked with (the recording GL or Mesa). Samples the process's
// resident memory and open files; open files must stay the same, and memory
// flat over the recording GL (over Mesa the driver's caches settle slowly, so
// the figures are printed only).
//
//   soak_<saver>_<gl> [frames] [cycles]    (defaults 3000 and 30)
// Run from the build's bin folder (cobalt reads sphere.3d beside the program).
// Prints the figures, "ok - ..." / "not ok - ..." per check, "N passed, M failed".
#include <dirent.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/headless/headless.h"
#if SOAK_RECORDING_GL
#include "platform/headless/recording_gl.h"
#endif
#include "savers/saver_variant.h"
#include "shell/shell.h"

namespace {

// Growth allowed between the sample after warm-up and the last one: allocator
// and driver noise, far below what a per-frame or per-run leak would add up to.
constexpr long kMemorySlackKiB = 1024;

// Resident memory is judged over the recording GL only. Under AddressSanitizer
// freed blocks wait in its quarantine, so the figure grows by design; its leak
// checker judges leaks there when the program ends.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kJudgeMemory = false;
#else
constexpr bool kJudgeMemory = SOAK_RECORDING_GL;
#endif

long ResidentKiB() {
    long pages = 0, resident = 0;
    std::FILE* file = std::fopen("/proc/self/statm", "r");
    if (!file) return -1;
    if (std::fscanf(file, "%ld %ld", &pages, &resident) != 2) resident = -1;
    std::fclose(file);
    return resident < 0 ? -1 : resident * 4;
}

int OpenFiles() {
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return -1;
    int count = 0;
    while (readdir(dir)) ++count;
    closedir(dir);
    return count - 3;  // ".", ".." and the directory's own descriptor
}

struct Sample {
    long kib;
    int files;
};

int passed = 0, failed = 0;

void Check(bool condition, const char* what) {
    std::printf("%s - %s %s: %s\n", condition ? "ok" : "not ok", saverVariant.name, SOAK_GL, what);
    condition ? ++passed : ++failed;
}

headless::Config SmallScreen(int frames) {
    headless::Config config;
    config.screenWidth = 320;  // Mesa draws every pixel: a small screen keeps a frame cheap
    config.screenHeight = 240;
    config.maxFrames = frames + 10;
    config.maxVirtualMs = 24u * 3600u * 1000u;
    return config;
}

headless::Event KeyDown() {
    headless::Event key;
    key.input = headless::Input::KeyDown;
    key.a = 'A';
    return key;
}

int RunSaver() { return SaverMain(plat::GetModuleHandleA(nullptr), nullptr, "s", plat::SW_SHOWDEFAULT); }

// --- Soak: one long run --------------------------------------------------------

struct SoakState {
    int frames;
    int every;
    Sample warm, last;
};

void SampleFrame(int frame, void* context) {
    SoakState& soak = *static_cast<SoakState*>(context);
    if (frame == soak.every) soak.warm = {ResidentKiB(), OpenFiles()};
    if (frame % (soak.every / 4 > 0 ? soak.every / 4 : 1) == 0) soak.last = {ResidentKiB(), OpenFiles()};
}

void Soak(int frames) {
    // Drivers and allocators fill their caches in the first frames: the first
    // sample is taken a third of the way in.
    SoakState soak = {frames, frames / 3 > 0 ? frames / 3 : 1, {0, 0}, {0, 0}};
    headless::Reset(SmallScreen(frames));
#if SOAK_RECORDING_GL
    recgl::SetRecording(false);  // count calls only: a long run must not fill the log
#endif
    headless::AtFrame(frames, KeyDown());
    headless::SetFrameHook(SampleFrame, &soak);
    const auto start = std::chrono::steady_clock::now();
    const int code = RunSaver();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const int presented = headless::FramesPresented();
    headless::SetFrameHook(nullptr, nullptr);
    std::printf(
        "# soak %s %s: %d frames in %.1f s (%.0f frames/s); resident %ld KiB after %d frames, %ld KiB at "
        "the end; open files %d, then %d\n",
        saverVariant.name, SOAK_GL, presented, seconds, presented / seconds, soak.warm.kib, soak.every, soak.last.kib,
        soak.warm.files, soak.last.files);
    Check(code == 0 && !headless::TimedOut() && presented >= frames, "the soak run ends on its key with 0");
    if (kJudgeMemory)
        Check(soak.last.kib - soak.warm.kib <= kMemorySlackKiB, "resident memory stays flat over the soak");
    else
        std::printf("# soak %s %s: resident growth %ld KiB (reported, not judged)\n", saverVariant.name, SOAK_GL,
                    soak.last.kib - soak.warm.kib);
    Check(soak.last.files == soak.warm.files, "open files stay the same over the soak");
}

// --- Start/stop cycles ----------------------------------------------------------

void Cycles(int cycles) {
    const int warmUp = cycles / 3 > 0 ? cycles / 3 : 1;
    Sample warm = {0, 0}, last = {0, 0};
    int good = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int n = 1; n <= cycles; ++n) {
        headless::Reset(SmallScreen(5));
        headless::AtFrame(3, KeyDown());
        if (RunSaver() == 0 && !headless::TimedOut() && headless::FramesPresented() == 3) ++good;
        if (n == warmUp) warm = {ResidentKiB(), OpenFiles()};
        last = {ResidentKiB(), OpenFiles()};
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "# cycles %s %s: %d start/stop cycles in %.1f s; resident %ld KiB after %d, %ld KiB after %d; "
        "open files %d, then %d\n",
        saverVariant.name, SOAK_GL, cycles, seconds, warm.kib, warmUp, last.kib, cycles, warm.files, last.files);
    Check(good == cycles, "every cycle starts, draws three frames and ends with 0");
    if (kJudgeMemory)
        Check(last.kib - warm.kib <= kMemorySlackKiB, "resident memory stays flat over the cycles");
    else
        std::printf("# cycles %s %s: resident growth %ld KiB (reported, not judged)\n", saverVariant.name, SOAK_GL,
                    last.kib - warm.kib);
    Check(last.files == warm.files, "open files stay the same over the cycles");
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 3000;
    const int cycles = argc > 2 ? std::atoi(argv[2]) : 30;
    if (frames < 1 || cycles < 1) {
        std::fprintf(stderr, "usage: %s [frames >= 1] [cycles >= 1]\n", argv[0]);
        return 2;
    }
    Soak(frames);
    Cycles(cycles);
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
