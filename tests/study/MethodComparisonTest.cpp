// The accuracy comparison: the run's own series, the other two methods and the step
// properties of both methods.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <sstream>

#include "runtime/Conversions.h"
#include "study/MethodComparison.h"
#include "study/StudyFiles.h"

namespace kestrel {
namespace {

TEST(StepProperties, CheckedElongationsWithoutDamping) {
    struct Case {
        StepMethod method;
        double ratio;
        double elongation;  // percent, to the digits given
        double tolerance;
    };
    const Case cases[] = {
        {StepMethod::LinearAcceleration, 0.1, 1.600, 0.0005},
        {StepMethod::AverageAcceleration, 0.1, 3.207, 0.0005},
        {StepMethod::LinearAcceleration, 0.3, 11.74, 0.005},
        {StepMethod::AverageAcceleration, 0.3, 24.70, 0.005},
    };
    for (const Case& c : cases) {
        const StepProperties p = MethodStepProperties(c.method, c.ratio, 0);
        EXPECT_TRUE(p.stable);
        EXPECT_NEAR(p.periodElongation, c.elongation, c.tolerance) << c.ratio;
        EXPECT_NEAR(p.apparentDamping, 0, 1e-12);
        EXPECT_NEAR(p.spectralRadius, 1, 1e-12);
    }
}

TEST(MethodComparison, LinearSeriesIsTheRunsOwnDisplacement) {
    WaveRecord record;
    record.timeStep = 0.02;
    for (int i = 0; i < 400; ++i) record.samples.push_back(180 * std::sin(0.3 * i) * (i % 7));
    for (const ExcitationCase c :
         {ExcitationCase::InitialDisplacement, ExcitationCase::InitialVelocity,
          ExcitationCase::SteadyAcceleration, ExcitationCase::SteadyDisplacement,
          ExcitationCase::Earthquake}) {
        RunTexts texts;
        texts.analysisTime = "9";
        auto state = std::make_unique<AnalysisState>();
        RunHooks hooks;
        hooks.loadWaveRecord = [&] { return std::optional<WaveRecord>(record); };
        ASSERT_EQ(RunAnalysis(*state, texts, c, hooks).status, RunResult::Status::Completed);
        const MethodComparison m = CompareMethods(texts, c, record);
        ASSERT_TRUE(m.compared);
        EXPECT_EQ(m.naturalPeriod, state->NaturalPeriod);
        EXPECT_EQ(m.stepRatio, state->TimeStep / state->NaturalPeriod);
        ASSERT_EQ(m.linear.displacement.size(), static_cast<std::size_t>(state->StepCount - 1));
        for (std::size_t i = 0; i < m.linear.displacement.size(); ++i) {
            const int at = static_cast<int>(i);
            ASSERT_EQ(m.linear.displacement[i], state->DisSeries[at]);
            ASSERT_EQ(m.ground[i], state->CacSeries[at]);
            ASSERT_EQ(m.time[i], state->TimeSeries[at]);
        }
        EXPECT_FALSE(m.linear.divergedAt.has_value());
        EXPECT_NEAR(m.linear.peakError.value(), 0, 0.05);
        EXPECT_NEAR(m.average.peakError.value(), 0, 0.05);
    }
}

// The default building (K 300 kN/cm, M 1 kN s^2/cm) with the damping and step given.
RunTexts Building(double dampingPercent, double timeStep, double duration) {
    RunTexts texts;
    texts.model.damping = NumberText(dampingPercent);
    texts.timeStep = NumberText(timeStep);
    texts.analysisTime = NumberText(duration);
    return texts;
}

TEST(MethodComparison, FreeVibrationAgainstTheClosedForms) {
    // Exact: damped free vibration. Average acceleration without damping: the step is a
    // rotation by phi, tan(phi / 2) = w dt / 2, so x_n = x0 cos(n phi) + v0 / w sin(n phi).
    const double w = std::sqrt(300.0);
    for (const double h : {0.0, 0.02, 0.2}) {
        for (const ExcitationCase c :
             {ExcitationCase::InitialDisplacement, ExcitationCase::InitialVelocity}) {
            const double dt = 0.02;
            const MethodComparison m = CompareMethods(Building(h * 100, dt, 5), c, std::nullopt);
            ASSERT_TRUE(m.compared);
            const double x0 = c == ExcitationCase::InitialDisplacement ? 5 : 0;
            const double v0 = c == ExcitationCase::InitialVelocity ? 30 : 0;
            const double wd = w * std::sqrt(1 - h * h);
            const double phi = 2 * std::atan(w * dt / 2);
            ASSERT_EQ(m.exact.displacement.size(), m.time.size());
            ASSERT_EQ(m.average.displacement.size(), m.time.size());
            for (std::size_t i = 0; i < m.time.size(); ++i) {
                const double t = m.time[i];
                const double exact =
                    std::exp(-h * w * t) *
                    (x0 * std::cos(wd * t) + (v0 + h * w * x0) / wd * std::sin(wd * t));
                ASSERT_NEAR(m.exact.displacement[i], exact, 1e-10) << h << " " << t;
                if (h == 0) {
                    const double n = static_cast<double>(i);
                    ASSERT_NEAR(m.average.displacement[i],
                                x0 * std::cos(n * phi) + v0 / w * std::sin(n * phi), 1e-10);
                }
            }
        }
    }
}

TEST(MethodComparison, TheRunConvergesToTheExactSolutionAsTheStepIsHalved) {
    // A steady ground acceleration, and a record (the earthquake case): the error of the
    // linear acceleration method falls as the square of the step.
    for (const ExcitationCase c :
         {ExcitationCase::SteadyAcceleration, ExcitationCase::Earthquake}) {
        double previous = 0;
        for (const double dt : {0.01, 0.005, 0.0025}) {
            WaveRecord record;
            record.timeStep = dt;
            for (double t = 0; t < 4; t += dt) record.samples.push_back(250 * std::sin(9 * t) * t);
            const MethodComparison m = CompareMethods(Building(2, dt, 3), c, record);
            ASSERT_TRUE(m.compared);
            double worst = 0;
            for (std::size_t i = 0; i < m.time.size(); ++i) {
                worst =
                    std::max(worst, std::fabs(m.linear.displacement[i] - m.exact.displacement[i]));
            }
            if (previous > 0) {
                EXPECT_NEAR(previous / worst, 4, 0.3) << dt;
            }
            previous = worst;
        }
    }
}

// The period of a free vibration from its zero crossings (linear interpolation), in steps.
double MeasuredPeriodInSteps(const std::vector<double>& x) {
    double first = -1, last = -1;
    int crossings = 0;
    for (std::size_t i = 0; i + 1 < x.size(); ++i) {
        if ((x[i] > 0) != (x[i + 1] > 0)) {
            const double at = static_cast<double>(i) + x[i] / (x[i] - x[i + 1]);
            if (first < 0) first = at;
            last = at;
            ++crossings;
        }
    }
    return 2 * (last - first) / (crossings - 1);
}

TEST(MethodComparison, PeriodElongationAgreesWithZeroCrossingsOfLongRuns) {
    struct Case {
        double ratio, h;
    };
    for (const Case c : {Case{0.1, 0}, Case{0.3, 0}, Case{0.05, 0.02}, Case{0.2, 0.02}}) {
        // The step that gives the ratio for this building, over 12,000 steps.
        const double period = 2 * Pi / std::sqrt(300.0) / std::sqrt(1 - c.h * c.h);
        const double dt = c.ratio * period;
        const MethodComparison m = CompareMethods(Building(c.h * 100, dt, 12000 * dt),
                                                  ExcitationCase::InitialVelocity, std::nullopt);
        ASSERT_TRUE(m.compared);
        ASSERT_NEAR(m.stepRatio, c.ratio, 1e-9);
        const std::pair<const MethodSeries*, const StepProperties*> methods[] = {
            {&m.linear, &m.linearProperties}, {&m.average, &m.averageProperties}};
        for (const auto& [series, properties] : methods) {
            ASSERT_TRUE(properties->stable);
            const double measured = MeasuredPeriodInSteps(series->displacement) * c.ratio;
            EXPECT_NEAR(measured, 1 + properties->periodElongation / 100, 1e-4)
                << c.ratio << " " << c.h;
        }
        // The exact solution keeps the period.
        EXPECT_NEAR(MeasuredPeriodInSteps(m.exact.displacement) * c.ratio, 1, 1e-4);
    }
}

TEST(MethodComparison, PastTheStabilityLimitTheLinearMethodStopsWhereItDiverged) {
    const double period = 2 * Pi / std::sqrt(300.0);
    for (const ExcitationCase c :
         {ExcitationCase::InitialDisplacement, ExcitationCase::SteadyAcceleration}) {
        const RunTexts texts = Building(0, 0.62 * period, 2000 * 0.62 * period);
        auto state = std::make_unique<AnalysisState>();
        const RunResult run = RunAnalysis(*state, texts, c, {});
        ASSERT_EQ(run.status, RunResult::Status::Faulted);
        // The same input on a soft building, which stays stable at this step.
        RunTexts softTexts = texts;
        softTexts.model.stiffness = "0.01";
        auto soft = std::make_unique<AnalysisState>();
        ASSERT_EQ(RunAnalysis(*soft, softTexts, c, {}).status, RunResult::Status::Completed);

        const MethodComparison m = CompareMethods(texts, c, {});
        EXPECT_EQ(m.run.status, RunResult::Status::Faulted);
        EXPECT_EQ(m.run.fault, run.fault);
        ASSERT_TRUE(m.compared);
        EXPECT_GT(m.stepRatio, m.stabilityLimit);
        EXPECT_FALSE(m.linearProperties.stable);
        EXPECT_TRUE(m.averageProperties.stable);
        ASSERT_TRUE(m.linear.divergedAt.has_value());
        const std::size_t kept = m.linear.displacement.size();
        ASSERT_LT(kept, m.time.size());
        EXPECT_DOUBLE_EQ(*m.linear.divergedAt, m.time[kept]);
        for (std::size_t i = 0; i < kept; ++i) {
            ASSERT_EQ(m.linear.displacement[i], state->DisSeries[static_cast<int>(i)]);
        }
        ASSERT_EQ(m.time.size(), static_cast<std::size_t>(soft->StepCount - 1));
        for (std::size_t i = 0; i < m.time.size(); ++i) {
            ASSERT_EQ(m.ground[i], soft->CacSeries[static_cast<int>(i)]);
            ASSERT_EQ(m.time[i], soft->TimeSeries[static_cast<int>(i)]);
        }
        EXPECT_EQ(m.exact.displacement.size(), m.time.size());
        EXPECT_EQ(m.average.displacement.size(), m.time.size());
        EXPECT_FALSE(m.exact.divergedAt.has_value());
        EXPECT_TRUE(std::isfinite(m.linear.peak));

        // The file: every row, the diverged method's items empty from there on.
        std::ostringstream csv;
        ASSERT_FALSE(WriteAccuracyCsv(csv, m).has_value());
        const std::string text = csv.str();
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(m.time.size() + 1));
        EXPECT_EQ(text.find("inf"), std::string::npos);
        EXPECT_EQ(text.find("nan"), std::string::npos);
        EXPECT_NE(text.find(",,"), std::string::npos);
    }
}

TEST(MethodComparison, OtherFaultsAndAMissingRecordAreTheRunsOwn) {
    struct Case {
        ExcitationCase excitation;
        const char* stiffness;
        const char* timeStep;
        RunResult::Status status;
    };
    const Case cases[] = {
        {ExcitationCase::InitialDisplacement, "0", "0.01", RunResult::Status::Faulted},
        {ExcitationCase::SteadyAcceleration, "300", "0", RunResult::Status::Faulted},
        {ExcitationCase::Earthquake, "300", "0.01", RunResult::Status::EndedEarly},
    };
    for (const Case& c : cases) {
        RunTexts texts;
        texts.model.stiffness = c.stiffness;
        texts.timeStep = c.timeStep;
        auto state = std::make_unique<AnalysisState>();
        const RunResult run = RunAnalysis(*state, texts, c.excitation, {});
        const MethodComparison m = CompareMethods(texts, c.excitation, std::nullopt);
        EXPECT_EQ(m.run.status, c.status);
        EXPECT_EQ(m.run.fault, run.fault);
        EXPECT_FALSE(m.compared);
        EXPECT_TRUE(m.time.empty());
    }
}

TEST(StepProperties, ElongationCurvesAndTheLimit) {
    EXPECT_DOUBLE_EQ(StabilityLimit(StepMethod::LinearAcceleration, 0).value(),
                     std::sqrt(3.0) / std::numbers::pi);
    EXPECT_FALSE(StabilityLimit(StepMethod::AverageAcceleration, 0.05).has_value());
    for (const double h : {0.0, 0.05}) {
        const auto linear = ElongationCurve(StepMethod::LinearAcceleration, h, 0.6, 61);
        const auto average = ElongationCurve(StepMethod::AverageAcceleration, h, 0.6, 61);
        const double limit = StabilityLimit(StepMethod::LinearAcceleration, h).value();
        EXPECT_NEAR(limit, 0.551, 0.01);
        EXPECT_EQ(average.size(), 61u);
        EXPECT_DOUBLE_EQ(average.back().stepRatio, 0.6);
        EXPECT_EQ(linear.back().stepRatio, limit);
        // The ratios 0, 0.01, ... up to the limit, and the limit itself.
        EXPECT_EQ(linear.size(), static_cast<std::size_t>(std::floor(limit * 100)) + 2);
        EXPECT_EQ(linear.front().periodElongation, 0);
        for (std::size_t i = 1; i < 30; ++i) {
            // The average method lengthens the period about twice as much.
            EXPECT_GT(average[i].periodElongation, 1.8 * linear[i].periodElongation);
        }
    }
}

}  // namespace
}  // namespace kestrel
