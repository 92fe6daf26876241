// The accuracy comparison: the run's own series, the other two methods and the step
// properties of both methods.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "runtime/Conversions.h"
#include "study/MethodComparison.h"

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
    for (const ExcitationCase c :
         {ExcitationCase::InitialDisplacement, ExcitationCase::InitialVelocity,
          ExcitationCase::SteadyAcceleration, ExcitationCase::SteadyDisplacement}) {
        RunTexts texts;
        auto state = std::make_unique<AnalysisState>();
        ASSERT_EQ(RunAnalysis(*state, texts, c, {}).status, RunResult::Status::Completed);
        const MethodComparison m = CompareMethods(texts, c, std::nullopt);
        ASSERT_TRUE(m.compared);
        ASSERT_EQ(m.linear.displacement.size(), static_cast<std::size_t>(state->StepCount - 1));
        for (std::size_t i = 0; i < m.linear.displacement.size(); ++i) {
            ASSERT_EQ(m.linear.displacement[i], state->DisSeries[static_cast<int>(i)]);
            ASSERT_EQ(m.ground[i], state->CacSeries[static_cast<int>(i)]);
        }
    }
}

}  // namespace
}  // namespace kestrel
