// amber's start-up cost: the four 256 x 256 plasma layers, and one layer alone;
// each beside the reference model that the tests hold the generator to, which
// reads and writes every cell through the wrapping accessors.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "effects/amber/plasma.h"
#include "effects/amber/plasma_texture.h"
#include "tests/reference/plasma_model.h"
#include "toolkit/random.h"

using namespace amber;

namespace {

constexpr int kTexelBytes = 4 * sizeof(float);

// The machine is shared: with --benchmark_repetitions the fastest repetition is
// the figure least disturbed by other work.
double Fastest(const std::vector<double>& times) { return *std::min_element(times.begin(), times.end()); }

void BM_FourLayerPlasmaTexture(benchmark::State& state) {
    std::uint32_t seed = 1;
    for (auto _ : state) {
        SeedRandom(seed++);
        GeneratePlasmaTexels();
        benchmark::DoNotOptimize(plasmaTexels[0]);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FourLayerPlasmaTexture)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);

void BM_FourLayerPlasmaTexture_Model(benchmark::State& state) {
    std::uint32_t seed = 1;
    for (auto _ : state) {
        model::RandomStream stream{seed++};
        model::PlasmaTexels(stream, plasmaTexels);
        benchmark::DoNotOptimize(plasmaTexels[0]);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FourLayerPlasmaTexture_Model)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);

void BM_OnePlasmaLayer(benchmark::State& state) {
    std::uint32_t seed = 1;
    for (auto _ : state) {
        SeedRandom(seed++);
        GeneratePlasma(&plasmaTexels[3], 0.0f, 1.0f, kPlasmaTextureSize, kPlasmaTextureSize, kTexelBytes, 1);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_OnePlasmaLayer)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);

void BM_OnePlasmaLayer_Model(benchmark::State& state) {
    std::uint32_t seed = 1;
    for (auto _ : state) {
        model::RandomStream stream{seed++};
        model::Plasma(stream, &plasmaTexels[3], 0.0f, 1.0f, kPlasmaTextureSize, kPlasmaTextureSize, kTexelBytes, 1);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_OnePlasmaLayer_Model)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);

}  // namespace

BENCHMARK_MAIN();
