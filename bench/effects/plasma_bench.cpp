// amber's start-up cost: the four 256 x 256 plasma layers, and one layer alone.
#include <benchmark/benchmark.h>

#include "effects/amber/plasma.h"
#include "effects/amber/plasma_texture.h"
#include "host/random.h"

using namespace amber;

namespace {

void BM_FourLayerPlasmaTexture(benchmark::State& state) {
    std::uint32_t seed = 1;
    for (auto _ : state) {
        SeedRandom(seed++);
        GeneratePlasmaTexels();
        benchmark::DoNotOptimize(plasmaTexels[0]);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FourLayerPlasmaTexture)->Unit(benchmark::kMillisecond);

void BM_OnePlasmaLayer(benchmark::State& state) {
    std::uint32_t seed = 1;
    for (auto _ : state) {
        SeedRandom(seed++);
        GeneratePlasma(&plasmaTexels[3], 0.0f, 1.0f, kPlasmaTextureSize, kPlasmaTextureSize, 4 * sizeof(float), 1);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_OnePlasmaLayer)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
