#include "analysis/ExactStep.h"

#include <cmath>

namespace kestrel {

namespace {

// The closed form. The free vibration over one step gives the a coefficients. For the
// input g0 + r t, r = (g1 - g0) / dt, the particular solution is
// xp(t) = -g0/w^2 + 2 h r/w^3 - r t/w^2 with vp = -r/w^2; the response is xp plus the
// free vibration from (x0 - xp(0), v0 - vp(0)). Collecting the terms of g0 and g1 gives
// the b coefficients.
ExactStepMatrix ClosedForm(double omega, double h, double dt) {
    const double root = std::sqrt(1 - h * h);
    const double omegaD = omega * root;
    const double e = std::exp(-h * omega * dt);
    const double s = std::sin(omegaD * dt);
    const double c = std::cos(omegaD * dt);
    const double k = h / root;
    const double w2 = omega * omega;

    ExactStepMatrix r;
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

// The same coefficients from the power series of the step, for steps short against the
// period, where the closed form's differences of nearly equal numbers would lose digits.
// In the time tau = w t the model is y'' + 2 h y' + y = -q with q = g / w^2 linear in tau,
// so (y, y', q, q') obeys z' = M z; one step is exp(M p) with p = w dt < 1.
ExactStepMatrix PowerSeries(double omega, double h, double dt) {
    const double p = omega * dt;
    const double m[4][4] = {{0, p, 0, 0}, {-p, -(2 * h) * p, -p, 0}, {0, 0, 0, p}, {0, 0, 0, 0}};
    double e[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    double term[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    // ||M p|| < 4, so 40 terms leave a remainder below 4^40 / 40!, far under the rounding.
    for (int k = 1; k <= 40; ++k) {
        double next[4][4] = {};
        for (int i = 0; i < 4; ++i) {
            for (int j = 0; j < 4; ++j) {
                double sum = 0;
                for (int l = 0; l < 4; ++l) sum += term[i][l] * m[l][j];
                next[i][j] = sum / k;
            }
        }
        for (int i = 0; i < 4; ++i) {
            for (int j = 0; j < 4; ++j) {
                term[i][j] = next[i][j];
                e[i][j] += next[i][j];
            }
        }
    }
    // y = x, y' = v / w, q = g / w^2, q' = (g1 - g0) / (w^2 p).
    const double w2 = omega * omega;
    ExactStepMatrix r;
    r.a11 = e[0][0];
    r.a12 = e[0][1] / omega;
    r.a21 = e[1][0] * omega;
    r.a22 = e[1][1];
    r.b11 = (e[0][2] - e[0][3] / p) / w2;
    r.b12 = e[0][3] / p / w2;
    r.b21 = (e[1][2] - e[1][3] / p) / omega;
    r.b22 = e[1][3] / p / omega;
    return r;
}

}  // namespace

ExactStepMatrix ExactStepMatrixFor(double omega, double h, double dt) {
    return std::fabs(omega * dt) < 1 ? PowerSeries(omega, h, dt) : ClosedForm(omega, h, dt);
}

}  // namespace kestrel
