// The exact response of the one-mass model to a ground acceleration that is linear between
// its samples:
//     x'' + 2 h w x' + w^2 x = -g(t)
// x and x' relative to the ground. Over one step of length dt the state (x, v) at the end
// is a linear function of the state at the start and the ground accelerations at both
// ends, with coefficients that depend only on (w, h, dt): the closed form of that step is
// exact for such an input, whatever the step's length.
#pragma once

#include <span>
#include <vector>

namespace kestrel {

// x1 = a11 x0 + a12 v0 + b11 g0 + b12 g1
// v1 = a21 x0 + a22 v0 + b21 g0 + b22 g1
struct ExactStepCoefficients {
    double a11 = 0, a12 = 0, a21 = 0, a22 = 0;
    double b11 = 0, b12 = 0, b21 = 0, b22 = 0;
};

// The coefficients for a circular frequency omega > 0 (rad/s), a damping ratio
// -1 < h < 1 (0 included) and a step dt > 0 (s): the closed form, or where the step is
// short against the period (omega dt < 1) its power series, which keeps every digit there.
ExactStepCoefficients ExactStep(double omega, double h, double dt);

// Response series at the samples: relative displacement (cm), relative velocity (cm/s)
// and absolute acceleration x'' + g = -(2 h w v + w^2 x) (cm/s^2).
struct ResponseHistory {
    std::vector<double> displacement;
    std::vector<double> velocity;
    std::vector<double> absoluteAcceleration;
};

// The response at every sample of `ground` (sample k at time k dt) from the state (x0, v0)
// at sample 0. The series stop before the first point that would not be finite (an input
// too large to follow), so they are shorter than `ground` exactly when the response
// overflowed.
ResponseHistory ExactResponse(std::span<const double> ground, double dt, double omega, double h,
                              double x0, double v0);

}  // namespace kestrel
