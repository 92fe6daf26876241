// Speed of a whole run: reading the boxes, the response's series taken for the run's
// points, the steps with their observers; the elastic-plastic run beside them. Speed of the
// study of a record: a whole response spectrum, and the comparison of the step methods.
#include <benchmark/benchmark.h>

#include <variant>

#include "CoreBenchSupport.h"
#include "analysis/InelasticRun.h"
#include "analysis/RunFromTexts.h"
#include "study/FourierSpectrum.h"
#include "study/MethodComparison.h"
#include "study/ResponseSpectrum.h"
#include "study/StudyInputs.h"

namespace kestrel {
namespace {

void RunCase(benchmark::State& bench, ExcitationCase c, const char* analysisTime) {
    RunTexts texts;
    texts.analysisTime = analysisTime;
    int points = 0;
    for (auto _ : bench) {
        const RunOutcome r = RunFromTexts(texts, c, {});
        benchmark::DoNotOptimize(r.response->peaks().displacement);
        points = r.response->completedPoints();
    }
    bench.counters["points"] = points;
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

// Each step method of the analysis core on the longest record (32,765 samples, the run
// one point longer): typed inputs, no texts.
void BM_CoreStepMethodOnLongestRecord(benchmark::State& bench) {
    const auto kind = static_cast<StepperKind>(bench.range(0));
    RunTexts texts;
    texts.analysisTime = "327.64";
    const RunInputs inputs = ReadRunInputs(texts, ExcitationCase::Earthquake).value();
    const GroundMotion motion = RecordMotion(WaveRecord{0.01, bench::LongRecord()}).value();
    for (auto _ : bench) {
        const Response r = Analyze(inputs, motion, kind);
        benchmark::DoNotOptimize(r.peaks().displacement);
    }
}
BENCHMARK(BM_CoreStepMethodOnLongestRecord)
    ->Arg(static_cast<int>(StepperKind::LinearAcceleration))
    ->Arg(static_cast<int>(StepperKind::AverageAcceleration))
    ->Arg(static_cast<int>(StepperKind::Exact))
    ->Unit(benchmark::kMicrosecond);

// The elastic-plastic run on the same longest record (32,765 samples, 32,766 points), the
// default building with Cy 0.1, p 0: the branch walk, the energies and the spring's series
// beside the five series. The model is the argument (bilinear first); the ductility and eta
// show that it yields.
void BM_InelasticRun(benchmark::State& bench) {
    RunTexts texts;
    texts.analysisTime = "327.64";
    const RunInputs inputs = ReadRunInputs(texts, ExcitationCase::Earthquake).value();
    const GroundMotion motion = RecordMotion(WaveRecord{0.01, bench::LongRecord()}).value();
    const InelasticParameters parameters{static_cast<SpringModel>(bench.range(0)), 0.1, 0};
    InelasticSummary summary;
    for (auto _ : bench) {
        const auto r = RunInelastic(inputs, motion, parameters);
        // Through a const reference: the library's read-write form can alter a double held
        // in a register under g++ -O3.
        const InelasticSummary& s = std::get<InelasticResponse>(r).summary();
        benchmark::DoNotOptimize(s.ductility);
        summary = s;
    }
    bench.counters["ductility"] = summary.ductility;
    bench.counters["eta"] = summary.cumulativePlasticRatio;
}
BENCHMARK(BM_InelasticRun)
    ->Arg(static_cast<int>(SpringModel::Bilinear))
    ->Arg(static_cast<int>(SpringModel::Clough))
    ->Arg(static_cast<int>(SpringModel::Origin))
    ->Unit(benchmark::kMicrosecond);

// One whole spectrum (Sd, Sv, Sa) for the default 200 periods and three damping ratios.
[[maybe_unused]] const bool kSpectrum = bench::RegisterVectorAndScalar("BM_ResponseSpectrum", [] {
    return [ground = bench::LongRecord(), periods = SpectrumPeriods(PeriodRange{}),
            dampings = ParseDampingList("2, 5, 10").value()](bool vectorised) {
        return vectorised ? ComputeResponseSpectrum(ground, 0.01, periods, dampings)
                          : ComputeResponseSpectrumScalar(ground, 0.01, periods, dampings);
    };
});

// The Fourier tab's computation for the same record, smoothed over 0.4 Hz.
void BM_FourierSpectrum(benchmark::State& bench) {
    const std::vector<double> ground = bench::LongRecord();
    for (auto _ : bench) {
        auto spectrum = ComputeFourierSpectrum(ground, 0.01, 0.4);
        benchmark::DoNotOptimize(spectrum);
    }
}
BENCHMARK(BM_FourierSpectrum)->Unit(benchmark::kMillisecond);

// The accuracy tab's computation for the default building: the default steady run, and a
// run of 32,765 points.
void ComparisonCase(benchmark::State& bench, const char* analysisTime) {
    RunTexts texts;
    texts.analysisTime = analysisTime;
    for (auto _ : bench) {
        const MethodComparison c =
            CompareMethods(texts, ExcitationCase::SteadyAcceleration, std::nullopt);
        benchmark::DoNotOptimize(c.exact.peak);
    }
}
void BM_MethodComparisonDefault(benchmark::State& s) {
    ComparisonCase(s, "10");
}
void BM_MethodComparisonLongest(benchmark::State& s) {
    ComparisonCase(s, "327.63");
}
BENCHMARK(BM_MethodComparisonDefault)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MethodComparisonLongest)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kestrel
