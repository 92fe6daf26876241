// The run from the boxes' texts to the finished series, checked against worked figures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "analysis/Integrator.h"
#include "analysis/Run.h"
#include "runtime/Conversions.h"

namespace kestrel {
namespace {

class RunTest : public ::testing::Test {
protected:
    RunResult Run(ExcitationCase c, RunHooks hooks = {}) {
        hooks.showNaturalPeriod = [this](double t) { shownPeriod = NumberText(t); };
        return RunAnalysis(state, texts, c, hooks);
    }
    // A 2 MB state: on the heap, as the main window keeps it.
    std::unique_ptr<AnalysisState> owner = std::make_unique<AnalysisState>();
    AnalysisState& state = *owner;
    RunTexts texts;
    std::string shownPeriod;
};

TEST_F(RunTest, DefaultModelGivesTheDerivedConstants) {
    const RunResult r = Run(ExcitationCase::SteadyAcceleration);
    ASSERT_EQ(r.status, RunResult::Status::Completed);
    EXPECT_EQ(state.Mass, 1.0);
    EXPECT_EQ(state.DampingRatio, 0.02);
    EXPECT_EQ(state.StiffnessPerMass, 300.0);
    EXPECT_EQ(state.StepCount, 1002);
    EXPECT_EQ(shownPeriod, "0.362832446594252");
    EXPECT_NEAR(state.DampingCoefficient, 0.69282032, 1e-8);
    EXPECT_NEAR(state.StepDenominator, 1.0084641, 1e-7);
    EXPECT_EQ(r.timerIntervalMs, 5);
    EXPECT_EQ(state.StepIndex, 0.0f);
    EXPECT_EQ(state.TimeSeries[1001], 1001 * 0.01);
}

TEST_F(RunTest, NaturalPeriodCommandTouchesOnlyTheModel) {
    Run(ExcitationCase::InitialDisplacement);
    const double dis5 = state.DisSeries[5];
    texts.model.stiffness = "1200";
    ASSERT_FALSE(ComputeNaturalPeriodFromTexts(state, texts.model).has_value());
    EXPECT_EQ(NumberText(state.NaturalPeriod),
              NumberText(TwoPi * std::sqrt(1.0 / 1200) / std::sqrt(1 - 0.0004)));
    EXPECT_EQ(state.DisSeries[5], dis5);
    EXPECT_EQ(state.StepCount, 1002);
}

TEST_F(RunTest, InitialDisplacementFirstStep) {
    ASSERT_EQ(Run(ExcitationCase::InitialDisplacement).status, RunResult::Status::Completed);
    EXPECT_EQ(state.AccSeries[0], -1500.0);
    EXPECT_NEAR(state.AccSeries[1], -1467.3837623, 1e-6);
    EXPECT_NEAR(state.VelSeries[1], -14.8369188, 1e-6);
    EXPECT_NEAR(state.DisSeries[1], 4.9255436, 1e-6);
    // Index 0 never enters the peaks: the damped response never returns to 5 cm.
    EXPECT_NEAR(state.DisPeak, 4.9255436, 1e-6);
    EXPECT_EQ(state.CacPeak, 0.0);
    EXPECT_EQ(state.CacSeries[500], 0.0);
}

TEST_F(RunTest, InitialVelocityFirstStep) {
    ASSERT_EQ(Run(ExcitationCase::InitialVelocity).status, RunResult::Status::Completed);
    EXPECT_NEAR(state.AccSeries[0], -20.7846097, 1e-6);
    EXPECT_NEAR(state.AccSeries[1], -109.5772903, 1e-6);
    EXPECT_NEAR(state.VelSeries[1], 29.3481905, 1e-6);
    EXPECT_NEAR(state.DisSeries[1], 0.2974809, 1e-6);
}

TEST_F(RunTest, SteadyAccelerationWaveAndAbsoluteAcceleration) {
    ASSERT_EQ(Run(ExcitationCase::SteadyAcceleration).status, RunResult::Status::Completed);
    EXPECT_NEAR(state.CacSeries[1], 18.8371559, 1e-6);
    EXPECT_EQ(state.CacSeries[25], 300.0);
    // The shortened pi leaves a trace of the sine at half a period.
    EXPECT_NEAR(state.CacSeries[50], 2.8e-11, 0.5e-11);
    EXPECT_NEAR(state.AccSeries[1], 0.1581014, 1e-6);
    EXPECT_NEAR(state.VelSeries[1], -0.0933953, 1e-6);
    EXPECT_EQ(state.AccSeries[0], 0.0);
    EXPECT_EQ(state.CacPeak, 300.0);
}

TEST_F(RunTest, SteadyDisplacementAmplitudeAndLeftoverOmega) {
    ASSERT_EQ(Run(ExcitationCase::SteadyDisplacement).status, RunResult::Status::Completed);
    EXPECT_EQ(state.ForcingOmega, TwoPi);
    EXPECT_NEAR(state.ForcingAmplitude, 39.4784176, 1e-6);
    EXPECT_NEAR(state.CacSeries[25], 39.4784176, 1e-6);
    // An acceleration-wave run keeps the displacement wave's omega.
    texts.accelerationPeriod = "2";
    ASSERT_EQ(Run(ExcitationCase::SteadyAcceleration).status, RunResult::Status::Completed);
    EXPECT_EQ(state.ForcingOmega, TwoPi);
    EXPECT_EQ(state.ForcingPeriod, 2.0);
    EXPECT_EQ(state.ForcingAmplitude, 300.0);
}

TEST_F(RunTest, EveryPointAfterTheRunIsZero) {
    state.DisSeries[40000] = 7;  // left from an imagined earlier, longer run
    ASSERT_EQ(Run(ExcitationCase::InitialDisplacement).status, RunResult::Status::Completed);
    for (int i = 1002; i <= MaxSeriesIndex; ++i) {
        ASSERT_EQ(state.TimeSeries[i] + state.CacSeries[i] + state.AccSeries[i] +
                      state.VelSeries[i] + state.DisSeries[i],
                  0.0)
            << i;
    }
}

TEST_F(RunTest, SinglePointRunStepsNothing) {
    texts.analysisTime = "-0.01";  // -1 + 2 = 1 point
    ASSERT_EQ(Run(ExcitationCase::InitialDisplacement).status, RunResult::Status::Completed);
    EXPECT_EQ(state.StepCount, 1);
    EXPECT_EQ(state.DisSeries[0], 5.0);
    EXPECT_EQ(state.DisSeries[1], 0.0);
    EXPECT_EQ(state.DisPeak + state.AccPeak + state.VelPeak + state.CacPeak, 0.0);
}

TEST_F(RunTest, ZeroDampingStillSteps) {
    texts.model.damping = "0";
    ASSERT_EQ(Run(ExcitationCase::InitialDisplacement).status, RunResult::Status::Completed);
    EXPECT_EQ(state.DampingPerMass, 0.0);
    EXPECT_DOUBLE_EQ(state.StepDenominator, 1 + 300 * 0.01 * 0.01 / 6);
    EXPECT_NEAR(state.DisPeak, 5.0, 0.01);  // an undamped swing comes back to about 5 cm
}

TEST(StepCountRounding, HalvesGoToEven) {
    auto state = std::make_unique<AnalysisState>();
    RunTexts texts;
    texts.timeStep = "0.5";
    texts.analysisTime = "500.25";  // 1000.5 + 2
    RunAnalysis(*state, texts, ExcitationCase::InitialVelocity, {});
    EXPECT_EQ(state->StepCount, 1002);
    texts.analysisTime = "500.75";  // 1001.5 + 2
    RunAnalysis(*state, texts, ExcitationCase::InitialVelocity, {});
    EXPECT_EQ(state->StepCount, 1004);
}

TEST(TimerInterval, HalfMillisecondsGoToEven) {
    const struct {
        const char* timeStep;
        int ms;
    } cases[] = {{"0.005", 2}, {"0.003", 2}, {"0.007", 4}, {"0.009", 4}, {"0.0102", 5}};
    for (const auto& c : cases) {
        auto state = std::make_unique<AnalysisState>();
        RunTexts texts;
        texts.timeStep = c.timeStep;
        EXPECT_EQ(RunAnalysis(*state, texts, ExcitationCase::InitialVelocity, {}).timerIntervalMs,
                  c.ms)
            << c.timeStep;
    }
}

// ---- Earthquake records -------------------------------------------------------------

class EarthquakeTest : public RunTest {
protected:
    RunResult RunRecord(const WaveRecord& record) {
        RunHooks hooks;
        hooks.loadWaveRecord = [record] { return std::optional<WaveRecord>(record); };
        return Run(ExcitationCase::Earthquake, hooks);
    }
};

TEST_F(EarthquakeTest, RecordDrivesTheStepsAndZerosFollow) {
    // A file of 0.02 and 1,500 samples, confirmed: the boxes say 0.02 and 30.
    WaveRecord record{0.02, std::vector<double>(1500)};
    for (int k = 0; k < 1500; ++k) record.samples[k] = 5 + 100 * std::sin(0.1 * k);
    texts.timeStep = "0.02";
    texts.analysisTime = "30";
    ASSERT_EQ(RunRecord(record).status, RunResult::Status::Completed);
    EXPECT_EQ(state.StepCount, 1502);
    EXPECT_EQ(state.CacSeries[0], 5.0);
    EXPECT_EQ(state.AccSeries[0], -5.0);  // point 0 stays relative
    EXPECT_EQ(state.CacSeries[1499], record.samples[1499]);
    EXPECT_EQ(state.CacSeries[1500], 0.0);
    EXPECT_EQ(state.CacSeries[1501], 0.0);
    EXPECT_EQ(state.TimeSeries[1501], 1501 * 0.02);
    EXPECT_EQ(state.TimeStep, 0.02);
}

TEST_F(EarthquakeTest, StepsUseTheRecordsTimeStepThroughout) {
    WaveRecord record{0.02, std::vector<double>(1500, 0.0)};
    record.samples[0] = 100;
    texts.timeStep = "0.01";  // edited after the file was confirmed
    texts.analysisTime = "30";
    ASSERT_EQ(RunRecord(record).status, RunResult::Status::Completed);
    EXPECT_EQ(state.StepCount, 3002);
    EXPECT_EQ(state.TimeStep, 0.02);
    EXPECT_EQ(state.TimeSeries[10], 10 * 0.02);
    EXPECT_NEAR(state.StepDenominator, 1 + 0.02 * 0.02 * 300 / 6 + state.DampingPerMass * 0.01,
                1e-15);
}

TEST_F(EarthquakeTest, SameAsTheSteadyWaveWhenTheRecordHoldsIt) {
    ASSERT_EQ(Run(ExcitationCase::SteadyAcceleration).status, RunResult::Status::Completed);
    const auto steady = std::make_unique<AnalysisState>(state);
    WaveRecord record{0.01, {}};
    for (int i = 0; i < 1002; ++i) record.samples.push_back(steady->CacSeries[i]);
    ASSERT_EQ(RunRecord(record).status, RunResult::Status::Completed);
    for (int i = 1; i < 1002; ++i) {
        ASSERT_EQ(state.DisSeries[i], steady->DisSeries[i]) << i;
        ASSERT_EQ(state.AccSeries[i], steady->AccSeries[i]) << i;
    }
}

// In the forced cases the peaks are taken after the acceleration is made absolute.
TEST_F(EarthquakeTest, ForcedPeaksAreTheLargestValuesOfTheFinishedSeries) {
    WaveRecord record{0.01, {}};
    for (int k = 0; k < 800; ++k) record.samples.push_back(200 * std::sin(0.3 * k) + 30);
    for (const ExcitationCase c :
         {ExcitationCase::SteadyAcceleration, ExcitationCase::SteadyDisplacement,
          ExcitationCase::Earthquake}) {
        SCOPED_TRACE(static_cast<int>(c));
        ASSERT_EQ(c == ExcitationCase::Earthquake ? RunRecord(record).status : Run(c).status,
                  RunResult::Status::Completed);
        double cac = 0, acc = 0, vel = 0, dis = 0, relative = 0;
        for (int i = 1; i < state.StepCount; ++i) {
            cac = std::max(cac, std::fabs(state.CacSeries[i]));
            acc = std::max(acc, std::fabs(state.AccSeries[i]));
            vel = std::max(vel, std::fabs(state.VelSeries[i]));
            dis = std::max(dis, std::fabs(state.DisSeries[i]));
            relative = std::max(relative, std::fabs(state.AccSeries[i] - state.CacSeries[i]));
        }
        EXPECT_EQ(state.CacPeak, cac);
        EXPECT_EQ(state.AccPeak, acc);
        EXPECT_GT(std::fabs(state.AccPeak - relative), 1.0);  // not the relative peak
        EXPECT_EQ(state.VelPeak, vel);
        EXPECT_EQ(state.DisPeak, dis);
    }
}

TEST_F(EarthquakeTest, NoRecordEndsTheRunAfterTheOpeningSteps) {
    Run(ExcitationCase::InitialDisplacement);
    RunHooks hooks;
    hooks.loadWaveRecord = [] { return std::optional<WaveRecord>(); };
    texts.model.stiffness = "1200";
    const RunResult r = Run(ExcitationCase::Earthquake, hooks);
    EXPECT_EQ(r.status, RunResult::Status::EndedEarly);
    EXPECT_EQ(shownPeriod, NumberText(TwoPi * std::sqrt(1.0 / 1200) / std::sqrt(1 - 0.0004)));
    EXPECT_EQ(state.DisSeries[1], 0.0);
    EXPECT_EQ(state.DisPeak, 0.0);
}

}  // namespace
}  // namespace kestrel
