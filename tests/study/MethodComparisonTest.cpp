// The accuracy comparison: the run's own series, the other two methods and the step
// properties of both methods.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "runtime/Conversions.h"
#include "runtime/TextEncoding.h"
#include "study/MethodComparison.h"
#include "study/StudyFiles.h"

namespace kestrel {
namespace {

// The program's pi: its periods, and so the ratios dt/T, are computed with it.
constexpr double kProgramPi = 3.1415926535897;

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
        RunHooks hooks;
        hooks.loadWaveRecord = [&] { return std::optional<WaveRecord>(record); };
        const RunOutcome run = RunFromTexts(texts, c, hooks);
        ASSERT_EQ(run.status, RunOutcome::Status::Completed);
        const Response& r = *run.response;
        const MethodComparison m = CompareMethods(run);
        ASSERT_TRUE(m.compared);
        EXPECT_EQ(m.naturalPeriod, run.inputs->naturalPeriod);
        EXPECT_EQ(m.stepRatio, r.stepTime() / run.inputs->naturalPeriod);
        // The rows of the result file: every point but the last.
        ASSERT_EQ(m.linear.displacement.size(), static_cast<std::size_t>(r.pointCount() - 1));
        for (std::size_t i = 0; i < m.linear.displacement.size(); ++i) {
            ASSERT_EQ(m.linear.displacement[i], r.displacement()[i]);
            ASSERT_EQ(m.ground[i], r.ground()[i]);
            ASSERT_EQ(m.time[i], r.time()[i]);
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
        const double period = 2 * kProgramPi / std::sqrt(300.0) / std::sqrt(1 - c.h * c.h);
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
    const double period = 2 * kProgramPi / std::sqrt(300.0);
    for (const ExcitationCase c :
         {ExcitationCase::InitialDisplacement, ExcitationCase::SteadyAcceleration}) {
        const RunTexts texts = Building(0, 0.62 * period, 2000 * 0.62 * period);
        const RunOutcome run = RunFromTexts(texts, c, {});
        ASSERT_EQ(run.status, RunOutcome::Status::Faulted);
        // The same input on a soft building, which stays stable at this step.
        RunTexts softTexts = texts;
        softTexts.model.stiffness = "0.01";
        const RunOutcome soft = RunFromTexts(softTexts, c, {});
        ASSERT_EQ(soft.status, RunOutcome::Status::Completed);

        const MethodComparison m = CompareMethods(run);
        EXPECT_EQ(m.runStatus, RunOutcome::Status::Faulted);
        EXPECT_EQ(m.runFault, run.fault);
        ASSERT_TRUE(m.compared);
        EXPECT_GT(m.stepRatio, m.stabilityLimit);
        EXPECT_FALSE(m.linearProperties.stable);
        EXPECT_TRUE(m.averageProperties.stable);
        ASSERT_TRUE(m.linear.divergedAt.has_value());
        const std::size_t kept = m.linear.displacement.size();
        ASSERT_LT(kept, m.time.size());
        EXPECT_DOUBLE_EQ(*m.linear.divergedAt, m.time[kept]);
        ASSERT_EQ(kept, static_cast<std::size_t>(run.response->completedPoints()));
        for (std::size_t i = 0; i < kept; ++i) {
            ASSERT_EQ(m.linear.displacement[i], run.response->displacement()[i]);
        }
        const Response& stable = *soft.response;
        ASSERT_EQ(m.time.size(), static_cast<std::size_t>(stable.pointCount() - 1));
        for (std::size_t i = 0; i < m.time.size(); ++i) {
            ASSERT_EQ(m.ground[i], stable.ground()[i]);
            ASSERT_EQ(m.time[i], stable.time()[i]);
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
    using enum FaultSite;
    using enum FaultKind;
    using Status = RunOutcome::Status;
    struct Case {
        ExcitationCase excitation;
        const char* stiffness;
        const char* timeStep;
        Status status;
        std::optional<Fault> fault;
    };
    const Case cases[] = {
        {ExcitationCase::InitialDisplacement, "0", "0.01", Status::Faulted,
         Fault{MassStiffnessRatio, DivideByZero}},
        {ExcitationCase::SteadyAcceleration, "300", "0", Status::Faulted,
         Fault{StepCount, DivideByZero}},
        // Every point stepped, the playback interval cannot be kept: nothing is compared.
        {ExcitationCase::InitialVelocity, "300", "1e10", Status::Faulted,
         Fault{TimerInterval, Overflow}},
        {ExcitationCase::Earthquake, "300", "0.01", Status::EndedEarly, std::nullopt},
    };
    for (const Case& c : cases) {
        RunTexts texts;
        texts.model.stiffness = c.stiffness;
        texts.timeStep = c.timeStep;
        const MethodComparison m = CompareMethods(texts, c.excitation, std::nullopt);
        EXPECT_EQ(m.runStatus, c.status);
        EXPECT_EQ(m.runFault, c.fault);
        EXPECT_FALSE(m.compared);
        EXPECT_TRUE(m.time.empty());
    }
}

TEST(StepProperties, ElongationCurvesEndWhereTheSwingEnds) {
    EXPECT_FALSE(StabilityLimit(StepMethod::AverageAcceleration, 0.05).has_value());
    for (const double h : {0.0, 0.05, 0.2}) {
        const auto linear = ElongationCurve(StepMethod::LinearAcceleration, h, 0.6, 61);
        const auto average = ElongationCurve(StepMethod::AverageAcceleration, h, 0.6, 61);
        EXPECT_EQ(average.size(), 61u);
        EXPECT_DOUBLE_EQ(average.back().stepRatio, 0.6);
        // The last point still swings, a hair beyond it the method does not.
        const double end = linear.back().stepRatio;
        EXPECT_TRUE(MethodStepProperties(StepMethod::LinearAcceleration, end, h).HasPeriod());
        EXPECT_FALSE(
            MethodStepProperties(StepMethod::LinearAcceleration, end * (1 + 1e-9), h).HasPeriod());
        EXPECT_LE(end, StabilityLimit(StepMethod::LinearAcceleration, h).value());
        // Without damping the swing ends at the stability limit, with a period of 2 dt.
        if (h == 0) {
            EXPECT_NEAR(end, std::sqrt(3.0) / kProgramPi, 1e-9);
            EXPECT_NEAR(linear.back().periodElongation, (2 * end - 1) * 100, 1e-4);
        }
        EXPECT_EQ(linear.front().periodElongation, 0);
        for (std::size_t i = 1; i < 30; ++i) {
            // The average method lengthens the period about twice as much.
            EXPECT_GT(average[i].periodElongation, 1.8 * linear[i].periodElongation);
        }
    }
}

TEST(StepProperties, StabilityFromTheSpectralRadiusAtEveryDamping) {
    // The limit is w_n dt = 2 sqrt(3) whatever the damping: dt/T_d = 2 sqrt(3) sqrt(1 - h^2)
    // / (2 pi), T_d the program's period (its pi). Just inside it the step is bounded, just
    // outside it grows.
    for (const double h : {0.0, 0.05, 0.2, 0.5, 0.9}) {
        const double limit = 2 * std::sqrt(3.0) * std::sqrt(1 - h * h) / (2 * kProgramPi);
        EXPECT_NEAR(StabilityLimit(StepMethod::LinearAcceleration, h).value(), limit, 1e-15) << h;
        EXPECT_TRUE(
            MethodStepProperties(StepMethod::LinearAcceleration, limit * (1 - 1e-9), h).stable)
            << h;
        EXPECT_FALSE(
            MethodStepProperties(StepMethod::LinearAcceleration, limit * (1 + 1e-6), h).stable)
            << h;
    }
    // Below the limit with damping the eigenvalues may be real: a negative one larger in
    // size flips the sign every step (a decaying 2 dt oscillation), a positive one creeps.
    struct Case {
        double ratio, h;
        bool stable;
        FreeVibration vibration;
    };
    const Case cases[] = {
        {0.1, 0, true, FreeVibration::Swings},
        {0.5, 0.2, true, FreeVibration::Swings},
        {0.53, 0.2, true, FreeVibration::Alternates},
        {0.54, 0.2, true, FreeVibration::Alternates},
        {0.541, 0.2, false, FreeVibration::Alternates},
        {0.55, 0.2, false, FreeVibration::Alternates},
        {0.108, 0.9, true, FreeVibration::Creeps},
        {0.2, 0.9, true, FreeVibration::Alternates},
        {0.3, 0.9, false, FreeVibration::Alternates},
        {0.56, 0, false, FreeVibration::Alternates},
    };
    for (const Case& c : cases) {
        const StepProperties p = MethodStepProperties(StepMethod::LinearAcceleration, c.ratio, c.h);
        EXPECT_EQ(p.stable, c.stable) << c.ratio << " " << c.h;
        EXPECT_EQ(p.vibration, c.vibration) << c.ratio << " " << c.h;
        EXPECT_EQ(p.HasPeriod(), c.stable && c.vibration == FreeVibration::Swings);
        EXPECT_EQ(p.spectralRadius <= 1 + 1e-12, c.stable);
    }
}

TEST(MethodComparison, TheRunMovesAsTheStepPropertiesSayAndTheNoteTellsIt) {
    // The default building (T_d = 0.3702 s at 20 %) stepped from an initial velocity: the
    // program's own run swings, flips its sign every step while dying away, or grows.
    struct Case {
        double h, dt;
        const char* note;  // the start of the note; empty: none
    };
    const Case cases[] = {
        {20, 0.18, ""},
        {20, 0.198,
         "2Δt周期の数値振動（減衰）：応答が 1 ステップごとに符号を変えながら減衰します "
         "(Δt/T = 0.535、安定限界 0.540)"},
        {20, 0.204, "分割時間が安定限界を超えています (Δt/T = 0.551 > 0.540)"},
        {2, 0.225, "分割時間が安定限界を超えています (Δt/T = 0.620 > 0.551)"},
    };
    for (const Case& c : cases) {
        const MethodComparison m =
            CompareMethods(Building(c.h, c.dt, 200 * c.dt), ExcitationCase::InitialVelocity, {});
        ASSERT_TRUE(m.compared);
        EXPECT_EQ(LinearStepNote(m), c.note) << c.dt;
        const std::vector<double>& x = m.linear.displacement;
        ASSERT_GT(x.size(), 150u);
        int flips = 0;
        for (std::size_t i = 100; i < 150; ++i) flips += (x[i] > 0) != (x[i + 1] > 0);
        const bool grows =
            std::fabs(x[150]) + std::fabs(x[149]) > std::fabs(x[50]) + std::fabs(x[49]);
        EXPECT_EQ(grows, !m.linearProperties.stable) << c.dt;
        if (m.linearProperties.vibration == FreeVibration::Alternates) {
            EXPECT_EQ(flips, 50) << c.dt;
        } else {
            EXPECT_LT(flips, 50) << c.dt;
        }
        // The file's heading of the method says the same.
        std::ostringstream csv;
        ASSERT_FALSE(WriteAccuracyCsv(csv, m).has_value());
        const std::string header = Cp932ToUtf8(csv.str().substr(0, csv.str().find('\r'))).value();
        EXPECT_NE(
            header.find(std::string("\"線形加速度法(cm)") + (*c.note ? " " : "") + c.note + "\""),
            std::string::npos)
            << header;
    }
}

}  // namespace
}  // namespace kestrel
