// The ground-motion indices against computations of their own: the intensity's filters by
// their formulas and by a slow transform, the published rounding, the low-cut filter by its
// magnitude response and a direct-form filter, the SI value by Runge-Kutta oscillators,
// and Arias, D5-95 and CAV by closed forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "study/GroundMotionIndices.h"
#include "study/ResponseSpectrum.h"
#include "study/ZeroPhaseFilter.h"

namespace kestrel {
namespace {

constexpr double kPi = std::numbers::pi;

// A shaking over several frequencies that grows and dies away.
std::vector<double> Shake(std::size_t n, double dt, double phase) {
    std::vector<double> g(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = dt * static_cast<double>(i);
        g[i] = t * std::exp(-t / 2) *
                   (150 * std::sin(4.1 * t + phase) + 90 * std::sin(13.3 * t + 2 * phase) +
                    40 * std::cos(37.0 * t)) +
               3;
    }
    return g;
}

// The JMA filters written out from their definition.
double JmaGain(double f) {
    const double y = f / 10;
    const double p = 1 + 0.694 * std::pow(y, 2) + 0.241 * std::pow(y, 4) + 0.0557 * std::pow(y, 6) +
                     0.009664 * std::pow(y, 8) + 0.00134 * std::pow(y, 10) +
                     0.000155 * std::pow(y, 12);
    return std::sqrt(1 / f) / std::sqrt(p) * std::sqrt(1 - std::exp(-std::pow(f / 0.5, 3)));
}

TEST(SeismicIntensity, ARotatingSineAtABinIsFilteredByTheGainAtItsFrequency) {
    // NS = A cos, EW = A sin at a frequency of the transform: the filtered vector is
    // A x gain at every sample, so a is that, whatever the 0.3 s rule counts.
    const double dt = 1.0 / 128;  // 1024 samples, 8 s: bins 1/8 Hz apart
    for (const std::size_t bin : {2u, 8u, 32u, 96u}) {
        const double f = static_cast<double>(bin) / 8;
        const double amplitude = 100 / JmaGain(f);  // a = 100: I = 4.94
        std::vector<double> ns(1024), ew(1024), ud(1024, 0.0);
        for (std::size_t i = 0; i < ns.size(); ++i) {
            const double angle = 2 * kPi * static_cast<double>(bin * i) / 1024;
            ns[i] = amplitude * std::cos(angle);
            ew[i] = amplitude * std::sin(angle);
        }
        const auto s = ComputeSeismicIntensity(ns, ew, ud, dt);
        ASSERT_TRUE(s.ok()) << s.error().message;
        EXPECT_EQ(s->durationSamples, 38u);  // round(0.3 x 128)
        EXPECT_NEAR(s->a, 100, 1e-9) << f;
        EXPECT_NEAR(IntensityFilterGain(f), JmaGain(f), 1e-14) << f;
        ASSERT_TRUE(s->value.has_value());
        EXPECT_NEAR(*s->value, 4.94, 1e-10);
        EXPECT_EQ(s->filteredVector.size(), 1024u);
    }
}

TEST(SeismicIntensity, AnyRecordMatchesASlowTransformOfItsZeroPaddedComponents) {
    const double dt = 0.01;
    const std::size_t count = 300, n = 512;  // padded to the next power of two
    const std::vector<double> c[3] = {Shake(count, dt, 0), Shake(count, dt, 1),
                                      Shake(count, dt, 2)};
    std::vector<double> sum(count, 0.0);
    for (const auto& x : c) {
        std::vector<double> filtered(count, 0.0);
        for (std::size_t k = 1; k <= n / 2; ++k) {
            std::complex<double> bin = 0;
            for (std::size_t i = 0; i < count; ++i) {
                bin += x[i] * std::polar(1.0, -2 * kPi * static_cast<double>(k * i) / n);
            }
            bin *= JmaGain(static_cast<double>(k) / (n * dt));
            const double weight = k == n / 2 ? 1.0 : 2.0;  // the conjugate half
            for (std::size_t i = 0; i < count; ++i) {
                filtered[i] +=
                    weight *
                    (bin * std::polar(1.0, 2 * kPi * static_cast<double>(k * i) / n)).real() / n;
            }
        }
        for (std::size_t i = 0; i < count; ++i) sum[i] += filtered[i] * filtered[i];
    }
    for (double& v : sum) v = std::sqrt(v);
    std::vector<double> sorted = sum;
    std::sort(sorted.rbegin(), sorted.rend());
    const auto s = ComputeSeismicIntensity(c[0], c[1], c[2], dt);
    ASSERT_TRUE(s.ok());
    EXPECT_EQ(s->durationSamples, 30u);
    EXPECT_NEAR(s->a, sorted[29], 1e-9 * sorted[29]);
    for (std::size_t i = 0; i < count; ++i)
        ASSERT_NEAR(s->filteredVector[i], sum[i], 1e-9 * sorted[0]);
    EXPECT_NEAR(*s->value, 2 * std::log10(sorted[29]) + 0.94, 1e-9);
    ASSERT_EQ(s->atOrAbove.size(), 30u);  // no ties in this record
    for (const std::size_t i : s->atOrAbove) EXPECT_GE(s->filteredVector[i], s->a);

    // A record without motion has no intensity; one shorter than 0.3 s none either.
    const std::vector<double> still(300, 0.0);
    const auto none = ComputeSeismicIntensity(still, still, still, dt);
    ASSERT_TRUE(none.ok());
    EXPECT_EQ(none->a, 0);
    EXPECT_FALSE(none->value.has_value());
    const std::vector<double> brief(29, 1.0);
    EXPECT_FALSE(ComputeSeismicIntensity(brief, brief, brief, dt).ok());
}

TEST(SeismicIntensity, PublishedFormRoundsHalfUpThenCutsAndGivesTheClass) {
    struct Case {
        std::optional<double> value;
        const char* shown;
        const char* three;
        const char* intensityClass;
    };
    const Case cases[] = {
        {5.1534, "5.1", "5.153", "5強"},     {5.19499999, "5.1", "5.195", "5強"},
        {5.19500001, "5.2", "5.195", "5強"}, {4.49499999, "4.4", "4.495", "4"},
        {4.49500001, "4.5", "4.495", "5弱"}, {0.49, "0.4", "0.490", "0"},
        {0.5, "0.5", "0.500", "1"},          {1.5, "1.5", "1.500", "2"},
        {2.5, "2.5", "2.500", "3"},          {3.5, "3.5", "3.500", "4"},
        {4.99, "4.9", "4.990", "5弱"},       {5.0, "5.0", "5.000", "5強"},
        {5.5, "5.5", "5.500", "6弱"},        {6.0, "6.0", "6.000", "6強"},
        {6.4999, "6.5", "6.500", "7"},       {7.3, "7.3", "7.300", "7"},
        {-0.3, "-0.3", "-0.300", "0"},       {-0.01, "-0.1", "-0.010", "0"},
        {std::nullopt, "—", "—", "—"},
    };
    for (const Case& c : cases) {
        const IntensityText t = IntensityTexts(c.value);
        EXPECT_EQ(t.shown, c.shown) << c.value.value_or(-99);
        EXPECT_EQ(t.threeDecimals, c.three) << c.value.value_or(-99);
        EXPECT_EQ(t.intensityClass, c.intensityClass) << c.value.value_or(-99);
    }
}

// |H(f)|^2 of the filter from its sections, the numerators in their factored form.
double SquaredGain(const FilterCoefficients& c, double f, double dt) {
    const std::complex<double> zInv = std::polar(1.0, -2 * kPi * f * dt);
    double gain = 1;
    for (const FilterSection& s : c) {
        const std::complex<double> zero = 1.0 - zInv;
        const std::complex<double> b = s.b0 * zero * zero;
        const std::complex<double> a = 1.0 + s.a1 * zInv + s.a2 * zInv * zInv;
        gain *= std::norm(b / a);
    }
    return gain;
}

TEST(ZeroPhaseFilter, ButterworthMagnitudeAndTheDoublePassGain) {
    for (const auto& [lowCut, dt] : {std::pair{0.1, 0.01}, std::pair{1.0, 0.005},
                                     std::pair{0.05, 0.02}, std::pair{0.01, 0.005}}) {
        const FilterCoefficients c = ButterworthHighPass(lowCut, dt);
        for (const FilterSection& s : c) EXPECT_TRUE(s.b1 == -2 * s.b0 && s.b2 == s.b0);
        for (const double ratio : {0.25, 0.5, 1.0, 2.0, 10.0, 20.0}) {
            const double f = lowCut * ratio;
            const double r = std::tan(kPi * lowCut * dt) / std::tan(kPi * f * dt);
            const double expected = 1 / (1 + std::pow(r, 8));
            ASSERT_NEAR(SquaredGain(c, f, dt), expected, 1e-7 * expected) << lowCut << " " << f;
        }
    }
    // Forward and back: a long sine comes out scaled by |H|^2 and not shifted, away from
    // the ends.
    const double dt = 0.01, lowCut = 0.1;
    const FilterCoefficients c = ButterworthHighPass(lowCut, dt);
    for (const double ratio : {0.7, 1.0, 1.5, 3.0}) {
        const double f = lowCut * ratio;
        std::vector<double> x(40000);
        for (std::size_t i = 0; i < x.size(); ++i) {
            x[i] = 100 * std::sin(2 * kPi * f * dt * static_cast<double>(i) + 0.3);
        }
        const std::vector<double> y = ZeroPhaseFilter(c, x);
        const double gain = SquaredGain(c, f, dt);
        for (std::size_t i = 15000; i < 25000; ++i) ASSERT_NEAR(y[i], gain * x[i], 1e-3) << ratio;
    }
}

TEST(ZeroPhaseFilter, MatchesADirectFormFilterOfTheOddlyExtendedRecord) {
    // The reference: each section's difference equation itself over the record extended
    // by 15 samples mirrored through each end, the past before the first sample taken as
    // that sample held forever (so a section's output there is sum(b)/sum(a) times its
    // input).
    const double dt = 0.01;
    const FilterCoefficients c = ButterworthHighPass(0.3, dt);
    const auto pass = [&c](std::vector<double> x) {
        for (const FilterSection& s : c) {
            const double b[3] = {s.b0, s.b1, s.b2}, a[3] = {1, s.a1, s.a2};
            const double held = x.front(),
                         heldOut = held * (b[0] + b[1] + b[2]) / (1 + a[1] + a[2]);
            std::vector<double> y(x.size());
            for (std::size_t n = 0; n < x.size(); ++n) {
                double v = 0;
                for (std::size_t i = 0; i < 3; ++i) v += b[i] * (n >= i ? x[n - i] : held);
                for (std::size_t i = 1; i < 3; ++i) v -= a[i] * (n >= i ? y[n - i] : heldOut);
                y[n] = v;
            }
            x = y;
        }
        return x;
    };
    for (const std::size_t count : {16u, 40u, 700u}) {
        const std::vector<double> x = Shake(count, dt, 0.4);
        std::vector<double> ext;
        for (std::size_t i = 15; i >= 1; --i) ext.push_back(2 * x.front() - x[i]);
        ext.insert(ext.end(), x.begin(), x.end());
        for (std::size_t i = 1; i <= 15; ++i) ext.push_back(2 * x.back() - x[count - 1 - i]);
        std::vector<double> y = pass(ext);
        std::reverse(y.begin(), y.end());
        y = pass(y);
        std::reverse(y.begin(), y.end());
        const std::vector<double> got = ZeroPhaseFilter(c, x);
        ASSERT_EQ(got.size(), count);
        double peak = 0;
        for (double v : y) peak = std::max(peak, std::fabs(v));
        for (std::size_t i = 0; i < count; ++i) {
            ASSERT_NEAR(got[i], y[i + 15], 1e-12 * peak) << count << " " << i;
        }
    }
}

// Sv of one oscillator (h = 0.2, rest at t = 0, ground linear between samples) by RK4 on
// `fine` steps per sub-step, peaks taken at the sub-step points only.
struct PeakVelocities {
    double first = 0, second = 0, pair = 0;
};
PeakVelocities RungeKuttaPeaks(const std::vector<double>& g1, const std::vector<double>& g2,
                               double dt, double period, int substeps) {
    const double w = 2 * kPi / period, h = 0.2;
    const int fine = 16;
    const double step = dt / (substeps * fine);
    double x[2] = {0, 0}, v[2] = {0, 0};
    PeakVelocities p;
    for (std::size_t i = 0; i + 1 < g1.size(); ++i) {
        for (int s = 0; s < substeps * fine; ++s) {
            for (int c = 0; c < 2; ++c) {
                const auto& g = c == 0 ? g1 : g2;
                const auto ground = [&](double tau) { return g[i] + (g[i + 1] - g[i]) * tau / dt; };
                const double t0 = s * step;
                const auto acc = [&](double t, double xx, double vv) {
                    return -ground(t) - 2 * h * w * vv - w * w * xx;
                };
                const double k1x = v[c], k1v = acc(t0, x[c], v[c]);
                const double k2x = v[c] + step / 2 * k1v,
                             k2v = acc(t0 + step / 2, x[c] + step / 2 * k1x, k2x);
                const double k3x = v[c] + step / 2 * k2v,
                             k3v = acc(t0 + step / 2, x[c] + step / 2 * k2x, k3x);
                const double k4x = v[c] + step * k3v, k4v = acc(t0 + step, x[c] + step * k3x, k4x);
                x[c] += step / 6 * (k1x + 2 * k2x + 2 * k3x + k4x);
                v[c] += step / 6 * (k1v + 2 * k2v + 2 * k3v + k4v);
            }
            if ((s + 1) % fine == 0) {
                p.first = std::max(p.first, std::fabs(v[0]));
                p.second = std::max(p.second, std::fabs(v[1]));
                p.pair = std::max(p.pair, std::hypot(v[0], v[1]));
            }
        }
    }
    return p;
}

TEST(SpectrumIntensity, SubstepsFastAndPlainPathsAndRungeKutta) {
    struct Rule {
        double dt, period;
        int substeps;
    };
    for (const Rule& r : {Rule{0.01, 0.2, 1}, Rule{0.01, 0.1, 2}, Rule{0.01, 0.19, 2},
                          Rule{0.02, 0.1, 4}, Rule{0.005, 0.1, 1}, Rule{0.02, 0.39, 2}}) {
        EXPECT_EQ(SpectrumSubsteps(r.dt, r.period), static_cast<std::size_t>(r.substeps))
            << r.dt << " " << r.period;
    }
    const std::vector<double> periods = SiPeriods();
    ASSERT_EQ(periods.size(), kSiPeriodCount);
    EXPECT_EQ(periods.front(), 0.1);
    EXPECT_EQ(periods.back(), 2.5);

    const double dt = 0.02;  // sub-steps of 4, 3 and 2 below T = 0.4 s
    const std::vector<double> a = Shake(200, dt, 0), b = Shake(200, dt, 1.3);
    const auto fast = ComputeSpectrumIntensity(a, b, dt);
    const auto plain = ComputeSpectrumIntensityScalar(a, b, dt);
    const auto single = ComputeSpectrumIntensity(a, {}, dt);
    ASSERT_TRUE(fast.ok() && plain.ok() && single.ok());
    EXPECT_EQ(fast->firstSv, plain->firstSv);
    EXPECT_EQ(fast->secondSv, plain->secondSv);
    EXPECT_EQ(fast->pairSv, plain->pairSv);
    EXPECT_EQ(single->firstSv, fast->firstSv);
    EXPECT_TRUE(single->pairSv.empty());
    // Each component's Sv is the response spectrum's at h = 20 %, bit for bit.
    const std::vector<DampingItem> si{DampingItem{"20", kSiDamping}};
    const auto spectrum = ComputeResponseSpectrumScalar(a, dt, periods, si);
    ASSERT_TRUE(spectrum.ok());
    EXPECT_EQ(fast->firstSv, spectrum->curves[0].sv);

    PeakVelocities integral;
    std::vector<PeakVelocities> rk(periods.size());
    for (std::size_t p = 0; p < periods.size(); ++p) {
        rk[p] = RungeKuttaPeaks(a, b, dt, periods[p],
                                static_cast<int>(SpectrumSubsteps(dt, periods[p])));
        ASSERT_NEAR(fast->firstSv[p], rk[p].first, 1e-6 * rk[p].first) << periods[p];
        ASSERT_NEAR(fast->pairSv[p], rk[p].pair, 1e-6 * rk[p].pair) << periods[p];
    }
    for (std::size_t p = 0; p + 1 < periods.size(); ++p) {
        integral.first += (rk[p].first + rk[p + 1].first) / 2 * 0.01 / 2.4;
        integral.second += (rk[p].second + rk[p + 1].second) / 2 * 0.01 / 2.4;
        integral.pair += (rk[p].pair + rk[p + 1].pair) / 2 * 0.01 / 2.4;
    }
    EXPECT_NEAR(fast->first, integral.first, 1e-6 * integral.first);
    EXPECT_NEAR(fast->second, integral.second, 1e-6 * integral.second);
    EXPECT_NEAR(fast->pair, integral.pair, 1e-6 * integral.pair);
    EXPECT_FALSE(ComputeSpectrumIntensity(a, std::vector<double>(199), dt).ok());
    EXPECT_FALSE(ComputeSpectrumIntensity(a, b, 6.0).ok());
}

TEST(GroundMotionIndices, AriasDurationAndCavOfRecordsWithClosedForms) {
    // n samples of magnitude A: integral of a^2 is A^2 (n - 1) dt, the Husid curve a
    // straight line, so D5-95 = 0.9 (n - 1) dt.
    const double dt = 0.01, amplitude = 250;
    const std::size_t n = 2001;
    const double length = (n - 1) * dt;
    std::vector<double> constant(n, amplitude), alternating(n), still(n, 0.0);
    for (std::size_t i = 0; i < n; ++i) alternating[i] = i % 2 ? -amplitude : amplitude;
    for (const auto* record : {&constant, &alternating}) {
        const IndexComponent c{"NS", true, *record};
        const auto r = ComputeIndices({&c, 1}, dt, {});
        ASSERT_TRUE(r.ok()) << r.error().message;
        const ComponentIndices& m = r->components[0];
        EXPECT_NEAR(m.arias, kPi / (2 * 9.80665) * std::pow(amplitude / 100, 2) * length, 1e-9);
        EXPECT_NEAR(*m.t5, 0.05 * length, 1e-9);
        EXPECT_NEAR(*m.t95, 0.95 * length, 1e-9);
        EXPECT_NEAR(*m.significantDuration, 0.9 * length, 1e-9);
        EXPECT_NEAR(m.cav, amplitude * length, 1e-9);
        EXPECT_EQ(m.pga, amplitude);
        EXPECT_EQ(m.husid.back(), 1);
    }
    const IndexComponent c{"NS", true, still};
    const auto r = ComputeIndices({&c, 1}, dt, {});
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->components[0].arias, 0);
    EXPECT_FALSE(r->components[0].significantDuration.has_value());
    EXPECT_EQ(r->components[0].pgv, 0);
}

TEST(GroundMotionIndices, ThreeComponentsAssembleEveryMeasure) {
    const double dt = 0.01;
    const std::vector<double> ns = Shake(1500, dt, 0), ew = Shake(1500, dt, 1),
                              ud = Shake(1500, dt, 2);
    const IndexComponent c[3] = {{"NS", true, ns}, {"EW", true, ew}, {"UD", false, ud}};
    const auto r = ComputeIndices(c, dt, {0.2});
    ASSERT_TRUE(r.ok()) << r.error().message;
    ASSERT_TRUE(r->intensity && r->vector && r->horizontalSi);
    EXPECT_TRUE(r->threeComponentReason.empty() && r->pairReason.empty());
    EXPECT_EQ(r->intensity->a, ComputeSeismicIntensity(ns, ew, ud, dt)->a);
    const auto si = ComputeSpectrumIntensityScalar(ns, ew, dt);
    EXPECT_EQ(*r->horizontalSi, si->pair);
    EXPECT_EQ(*r->components[1].si, si->second);
    EXPECT_FALSE(r->components[2].si.has_value());
    // PGV and PGD: the mean removed, filtered, then integrated by the trapezoid rule here.
    const FilterCoefficients f = ButterworthHighPass(0.2, dt);
    double vectorPga = 0, vectorPgv = 0;
    std::vector<std::vector<double>> velocity;
    for (const auto* x : {&ns, &ew, &ud}) {
        double mean = 0;
        for (double v : *x) mean += v / x->size();
        std::vector<double> centred;
        for (double v : *x) centred.push_back(v - mean);
        const std::vector<double> filtered = ZeroPhaseFilter(f, centred);
        std::vector<double> vel(1, 0.0), disp(1, 0.0);
        for (std::size_t i = 1; i < filtered.size(); ++i) {
            vel.push_back(vel.back() + dt * (filtered[i - 1] + filtered[i]) / 2);
            disp.push_back(disp.back() + dt * (vel[i - 1] + vel[i]) / 2);
        }
        const ComponentIndices& m = r->components[velocity.size()];
        double pgv = 0, pgd = 0;
        for (std::size_t i = 0; i < vel.size(); ++i) {
            pgv = std::max(pgv, std::fabs(vel[i]));
            pgd = std::max(pgd, std::fabs(disp[i]));
        }
        EXPECT_NEAR(m.pgv, pgv, 1e-9 * pgv);
        EXPECT_NEAR(m.pgd, pgd, 1e-9 * pgd);
        velocity.push_back(vel);
    }
    for (std::size_t i = 0; i < ns.size(); ++i) {
        vectorPga = std::max(vectorPga, std::sqrt(ns[i] * ns[i] + ew[i] * ew[i] + ud[i] * ud[i]));
        vectorPgv = std::max(vectorPgv,
                             std::sqrt(std::pow(velocity[0][i], 2) + std::pow(velocity[1][i], 2) +
                                       std::pow(velocity[2][i], 2)));
    }
    EXPECT_EQ(r->vector->pga, vectorPga);
    EXPECT_NEAR(r->vector->pgv, vectorPgv, 1e-9 * vectorPgv);
}

TEST(GroundMotionIndices, RefusalsAndMissingComponents) {
    const double dt = 0.01;
    const std::vector<double> g = Shake(500, dt, 0), shorter = Shake(499, dt, 0),
                              tiny = Shake(15, dt, 0);
    const IndexComponent one{"NS", true, g};
    struct Case {
        std::vector<IndexComponent> components;
        double dt, lowCut;
        const char* box;  // nullptr: computed
    };
    const Case cases[] = {
        {{}, dt, 0.1, ""},
        {{one, one, one, one}, dt, 0.1, ""},
        {{one, {"EW", true, shorter}}, dt, 0.1, ""},
        {{{"NS", true, tiny}}, dt, 0.1, ""},
        {{one}, 0, 0.1, ""},
        {{one}, dt, 0, "lowCut"},
        {{one}, dt, 50, "lowCut"},  // the Nyquist frequency
        {{one}, dt, 49.9, nullptr},
        {{one, {"UD", false, g}}, dt, 0.1, nullptr},
    };
    for (const Case& c : cases) {
        const auto r = ComputeIndices(c.components, c.dt, {c.lowCut});
        ASSERT_EQ(r.ok(), c.box == nullptr) << c.components.size() << " " << c.lowCut;
        if (c.box) {
            EXPECT_EQ(r.error().box, c.box);
            continue;
        }
        EXPECT_FALSE(r->intensity || r->vector || r->horizontalSi);
        EXPECT_FALSE(r->threeComponentReason.empty() || r->pairReason.empty());
        EXPECT_TRUE(r->components[0].si.has_value());
    }
    EXPECT_EQ(ParseLowCut(" 0.05 ").value(), 0.05);
    EXPECT_EQ(ParseLowCut("０．２").value(), 0.2);
    for (const char* bad : {"", "0", "-1", "abc", "1e999"}) {
        EXPECT_EQ(ParseLowCut(bad).error().box, kLowCutBox) << bad;
    }
}

}  // namespace
}  // namespace kestrel
