// The exact response of the one-mass model to a ground acceleration that is linear between
// its samples:
//     x'' + 2 h w x' + w^2 x = -g(t)
// x and x' relative to the ground, stepped sample to sample by the exact step of
// analysis/ExactStep.h, which is exact for such an input whatever the step's length.
#pragma once

#include <span>
#include <vector>

namespace kestrel {

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
