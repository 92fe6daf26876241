#include "study/ExactResponse.h"

#include <cmath>

#include "analysis/ExactStep.h"

namespace kestrel {

ResponseHistory ExactResponse(std::span<const double> ground, double dt, double omega, double h,
                              double x0, double v0) {
    ResponseHistory out;
    if (ground.empty()) return out;
    const ExactStepMatrix k = ExactStepMatrixFor(omega, h, dt);
    const double minusW2 = -(omega * omega);
    const double minus2hw = -((2 * h) * omega);
    const std::size_t n = ground.size();
    out.displacement.resize(n);
    out.velocity.resize(n);
    out.absoluteAcceleration.resize(n);
    double x = x0;
    double v = v0;
    std::size_t i = 0;
    for (;; ++i) {
        const double a = minusW2 * x + minus2hw * v;
        if (!std::isfinite(x) || !std::isfinite(v) || !std::isfinite(a)) break;
        out.displacement[i] = x;
        out.velocity[i] = v;
        out.absoluteAcceleration[i] = a;
        if (i + 1 == n) {
            ++i;
            break;
        }
        const double g0 = ground[i];
        const double g1 = ground[i + 1];
        const double x1 = (k.a11 * x + k.a12 * v) + (k.b11 * g0 + k.b12 * g1);
        const double v1 = (k.a21 * x + k.a22 * v) + (k.b21 * g0 + k.b22 * g1);
        x = x1;
        v = v1;
    }
    // Only the points before the first one that is not finite.
    out.displacement.resize(i);
    out.velocity.resize(i);
    out.absoluteAcceleration.resize(i);
    return out;
}

}  // namespace kestrel
