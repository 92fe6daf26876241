// Speed of a whole run: opening steps, clearing all 50,001 points of the five series,
// the steps and, in the forced cases, the finishing pass.
#include <benchmark/benchmark.h>

#include <memory>

#include "analysis/Run.h"

namespace kestrel {
namespace {

void RunCase(benchmark::State& bench, ExcitationCase c, const char* analysisTime) {
    auto state = std::make_unique<AnalysisState>();
    RunTexts texts;
    texts.analysisTime = analysisTime;
    for (auto _ : bench) {
        const RunResult r = RunAnalysis(*state, texts, c, {});
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(state->DisPeak);
    }
    bench.counters["points"] = state->StepCount;
}

// The longest run the 16-bit count allows: 32,766 points.
void BM_LongestSteadyAccelerationRun(benchmark::State& s) {
    RunCase(s, ExcitationCase::SteadyAcceleration, "327.64");
}
void BM_LongestFreeVibrationRun(benchmark::State& s) {
    RunCase(s, ExcitationCase::InitialDisplacement, "327.64");
}
void BM_DefaultSteadyAccelerationRun(benchmark::State& s) {
    RunCase(s, ExcitationCase::SteadyAcceleration, "10");
}

BENCHMARK(BM_LongestSteadyAccelerationRun)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LongestFreeVibrationRun)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DefaultSteadyAccelerationRun)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kestrel
