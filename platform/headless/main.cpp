// Process entry of the headless programs: each saver becomes a renderer that runs
// full screen on a virtual screen and writes frame N as a PNG, or with --every K
// the frames K, 2K, 3K ... up to N as an animated WebP in which each stays K x 10 ms,
// the pace of the saver's frame timer.
//
//   <saver> --frames N --size WxH --seed S --out file.png
//   <saver> --frames N --size WxH --seed S --every K --out file.webp
//
// The host seeds its random source with minute + second + millisecond of the clock,
// so the virtual clock is set to make that sum S; cobalt's millisecond counter starts
// at S too. Same arguments, same bytes. The frames are read back into memory taken
// before the run and written after it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/headless/png_file.h"
#include "platform/headless/webp_animation.h"
#include "platform/platform.h"
#include "platform/posix/startup_trace.h"

int SaverMain(plat::HINSTANCE instance, plat::HINSTANCE previous, const char* commandLine, int show);

namespace {

constexpr long kMaxFrames = 10000000;
constexpr long kMinSide = 16;
constexpr long kMaxSide = 8192;
constexpr long kMaxSeed = 59 + 59 + 999;
constexpr long kMaxImages = 1000;                       // frames of one animation
constexpr double kMaxHeldBytes = 1024.0 * 1024 * 1024;  // frames read back, in all
constexpr int kFramePeriodMs = 10;                      // the frame timer's pace (its floor)

struct RenderJob {
    long frames;
    long width, height;
    long seed;
    long every;  // 0 for a still picture
    const char* out;
    long images;         // frames to read back: frame `every`, 2 `every` ...
    std::uint8_t* held;  // their pixels, taken before the run
    long read;           // frames read back so far
    bool written;
    const char* failure;  // why no image was written, when known
};

RenderJob job;

bool ParseNumber(const char* text, long min, long max, long* value) {
    if (text == nullptr || *text == '\0' || std::strlen(text) > 9) return false;
    long v = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return false;
        v = v * 10 + (*c - '0');
    }
    if (v < min || v > max) return false;
    *value = v;
    return true;
}

bool ParseSize(const char* text, long* width, long* height) {
    const char* x = text != nullptr ? std::strchr(text, 'x') : nullptr;
    if (x == nullptr) return false;
    std::string w(text, x);
    return ParseNumber(w.c_str(), kMinSide, kMaxSide, width) && ParseNumber(x + 1, kMinSide, kMaxSide, height);
}

bool ParseArguments(int argc, char** argv) {
    bool haveFrames = false, haveSize = false, haveSeed = false;
    for (int i = 1; i < argc; i += 2) {
        const char* option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (value == nullptr) return false;
        bool ok;
        if (std::strcmp(option, "--frames") == 0 && !haveFrames) {
            ok = haveFrames = ParseNumber(value, 1, kMaxFrames, &job.frames);
        } else if (std::strcmp(option, "--size") == 0 && !haveSize) {
            ok = haveSize = ParseSize(value, &job.width, &job.height);
        } else if (std::strcmp(option, "--seed") == 0 && !haveSeed) {
            ok = haveSeed = ParseNumber(value, 0, kMaxSeed, &job.seed);
        } else if (std::strcmp(option, "--every") == 0 && job.every == 0) {
            ok = ParseNumber(value, 1, kMaxFrames, &job.every);
        } else if (std::strcmp(option, "--out") == 0 && job.out == nullptr) {
            ok = *value != '\0';
            job.out = value;
        } else {
            ok = false;
        }
        if (!ok) return false;
    }
    if (!haveFrames || !haveSize || !haveSeed || job.out == nullptr) return false;
    // An animation is a .webp with --every; anything else is a still PNG.
    std::size_t length = std::strlen(job.out);
    bool webp = length > 5 && std::strcmp(job.out + length - 5, ".webp") == 0;
    if (webp != (job.every != 0)) return false;
    job.images = job.every != 0 ? job.frames / job.every : 1;
    double bytes = static_cast<double>(job.images) * job.width * job.height * 4;
    return job.images >= 1 && job.images <= kMaxImages && bytes <= kMaxHeldBytes;
}

