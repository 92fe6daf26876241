// The exact step against the closed-form responses of the one-mass model.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "study/ExactResponse.h"

namespace kestrel {
namespace {

// x(t) for a constant ground acceleration g from rest (step), or for no input from (x0, v0).
struct ClosedForm {
    double omega, h;
    double Root() const { return std::sqrt(1 - h * h); }
    double Step(double g, double t) const {
        const double wd = omega * Root();
        return -g / (omega * omega) *
               (1 - std::exp(-h * omega * t) * (std::cos(wd * t) + h / Root() * std::sin(wd * t)));
    }
    double StepVelocity(double g, double t) const {
        const double wd = omega * Root();
        return -g / (omega * omega) * std::exp(-h * omega * t) * omega / Root() * std::sin(wd * t);
    }
    double Free(double x0, double v0, double t) const {
        const double wd = omega * Root();
        return std::exp(-h * omega * t) *
               (x0 * std::cos(wd * t) + (v0 + h * omega * x0) / wd * std::sin(wd * t));
    }
};

TEST(ExactResponse, StepAndFreeVibrationFollowTheClosedForms) {
    // Short and long steps against the period (both ways of computing the coefficients).
    struct Case {
        double period, dt;
    };
    for (const Case c : {Case{1.0, 0.01}, Case{0.05, 0.02}, Case{0.02, 0.05}, Case{40.0, 0.01}}) {
        for (const double h : {0.0, 0.02, 0.2}) {
            const ClosedForm exact{2 * M_PI / c.period, h};
            const std::size_t n = 2000;
            const std::vector<double> constant(n, 150.0);
            const std::vector<double> none(n, 0.0);
            const ResponseHistory step = ExactResponse(constant, c.dt, exact.omega, h, 0, 0);
            const ResponseHistory free = ExactResponse(none, c.dt, exact.omega, h, 3, -20);
            ASSERT_EQ(step.displacement.size(), n);
            ASSERT_EQ(free.displacement.size(), n);
            const double stepScale = 150 / (exact.omega * exact.omega);
            const double freeScale = 3 + 20 / exact.omega;
            for (std::size_t i = 0; i < n; i += 7) {
                const double t = c.dt * static_cast<double>(i);
                SCOPED_TRACE(testing::Message() << "T " << c.period << " h " << h << " t " << t);
                ASSERT_NEAR(step.displacement[i], exact.Step(150, t), 1e-11 * stepScale);
                ASSERT_NEAR(step.velocity[i], exact.StepVelocity(150, t),
                            1e-11 * stepScale * exact.omega);
                // Absolute acceleration: the ground's plus the relative one.
                const double relative = -150 - 2 * h * exact.omega * step.velocity[i] -
                                        exact.omega * exact.omega * step.displacement[i];
                ASSERT_NEAR(step.absoluteAcceleration[i], relative + 150,
                            1e-9 * stepScale * exact.omega * exact.omega);
                ASSERT_NEAR(free.displacement[i], exact.Free(3, -20, t), 1e-11 * freeScale);
            }
        }
    }
}

TEST(ExactResponse, StopsBeforeAPointThatIsNotFinite) {
    const std::vector<double> huge(1000, 1.5e308);
    const ResponseHistory r = ExactResponse(huge, 0.01, 2 * M_PI / 10, 0.05, 0, 0);
    EXPECT_LT(r.displacement.size(), huge.size());
    for (const auto* series : {&r.displacement, &r.velocity, &r.absoluteAcceleration}) {
        EXPECT_EQ(series->size(), r.displacement.size());
        for (double x : *series) EXPECT_TRUE(std::isfinite(x));
    }
}

}  // namespace
}  // namespace kestrel
