// The deliverable run whole, with its real effect, over the recording GL: every
// GL call of a saver run and of a demo run is what the deliverable's table says
// the host makes, around what the model says the effect makes, frame by frame.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/headless/recording_gl.h"
#include "platform/platform.h"
#include "tests/deliverables/expected.h"
#include "tests/deliverables/host_calls.h"
#include "tests/reference/burst_model.h"
#include "tests/reference/plasma_model.h"
#include "tests/reference/side_by_side.h"
#include "tests/reference/trail_model.h"

int SaverMain(plat::HINSTANCE instance, plat::HINSTANCE previous, const char* commandLine, int show);

namespace {

constexpr std::uint32_t kClockSeed = 12 + 34 + 567;  // minute + second + millisecond
constexpr plat::DWORD kTickSeed = 4242;              // cobalt's millisecond counter

// The effect as the model runs it. The trail's phases live as long as the
// program, as the effect's own do.
model::RandomStream stream;
model::TrailModel trail;
model::BurstModel burst;
float texels[model::kTextureSize * model::kTextureSize * 4];

std::vector<std::uint8_t> MeshFile() {
    std::ifstream file("sphere.3d", std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// EffectSetupGL and EffectInit of the model; their GL calls.
void StartEffect(model::GlCalls& calls) {
    stream.state = kClockSeed;
    switch (expected.effect) {
        case ExpectedEffect::AmberRibbons:
            model::PlasmaTexels(stream, texels);
            model::PlasmaTextureCalls(calls, 1);
            model::StartTrail(trail, stream, model::kAmberTrail);
            model::TrailInitCalls(model::kAmberTrail, calls);
            break;
        case ExpectedEffect::JadeLines:
            model::StartTrail(trail, stream, model::kJadeTrail);
            model::TrailInitCalls(model::kJadeTrail, calls);
            break;
        case ExpectedEffect::CobaltBurst: {
            stream.state = kTickSeed;
            const std::vector<std::uint8_t> bytes = MeshFile();
            model::MeshModel mesh;
            ASSERT_TRUE(model::ReadMesh(bytes.data(), bytes.size(), mesh)) << "sphere.3d in the working directory";
            model::StartBurst(burst, stream, mesh);
            break;
        }
    }
}

void EffectFrame(model::GlCalls& calls) {
    if (expected.effect == ExpectedEffect::CobaltBurst)
        model::BurstFrame(burst, calls);
    else
        model::TrailFrame(trail, calls);
}

struct ProgramRun {
    int width, height;  // of the first projection
    int frames;         // frames compared
    int resizeFrame;    // a WM_SIZE to 300 x 200 after this frame (demo), or 0
    bool shownSize;     // showing the window re-projects with its client size (demo)
    int compared;
    std::string difference;
};

ProgramRun run;

void CompareFrame(int frame, void*) {
    if (!run.difference.empty() || frame > run.frames) {
        plat::PostQuitMessage(0);
        return;
    }
    model::GlCalls calls;
    model::CallChecker checker;
    checker.Watch(calls);
    if (frame == 1) {
        ProjectionCalls(calls, run.width, run.height);
        BeforeSetupCalls(calls, expected);
        StartEffect(calls);
        // On headless a window has no frame: its client size is its size.
        if (run.shownSize) ProjectionCalls(calls, run.width, run.height);
    }
    if (frame == run.resizeFrame + 1 && run.resizeFrame > 0) ProjectionCalls(calls, 300, 200);
    FrameOpeningCalls(calls, expected);
    EffectFrame(calls);
    FrameClosingCalls(calls);
    run.difference = checker.Verdict();
    if (!run.difference.empty()) run.difference = "frame " + std::to_string(frame) + ": " + run.difference;
    run.compared = frame;
    recgl::Reset(1u << 18);
    if (frame == run.frames) plat::PostQuitMessage(0);
}

headless::Config ProgramConfig() {
    headless::Config config;
    config.utc.wMinute = 12;
    config.utc.wSecond = 34;
    config.utc.wMilliseconds = 567;
    config.startTickMs = kTickSeed;
    config.maxFrames = 1000;
    return config;
}

int RunProgram(const char* args, const headless::Config& config) {
    headless::Reset(config);
    if (run.resizeFrame > 0)
        headless::AtFrame(run.resizeFrame, {headless::Input::Message, 0x0005, 0, 300 | (200 << 16)});  // WM_SIZE
    recgl::Reset(1u << 18);
    headless::SetFrameHook(CompareFrame, nullptr);
    const int code = SaverMain(plat::GetModuleHandleA(nullptr), nullptr, args, plat::SW_SHOWDEFAULT);
    headless::SetFrameHook(nullptr, nullptr);
    return code;
}

TEST(Program, EveryCallOfASaverRun) {
    run = ProgramRun{1024, 768, 300, 0, false, 0, ""};
    EXPECT_EQ(RunProgram("/s", ProgramConfig()), 0);
    EXPECT_EQ(run.difference, "");
    EXPECT_EQ(run.compared, run.frames);
    EXPECT_TRUE(headless::MessageBoxes().empty());
}

// The demo projects the size it gave its window, then follows the window's size
// messages: the first when the window is shown, another on a resize.
TEST(Program, EveryCallOfADemoRun) {
    headless::Config config = ProgramConfig();
    const int width = expected.demoHalfScreen ? 512 : 100;
    const int height = expected.demoHalfScreen ? 384 : 100;
    run = ProgramRun{width, height, 40, 20, true, 0, ""};
    EXPECT_EQ(RunProgram("/c", config), 0);
    EXPECT_EQ(run.difference, "");
    EXPECT_EQ(run.compared, run.frames);
}

}  // namespace
