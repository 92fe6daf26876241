// Speed of the ground-motion indices of a three-component record of 32,768 samples 0.01 s
// apart: the intensity's transforms, the low-cut filter, the integrations and the SI
// oscillators (241 periods, both horizontal components), and each part alone.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "study/GroundMotionIndices.h"

namespace kestrel {
namespace {

constexpr double kStep = 0.01;

// A shaking that grows and dies away over a spread of frequencies; each direction its own.
std::vector<double> Component(double phase) {
    std::vector<double> g(32768);
    for (std::size_t i = 0; i < g.size(); ++i) {
        const double t = kStep * static_cast<double>(i);
        const double envelope = t / 20 * std::exp(1 - t / 20);
        g[i] = envelope * (150 * std::sin(2.1 * t + phase) + 90 * std::sin(7.3 * t + 1 + phase) +
                           60 * std::sin(17.9 * t + 2) + 30 * std::sin(41.0 * t + 3 * phase));
    }
    return g;
}

struct Record {
    std::vector<double> ns = Component(0), ew = Component(1), ud = Component(2);
};

void BM_GroundMotionIndices(benchmark::State& state) {
    const Record r;
    const IndexComponent c[3] = {{"NS", true, r.ns}, {"EW", true, r.ew}, {"UD", false, r.ud}};
    for (auto _ : state) {
        const auto indices = ComputeIndices(c, kStep, {});
        benchmark::DoNotOptimize(indices.ok());
    }
}

void BM_SeismicIntensity(benchmark::State& state) {
    const Record r;
    for (auto _ : state) {
        const auto s = ComputeSeismicIntensity(r.ns, r.ew, r.ud, kStep);
        benchmark::DoNotOptimize(s->a);
    }
}

void BM_SpectrumIntensityPair(benchmark::State& state) {
    const Record r;
    for (auto _ : state) {
        const auto s = ComputeSpectrumIntensity(r.ns, r.ew, kStep);
        benchmark::DoNotOptimize(s->pair);
    }
}

void BM_SpectrumIntensityPairScalar(benchmark::State& state) {
    const Record r;
    for (auto _ : state) {
        const auto s = ComputeSpectrumIntensityScalar(r.ns, r.ew, kStep);
        benchmark::DoNotOptimize(s->pair);
    }
}

BENCHMARK(BM_GroundMotionIndices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeismicIntensity)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpectrumIntensityPair)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SpectrumIntensityPairScalar)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestrel
