// The integrator against closed-form answers, and its error falling as the square of the
// time step (the linear acceleration method is second-order accurate).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "analysis/Run.h"
#include "runtime/Conversions.h"

namespace kestrel {
namespace {

constexpr double K = 300;  // kN/cm, with a mass of 1 kN*s^2/cm
constexpr double H = 0.05;

// Damped free vibration from x0 = 5 cm, v0 = 0: x(t) = e^(-h w t)(x0 cos wd t + h w x0/wd sin wd
// t).
double FreeVibration(double t) {
    const double w = std::sqrt(K);
    const double wd = w * std::sqrt(1 - H * H);
    return std::exp(-H * w * t) * (5 * std::cos(wd * t) + H * w * 5 / wd * std::sin(wd * t));
}

std::unique_ptr<AnalysisState> RunWith(double ts, double tl, ExcitationCase c) {
    auto s = std::make_unique<AnalysisState>();
    RunTexts texts;
    texts.model.stiffness = NumberText(K);
    texts.model.damping = NumberText(H * 100);
    texts.timeStep = NumberText(ts);
    texts.analysisTime = NumberText(tl);
    EXPECT_EQ(RunAnalysis(*s, texts, c, {}).status, RunResult::Status::Completed);
    return s;
}

// Largest error of the displacement over the first second.
double FreeVibrationError(double ts) {
    const auto s = RunWith(ts, 1, ExcitationCase::InitialDisplacement);
    double worst = 0;
    for (int i = 0; i < s->StepCount; ++i) {
        worst = std::max(worst, std::fabs(s->DisSeries[i] - FreeVibration(i * ts)));
    }
    return worst;
}

TEST(IntegratorAccuracy, DampedFreeVibrationConvergesAtSecondOrder) {
    const double e1 = FreeVibrationError(0.01);
    const double e2 = FreeVibrationError(0.005);
    const double e3 = FreeVibrationError(0.0025);
    EXPECT_LT(e1, 0.05);  // a few hundredths of a centimetre at 36 points a period
    EXPECT_NEAR(e1 / e2, 4.0, 0.4);
    EXPECT_NEAR(e2 / e3, 4.0, 0.4);
}

TEST(IntegratorAccuracy, SteadyStateAmplitudeOfAHarmonicGroundAcceleration) {
    // Ground acceleration 300 sin(W t) with a period of 0.5 s; after the start-up swing has
    // died away the relative displacement swings with A / sqrt((w^2 - W^2)^2 + (2 h w W)^2).
    const double ts = 0.0025;
    auto s = std::make_unique<AnalysisState>();
    RunTexts texts;
    texts.model.stiffness = "300";
    texts.model.damping = "5";
    texts.timeStep = NumberText(ts);
    texts.analysisTime = "40";
    texts.accelerationPeriod = "0.5";
    texts.accelerationMax = "300";
    ASSERT_EQ(RunAnalysis(*s, texts, ExcitationCase::SteadyAcceleration, {}).status,
              RunResult::Status::Completed);
    const double w2 = K;
    const double bigW = 2 * M_PI / 0.5;
    const double expected =
        300 / std::sqrt(std::pow(w2 - bigW * bigW, 2) + std::pow(2 * H * std::sqrt(w2) * bigW, 2));
    double amplitude = 0;
    for (int i = static_cast<int>(35 / ts); i < s->StepCount; ++i) {
        amplitude = std::max(amplitude, std::fabs(s->DisSeries[i]));
    }
    EXPECT_NEAR(amplitude / expected, 1.0, 2e-3);
}

TEST(IntegratorAccuracy, TooLongATimeStepGrowsUntilItOverflows) {
    // 0.3 s against a natural period of 0.36 s is far beyond the method's stable range:
    // the response grows every step until it leaves the 64-bit range.
    auto s = std::make_unique<AnalysisState>();
    RunTexts texts;
    texts.model.damping = "0";
    texts.timeStep = "0.3";
    texts.analysisTime = "9000";
    const RunResult r = RunAnalysis(*s, texts, ExcitationCase::InitialDisplacement, {});
    ASSERT_EQ(r.status, RunResult::Status::Faulted);
    EXPECT_EQ(r.fault, (Fault{FaultSite::Integration, FaultKind::Overflow}));
    for (int i = 0; i <= MaxSeriesIndex; ++i) ASSERT_TRUE(std::isfinite(s->DisSeries[i])) << i;
    EXPECT_TRUE(std::isfinite(s->DisPeak));
}

}  // namespace
}  // namespace kestrel
