// Speed of the required-strength spectra: the vector search on both cores and its one-lane
// twin, on the longest record a wave file holds.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "study/StrengthSpectrum.h"

namespace kestrel {
namespace {

// 32,765 samples 0.01 s apart: a shaking that grows and dies away over a spread of
// frequencies (the record of the response spectrum's benchmark).
std::vector<double> StrengthRecord() {
    std::vector<double> g(32765);
    for (std::size_t i = 0; i < g.size(); ++i) {
        const double t = 0.01 * static_cast<double>(i);
        const double envelope = t / 20 * std::exp(1 - t / 20);
        g[i] = envelope * (150 * std::sin(2.1 * t) + 90 * std::sin(7.3 * t + 1) +
                           60 * std::sin(17.9 * t + 2) + 30 * std::sin(41.0 * t + 3));
    }
    return g;
}

// 100 periods from 0.05 to 5 s, mu = 1, 2, 4, 8, p = 0, h = 5 %.
void StrengthCase(benchmark::State& bench, bool vectorised) {
    const std::vector<double> ground = StrengthRecord();
    StrengthTexts texts;
    texts.ductilities = "1, 2, 4, 8";
    const StrengthSettings settings = ReadStrengthSettings(texts).value();
    for (auto _ : bench) {
        auto spectrum = vectorised ? ComputeStrengthSpectrum(ground, 0.01, settings)
                                   : ComputeStrengthSpectrumScalar(ground, 0.01, settings);
        benchmark::DoNotOptimize(spectrum);
    }
}
void BM_StrengthSpectrum(benchmark::State& s) {
    StrengthCase(s, true);
}
void BM_StrengthSpectrumScalar(benchmark::State& s) {
    StrengthCase(s, false);
}
BENCHMARK(BM_StrengthSpectrum)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_StrengthSpectrumScalar)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace kestrel
