// Cost of one whole frame at 1024 x 768 on the headless platform with Mesa's
// software GL. Run from the build's bin folder (cobalt reads sphere.3d there).
#include <benchmark/benchmark.h>

#include "host/host.h"
#include "platform/gl.h"
#include "platform/headless/headless.h"
#include "savers/saver_variant.h"

namespace {

plat::LRESULT SAVER_CALLBACK PlainProc(plat::HWND w, plat::UINT m, plat::WPARAM wp, plat::LPARAM lp) {
    return plat::DefWindowProcA(w, m, wp, lp);
}

void BM_WholeFrame(benchmark::State& state) {
    headless::Config config;
    config.screenWidth = 1024;
    config.screenHeight = 768;
    headless::Reset(config);
    plat::WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PlainProc;
    windowClass.lpszClassName = "FrameBench";
    plat::RegisterClassA(&windowClass);
    plat::HWND window = plat::CreateWindowExA(0, "FrameBench", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 1024, 768,
                                              nullptr, nullptr, nullptr, nullptr);
    if (window == nullptr || !StartGL(window)) {
        state.SkipWithError("GL did not start");
        return;
    }
    // Reach the steady state first: every trail at full length.
    for (int i = 0; i < 600; ++i) RenderFrame();
    glFinish();
    for (auto _ : state) {
        RenderFrame();
        glFinish();
    }
    StopGL(window);
    state.SetLabel(saverVariant.name);
}

BENCHMARK(BM_WholeFrame)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
