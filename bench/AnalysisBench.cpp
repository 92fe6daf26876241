// Speed of a whole run: reading the boxes, the response's series taken for the run's
// points, the steps with their observers; the elastic-plastic run beside them. Speed of the
// study of a record: a whole response spectrum, and the comparison of the step methods.
#include <benchmark/benchmark.h>

#include <cmath>
#include <variant>

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

// The longest record a wave file holds: 32,765 samples 0.01 s apart, a shaking that grows
// and dies away over a spread of frequencies.
std::vector<double> LongRecord() {
    std::vector<double> g(32765);
    for (std::size_t i = 0; i < g.size(); ++i) {
        const double t = 0.01 * static_cast<double>(i);
        const double envelope = t / 20 * std::exp(1 - t / 20);
        g[i] = envelope * (150 * std::sin(2.1 * t) + 90 * std::sin(7.3 * t + 1) +
                           60 * std::sin(17.9 * t + 2) + 30 * std::sin(41.0 * t + 3));
    }
    return g;
}

// Each step method of the analysis core on the longest record (32,765 samples, the run
// one point longer): typed inputs, no texts.
void BM_CoreStepMethodOnLongestRecord(benchmark::State& bench) {
    const auto kind = static_cast<StepperKind>(bench.range(0));
    RunTexts texts;
    texts.analysisTime = "327.64";
    const RunInputs inputs = ReadRunInputs(texts, ExcitationCase::Earthquake).value();
    const GroundMotion motion = RecordMotion(WaveRecord{0.01, LongRecord()}).value();
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
    const GroundMotion motion = RecordMotion(WaveRecord{0.01, LongRecord()}).value();
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
void SpectrumCase(benchmark::State& bench, bool vectorised) {
    const std::vector<double> ground = LongRecord();
    const std::vector<double> periods = SpectrumPeriods(PeriodRange{});
    const std::vector<DampingItem> dampings = ParseDampingList("2, 5, 10").value();
    for (auto _ : bench) {
        auto spectrum = vectorised ? ComputeResponseSpectrum(ground, 0.01, periods, dampings)
                                   : ComputeResponseSpectrumScalar(ground, 0.01, periods, dampings);
        benchmark::DoNotOptimize(spectrum);
    }
}
void BM_ResponseSpectrum(benchmark::State& s) {
    SpectrumCase(s, true);
}
void BM_ResponseSpectrumScalar(benchmark::State& s) {
    SpectrumCase(s, false);
}
BENCHMARK(BM_ResponseSpectrum)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_ResponseSpectrumScalar)->Unit(benchmark::kMillisecond)->UseRealTime();

// The Fourier tab's computation for the same record, smoothed over 0.4 Hz.
void BM_FourierSpectrum(benchmark::State& bench) {
    const std::vector<double> ground = LongRecord();
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
