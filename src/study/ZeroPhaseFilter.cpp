#include "study/ZeroPhaseFilter.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace kestrel {

namespace {

// The steady output of a section for a steady input of 1: sum(b) / sum(a).
double SteadyGain(const FilterSection& s) {
    return ((s.b0 + s.b1) + s.b2) / ((1 + s.a1) + s.a2);
}

// One pass of the two sections (transposed direct form II each), each sample through the
// first and then the second; every section starts in the steady state of the first input
// held forever. The two sections' recurrences overlap in the processor.
void Pass(const FilterCoefficients& c, std::vector<double>& x) {
    const FilterSection& s = c[0];
    const FilterSection& t = c[1];
    const std::array<double, 2> steadyS = SteadyState(s);
    const std::array<double, 2> steadyT = SteadyState(t);
    const double level = x.front();
    const double between = level * SteadyGain(s);
    double z0 = steadyS[0] * level, z1 = steadyS[1] * level;
    double w0 = steadyT[0] * between, w1 = steadyT[1] * between;
    for (double& value : x) {
        const double in = value;
        const double mid = s.b0 * in + z0;
        z0 = (s.b1 * in - s.a1 * mid) + z1;
        z1 = s.b2 * in - s.a2 * mid;
        const double out = t.b0 * mid + w0;
        w0 = (t.b1 * mid - t.a1 * out) + w1;
        w1 = t.b2 * mid - t.a2 * out;
        value = out;
    }
}

}  // namespace

FilterCoefficients ButterworthHighPass(double lowCut, double dt) {
    // The analog cut-off that the bilinear transform s = 2/dt (1 - 1/z) / (1 + 1/z) maps to
    // lowCut exactly.
    const double twoFs = 2 / dt;
    const double warped = twoFs * std::tan(std::numbers::pi * lowCut * dt);
    // The analog low-pass prototype's poles are -exp(i pi m / 8), m = -3, -1, 1, 3; the
    // high-pass's are warped / p, and 1 / p is the conjugate of p, so the same set scaled.
    // Each conjugate pair gives a section with the denominator 1 - 2 Re(z) / z + |z|^2 / z^2
    // and two of the four zeros at s = 0, which go to z = 1: (1 - 1/z)^2, scaled so that
    // the gain is the analog one.
    FilterCoefficients c;
    for (int k = 0; k < 2; ++k) {
        const int m = 2 * k + 1;
        const std::complex<double> s = -warped * std::polar(1.0, std::numbers::pi * m / 8);
        const std::complex<double> z = (twoFs + s) / (twoFs - s);
        const double gain = (twoFs * twoFs) / std::norm(twoFs - s);
        c[k] = FilterSection{gain, -2 * gain, gain, -2 * z.real(), std::norm(z)};
    }
    return c;
}

std::array<double, 2> SteadyState(const FilterSection& s) {
    // For a steady input of 1 the output is G, and each delay holds what the later taps
    // add: z1 = b2 - a2 G, z0 = b1 - a1 G + z1.
    const double g = SteadyGain(s);
    const double z1 = s.b2 - s.a2 * g;
    return {(s.b1 - s.a1 * g) + z1, z1};
}

std::vector<double> ZeroPhaseFilter(const FilterCoefficients& c, std::span<const double> x) {
    const std::size_t n = x.size();
    if (n <= kFilterEdge) return {x.begin(), x.end()};
    const std::size_t edge = kFilterEdge;
    std::vector<double> ext(n + 2 * edge);
    const double first = x.front();
    const double last = x.back();
    for (std::size_t i = 0; i < edge; ++i) {
        ext[i] = 2 * first - x[edge - i];
        ext[edge + n + i] = 2 * last - x[n - 2 - i];
    }
    std::copy(x.begin(), x.end(), ext.begin() + static_cast<std::ptrdiff_t>(edge));
    Pass(c, ext);
    std::reverse(ext.begin(), ext.end());
    Pass(c, ext);
    std::reverse(ext.begin(), ext.end());
    return {ext.begin() + static_cast<std::ptrdiff_t>(edge),
            ext.begin() + static_cast<std::ptrdiff_t>(edge + n)};
}

}  // namespace kestrel
