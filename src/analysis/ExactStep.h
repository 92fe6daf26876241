// The exact step of the one-mass model under a ground acceleration that is linear between
// two points:
//     x'' + 2 h w x' + w^2 x = -g(t)
// x and x' relative to the ground. Over a step of length dt the state (x, v) at its end is
// a linear function of the state at its start and of the ground acceleration at both ends,
// with coefficients that depend only on (w, h, dt); the step is exact for such an input,
// whatever its length. (The derivation is in docs/analysis-core.md.)
#pragma once

namespace kestrel {

// x1 = a11 x0 + a12 v0 + b11 g0 + b12 g1
// v1 = a21 x0 + a22 v0 + b21 g0 + b22 g1
struct ExactStepMatrix {
    double a11 = 0, a12 = 0, a21 = 0, a22 = 0;
    double b11 = 0, b12 = 0, b21 = 0, b22 = 0;
};

// The coefficients for a circular frequency omega > 0 (rad/s), a damping ratio -1 < h < 1
// and a step dt != 0 (s): the closed form, or where the step is short against the period
// (|omega dt| < 1) its power series, which keeps every digit there.
ExactStepMatrix ExactStepMatrixFor(double omega, double h, double dt);

}  // namespace kestrel