headless::Config RenderConfig(const char* program) {
    headless::Config config;
    config.screenWidth = static_cast<int>(job.width);
    config.screenHeight = static_cast<int>(job.height);
    config.commandLine = std::string(program) + " /s";
    long rest = job.seed;
    config.utc.wMilliseconds = static_cast<plat::WORD>(rest < 999 ? rest : 999);
    rest -= config.utc.wMilliseconds;
    config.utc.wSecond = static_cast<plat::WORD>(rest < 59 ? rest : 59);
    rest -= config.utc.wSecond;
    config.utc.wMinute = static_cast<plat::WORD>(rest);
    config.startTickMs = static_cast<plat::DWORD>(job.seed);
    // A saver that never reaches the frame ends anyway (about 10 ms per frame).
    config.maxFrames = static_cast<int>(job.frames) + 1;
    config.maxVirtualMs = static_cast<std::uint64_t>(job.frames) * 100u + 60000u;
    return config;
}

std::size_t FrameBytes() { return static_cast<std::size_t>(job.width) * static_cast<std::size_t>(job.height) * 4; }

// Reads the wanted frames back; the loop itself allocates nothing.
void OnFrame(int frame, void*) {
    if (job.read == job.images || job.failure != nullptr) return;
    long step = job.every != 0 ? job.every : job.frames;
    if (frame % step != 0) return;
    if (!headless::ReadPixels(0, 0, static_cast<int>(job.width), static_cast<int>(job.height),
                              job.held + job.read * FrameBytes())) {
        job.failure = "cannot read the frame back";
    } else {
        ++job.read;
    }
    if (job.read == job.images || job.failure != nullptr) plat::PostQuitMessage(0);
}

void WriteOutput() {
    int width = static_cast<int>(job.width), height = static_cast<int>(job.height);
    bool written = job.every != 0
                       ? headless::WriteWebpAnimation(job.out, width, height, job.held, static_cast<int>(job.images),
                                                      static_cast<int>(job.every) * kFramePeriodMs)
                       : headless::WritePng(job.out, width, height, job.held);
    if (!written) {
        job.failure = "cannot write the file";
        return;
    }
    job.written = true;
    std::printf("%s\n", job.out);
}

// Runs when the saver ends the process itself as well as when SaverMain returns.
void ReportOutcome() {
    if (!job.written && job.failure == nullptr && job.read == job.images) WriteOutput();
    std::fflush(stdout);
    if (job.written) return;
    std::fprintf(stderr, "render: no image written to %s: %s\n", job.out,
                 job.failure != nullptr ? job.failure : "the saver ended before the frame");
    for (const headless::MessageBoxRecord& box : headless::MessageBoxes())
        std::fprintf(stderr, "render: message box \"%s\": %s\n", box.caption.c_str(), box.text.c_str());
    std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    plat::NoteStartupStep(plat::StartupStep::Entry);
    if (!ParseArguments(argc, argv)) {
        std::fprintf(stderr,
                     "usage: %s --frames N --size WxH --seed S [--every K] --out file.png|file.webp (N >= 1, W and H "
                     "16..8192, S 0..1117; a .webp with --every K, of frames K, 2K ... N: 1 to 1000 of them, 1 GiB "
                     "in all)\n",
                     argc > 0 ? argv[0] : "saver");
        return 2;
    }
    job.held = new (std::nothrow) std::uint8_t[static_cast<std::size_t>(job.images) * FrameBytes()];
    if (job.held == nullptr) {
        std::fprintf(stderr, "render: not enough memory for %ld frames of %ldx%ld\n", job.images, job.width,
                     job.height);
        return 1;
    }
    headless::Reset(RenderConfig(argv[0]));
    plat::NoteStartupStep(plat::StartupStep::Display);
    headless::SetFrameHook(OnFrame, nullptr);
    std::atexit(ReportOutcome);
    SaverMain(plat::GetModuleHandleA(nullptr), nullptr, "/s", plat::SW_SHOWDEFAULT);
    return 0;  // ReportOutcome turns this into 1 when no image was written
}
