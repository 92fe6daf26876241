// What the core's benchmarks share: the longest record a wave file holds, and the timing of
// a vector kernel beside its one-lane twin.
#pragma once

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

namespace kestrel::bench {

// 32,765 samples 0.01 s apart: a shaking that grows and dies away over a spread of
// frequencies.
inline std::vector<double> LongRecord() {
    std::vector<double> g(32765);
    for (std::size_t i = 0; i < g.size(); ++i) {
        const double t = 0.01 * static_cast<double>(i);
        const double envelope = t / 20 * std::exp(1 - t / 20);
        g[i] = envelope * (150 * std::sin(2.1 * t) + 90 * std::sin(7.3 * t + 1) +
                           60 * std::sin(17.9 * t + 2) + 30 * std::sin(41.0 * t + 3));
    }
    return g;
}

// Registers `name` (the vector kernel: wall-clock time, the process's CPU time of both cores
// beside it) and `name` + "Scalar" (its twin), in milliseconds. `setup()` runs outside the
// clock before each and returns the computation; one call of it with `vectorised` is one
// iteration. Returns true, for a static variable to register at start-up.
template <class Setup>
bool RegisterVectorAndScalar(const std::string& name, Setup setup) {
    for (const bool vectorised : {true, false}) {
        auto* b = benchmark::RegisterBenchmark((vectorised ? name : name + "Scalar").c_str(),
                                               [setup, vectorised](benchmark::State& state) {
                                                   const auto compute = setup();
                                                   for (auto _ : state) {
                                                       auto result = compute(vectorised);
                                                       benchmark::DoNotOptimize(result);
                                                   }
                                               });
        b->Unit(benchmark::kMillisecond)->UseRealTime();
        if (vectorised) b->MeasureProcessCPUTime();
    }
    return true;
}

}  // namespace kestrel::bench
