#include "study/ExactResponse.h"

#include <cmath>

namespace kestrel {

// The free vibration over one step gives the a coefficients. For the input g0 + r t,
// r = (g1 - g0) / dt, the particular solution is xp(t) = -g0/w^2 + 2 h r/w^3 - r t/w^2
// with vp = -r/w^2; the response is xp plus the free vibration from (x0 - xp(0),
// v0 - vp(0)). Collecting the terms of g0 and g1 gives the b coefficients.
ExactStepCoefficients ExactStep(double omega, double h, double dt) {
    const double root = std::sqrt(1 - h * h);
    const double omegaD = omega * root;
    const double e = std::exp(-h * omega * dt);
    const double s = std::sin(omegaD * dt);
    const double c = std::cos(omegaD * dt);
    const double k = h / root;
    const double w2 = omega * omega;

    ExactStepCoefficients r;
    r.a11 = e * (c + k * s);
    r.a12 = e * s / omegaD;
    r.a21 = -e * (omega / root) * s;
    r.a22 = e * (c - k * s);
    r.b12 = ((2 * h) * (1 - r.a11) / omega + (r.a12 - dt)) / (w2 * dt);
    r.b11 = -(1 - r.a11) / w2 - r.b12;
    r.b22 = -((2 * h) * r.a21 / omega + (1 - r.a22)) / (w2 * dt);
    r.b21 = r.a21 / w2 - r.b22;
    return r;
}

ResponseHistory ExactResponse(std::span<const double> ground, double dt, double omega, double h,
                              double x0, double v0) {
    ResponseHistory out;
    if (ground.empty()) return out;
    const ExactStepCoefficients k = ExactStep(omega, h, dt);
    const double minusW2 = -(omega * omega);
    const double minus2hw = -((2 * h) * omega);
    const std::size_t n = ground.size();
    out.displacement.reserve(n);
    out.velocity.reserve(n);
    out.absoluteAcceleration.reserve(n);
    double x = x0;
    double v = v0;
    for (std::size_t i = 0;; ++i) {
        const double a = minusW2 * x + minus2hw * v;
        if (!std::isfinite(x) || !std::isfinite(v) || !std::isfinite(a)) break;
        out.displacement.push_back(x);
        out.velocity.push_back(v);
        out.absoluteAcceleration.push_back(a);
        if (i + 1 == n) break;
        const double g0 = ground[i];
        const double g1 = ground[i + 1];
        const double x1 = (k.a11 * x + k.a12 * v) + (k.b11 * g0 + k.b12 * g1);
        const double v1 = (k.a21 * x + k.a22 * v) + (k.b21 * g0 + k.b22 * g1);
        x = x1;
        v = v1;
    }
    return out;
}

}  // namespace kestrel
