// Inputs that cannot be computed: each returns a fault naming the step, leaves the state
// as the steps before it wrote, and never lets NaN or infinity into it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "analysis/Run.h"

namespace kestrel {
namespace {

bool AllFinite(const AnalysisState& s) {
    for (double v : {s.Stiffness, s.Mass, s.DampingRatio, s.TimeStep, s.AnalysisTime,
                     s.NaturalPeriod, s.CacPeak, s.AccPeak, s.VelPeak, s.DisPeak, s.ForcingOmega,
                     s.ForcingAmplitude, s.StepDenominator}) {
        if (!std::isfinite(v)) return false;
    }
    for (const Series* series :
         {&s.TimeSeries, &s.CacSeries, &s.AccSeries, &s.VelSeries, &s.DisSeries}) {
        for (int i = 0; i <= MaxSeriesIndex; ++i) {
            if (!std::isfinite((*series)[i])) return false;
        }
    }
    return true;
}

struct BadRun {
    const char* what;
    RunTexts texts;
    ExcitationCase excitation;
    Fault fault;
};

RunTexts With(auto change) {
    RunTexts t;
    change(t);
    return t;
}

TEST(BadInput, EachFaultIsReportedWithItsStep) {
    using enum FaultSite;
    using enum FaultKind;
    const ExcitationCase acc = ExcitationCase::SteadyAcceleration;
    const BadRun cases[] = {
        {"stiffness 0",
         With([](RunTexts& t) { t.model.stiffness = "0"; }),
         acc,
         {MassStiffnessRatio, DivideByZero}},
        {"stiffness text",
         With([](RunTexts& t) { t.model.stiffness = "abc"; }),
         acc,
         {MassStiffnessRatio, DivideByZero}},
        {"stiffness and mass 0",
         With([](RunTexts& t) { t.model.stiffness = t.model.mass = ""; }),
         acc,
         {MassStiffnessRatio, Invalid}},
        {"mass 0",
         With([](RunTexts& t) { t.model.mass = "0"; }),
         acc,
         {StepConstants, DivideByZero}},
        {"opposite signs",
         With([](RunTexts& t) { t.model.mass = "-100000"; }),
         acc,
         {MassStiffnessRatio, Invalid}},
        {"damping 100%",
         With([](RunTexts& t) { t.model.damping = "100"; }),
         acc,
         {DampingFactor, DivideByZero}},
        {"damping 150%",
         With([](RunTexts& t) { t.model.damping = "150"; }),
         acc,
         {DampingFactor, Invalid}},
        {"damping -100%",
         With([](RunTexts& t) { t.model.damping = "-100"; }),
         acc,
         {DampingFactor, DivideByZero}},
        {"time step 0",
         With([](RunTexts& t) { t.timeStep = "0"; }),
         acc,
         {StepCount, DivideByZero}},
        {"time step and time 0",
         With([](RunTexts& t) { t.timeStep = t.analysisTime = "0"; }),
         acc,
         {StepCount, Invalid}},
        {"400 s at 0.01",
         With([](RunTexts& t) { t.analysisTime = "400"; }),
         acc,
         {StepCount, Overflow}},
        {"huge exponent",
         With([](RunTexts& t) { t.analysisTime = "1e400"; }),
         acc,
         {StepCount, Overflow}},
        {"no points",
         With([](RunTexts& t) { t.analysisTime = "-0.02"; }),
         acc,
         {StepRange, OutOfRange}},
        {"negative points",
         With([](RunTexts& t) { t.analysisTime = "-5"; }),
         acc,
         {StepRange, OutOfRange}},
        {"acceleration period 0",
         With([](RunTexts& t) { t.accelerationPeriod = "0"; }),
         acc,
         {GroundMotion, DivideByZero}},
        {"displacement period 0",
         With([](RunTexts& t) { t.displacementPeriod = "x"; }),
         ExcitationCase::SteadyDisplacement,
         {ForcingParameters, DivideByZero}},
        {"huge displacement",
         With([](RunTexts& t) { t.displacementMax = "1e308"; }),
         ExcitationCase::SteadyDisplacement,
         {ForcingParameters, Overflow}},
        {"huge initial displacement",
         With([](RunTexts& t) { t.firstDisplacement = "1e307"; }),
         ExcitationCase::InitialDisplacement,
         {InitialState, Overflow}},
        {"huge time step",
         With([](RunTexts& t) { t.timeStep = "1e10"; }),
         ExcitationCase::InitialVelocity,
         {TimerInterval, Overflow}},
    };
    for (const BadRun& c : cases) {
        auto s = std::make_unique<AnalysisState>();
        const RunResult r = RunAnalysis(*s, c.texts, c.excitation, {});
        EXPECT_EQ(r.status, RunResult::Status::Faulted) << c.what;
        EXPECT_EQ(r.fault, c.fault) << c.what << ": site " << static_cast<int>(r.fault.site)
                                    << " kind " << static_cast<int>(r.fault.kind);
        EXPECT_TRUE(AllFinite(*s)) << c.what;
    }
}

TEST(BadInput, ZeroTimeStepKeepsThePreviousRun) {
    auto s = std::make_unique<AnalysisState>();
    RunTexts texts;
    ASSERT_EQ(RunAnalysis(*s, texts, ExcitationCase::InitialDisplacement, {}).status,
              RunResult::Status::Completed);
    const double dis = s->DisSeries[100];
    const double peak = s->DisPeak;
    texts.timeStep = "0";
    bool periodShown = false;
    RunHooks hooks;
    hooks.showNaturalPeriod = [&](double) { periodShown = true; };
    EXPECT_EQ(RunAnalysis(*s, texts, ExcitationCase::InitialDisplacement, hooks).status,
              RunResult::Status::Faulted);
    EXPECT_EQ(s->StepCount, 1002);
    EXPECT_EQ(s->DisSeries[100], dis);
    EXPECT_EQ(s->DisPeak, peak);
    EXPECT_FALSE(periodShown);
}

TEST(BadInput, NaturalPeriodCommandFaultKeepsTheOldPeriod) {
    auto s = std::make_unique<AnalysisState>();
    ASSERT_FALSE(ComputeNaturalPeriodFromTexts(*s, ModelTexts{}).has_value());
    const double period = s->NaturalPeriod;
    ModelTexts bad;
    bad.damping = "100";
    EXPECT_EQ(ComputeNaturalPeriodFromTexts(*s, bad),
              (Fault{FaultSite::DampingFactor, FaultKind::DivideByZero}));
    EXPECT_EQ(s->NaturalPeriod, period);
    EXPECT_EQ(s->DampingRatio, 1.0);
}

TEST(BadInput, RecordTooLongForTheSeriesIsRefused) {
    // A record of N samples fills slots 0..N+2 of the input series: at most slot 50000.
    const struct {
        std::size_t samples;
        RunResult::Status status;
    } cases[] = {
        {49997, RunResult::Status::Completed},
        {49998, RunResult::Status::Faulted},
    };
    for (const auto& c : cases) {
        auto s = std::make_unique<AnalysisState>();
        RunHooks hooks;
        hooks.loadWaveRecord = [&] {
            return std::optional<WaveRecord>(WaveRecord{0.01, std::vector<double>(c.samples, 1)});
        };
        const RunResult r = RunAnalysis(*s, RunTexts{}, ExcitationCase::Earthquake, hooks);
        EXPECT_EQ(r.status, c.status) << c.samples;
        if (c.status == RunResult::Status::Faulted) {
            EXPECT_EQ(r.fault, (Fault{FaultSite::WaveRecord, FaultKind::OutOfRange}));
        }
    }
}

TEST(BadInput, SeriesIndicesOutsideTheSeriesAreRangeFaults) {
    auto s = std::make_unique<AnalysisState>();
    const FaultScope site(FaultSite::Playback);
    for (const int i : {-1, MaxSeriesIndex + 1, std::numeric_limits<int>::min(),
                        std::numeric_limits<int>::max()}) {
        try {
            s->DisSeries[i] = 1;
            ADD_FAILURE() << i << " was written";
        } catch (const FaultError& e) {
            EXPECT_EQ(e.fault(), (Fault{FaultSite::Playback, FaultKind::OutOfRange})) << i;
        }
        const AnalysisState& reader = *s;
        EXPECT_THROW(static_cast<void>(reader.AccSeries[i]), FaultError) << i;
    }
    s->DisSeries[0] = s->DisSeries[MaxSeriesIndex] = 2;
    EXPECT_EQ(s->DisSeries[0] + s->DisSeries[MaxSeriesIndex], 4.0);
}

}  // namespace
}  // namespace kestrel
