// Response spectra: the fast path against the plain one and the single-building response,
// the limits a student relies on, and records that cannot give a spectrum.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "study/ExactResponse.h"
#include "study/ResponseSpectrum.h"

namespace kestrel {
namespace {

std::vector<double> ShakeRecord(std::size_t n) {
    std::vector<double> g(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = 0.01 * static_cast<double>(i);
        g[i] = 200 * std::sin(3.1 * t) * std::exp(-0.2 * t) + 80 * std::sin(19.0 * t + 1);
    }
    return g;
}

double Peak(const std::vector<double>& v) {
    double peak = 0;
    for (double x : v) peak = std::max(peak, std::fabs(x));
    return peak;
}

// The record refined to n points per interval, the ground linear between its samples.
std::vector<double> Refined(const std::vector<double>& g, std::size_t n) {
    std::vector<double> out;
    for (std::size_t i = 0; i + 1 < g.size(); ++i) {
        out.push_back(g[i]);
        for (std::size_t k = 1; k < n; ++k) {
            const double f = static_cast<double>(k) / static_cast<double>(n);
            out.push_back((1 - f) * g[i] + f * g[i + 1]);
        }
    }
    if (!g.empty()) out.push_back(g.back());
    return out;
}

TEST(ResponseSpectrum, EveryLaneIsTheResponseOfItsOwnBuildingOnEveryPath) {
    // Periods from 10 sub-steps down to 1, so that the groups of equal sub-steps are padded
    // differently; each lane must be the exact response on its own refined record.
    const std::vector<double> g = ShakeRecord(3001);
    std::vector<double> periods = SpectrumPeriods(PeriodRange{0.02, 10, 37});
    periods.push_back(0.19);
    const std::vector<DampingItem> dampings = ParseDampingList("0, 2, 5").value();
    const auto fast = ComputeResponseSpectrum(g, 0.01, periods, dampings);
    const auto plain = ComputeResponseSpectrumScalar(g, 0.01, periods, dampings);
    ASSERT_TRUE(fast.ok() && plain.ok());
    ASSERT_EQ(fast->curves.size(), dampings.size());
    for (std::size_t d = 0; d < dampings.size(); ++d) {
        const SpectrumCurves& c = fast->curves[d];
        EXPECT_EQ(c.sd, plain->curves[d].sd);
        EXPECT_EQ(c.sv, plain->curves[d].sv);
        EXPECT_EQ(c.sa, plain->curves[d].sa);
        for (std::size_t p = 0; p < periods.size(); ++p) {
            const double w = SpectrumOmega(periods[p]);
            const std::size_t n = SpectrumSubsteps(0.01, periods[p]);
            const ResponseHistory r = ExactResponse(Refined(g, n), 0.01 / static_cast<double>(n), w,
                                                    dampings[d].ratio, 0, 0);
            ASSERT_EQ(c.sd[p], Peak(r.displacement)) << d << " " << p;
            ASSERT_EQ(c.sv[p], Peak(r.velocity));
            ASSERT_EQ(c.sa[p], Peak(r.absoluteAcceleration));
            ASSERT_EQ(c.psv[p], w * c.sd[p]);
            ASSERT_EQ(c.psa[p], (w * w) * c.sd[p]);
        }
    }
}

TEST(ResponseSpectrum, SubstepsPerSample) {
    struct Case {
        double dt, period;
        std::size_t substeps;
    };
    const Case cases[] = {
        {0.01, 10, 1},   {0.01, 0.2, 1},   {0.005, 0.1, 1},    {0.01, 0.19, 2},      {0.02, 0.3, 2},
        {0.01, 0.03, 7}, {0.01, 0.02, 10}, {0.01, 0.001, 200}, {0.01, 0.0002, 1000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SpectrumSubsteps(c.dt, c.period), c.substeps) << c.dt << " " << c.period;
    }
    // Past 1000 sub-steps the minimum period's box is named with the shortest period allowed.
    const std::vector<DampingItem> five = ParseDampingList("5").value();
    const double tooShort[] = {0.00019, 1};
    const auto refused = ComputeResponseSpectrum(ShakeRecord(50), 0.01, tooShort, five);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().box, kPeriodMinBox);
    EXPECT_NE(refused.error().message.find("0.0002 s 以上"), std::string::npos)
        << refused.error().message;
}

// The oscillator x'' + 2 h w x' + w^2 x = -g(t), g linear between samples dt apart, by
// classical Runge-Kutta with `fine` steps per sub-step of dt / n: the peaks of |x|, |x'|
// and |x'' + g| at the sub-step points and, over every fine step, of the whole motion and
// of the motion from the time `freeFrom` on.
struct PlainPeaks {
    double sd = 0, sv = 0, sa = 0;           // at the sub-step points
    double sdAll = 0, svAll = 0, saAll = 0;  // at every fine step
    double sdFree = 0, svFree = 0, saFree = 0;
};

PlainPeaks PlainLoop(const std::vector<double>& g, double dt, double period, double h,
                     std::size_t n, int fine, double freeFrom) {
    const double w = 2 * M_PI / period;
    const double step = dt / static_cast<double>(n) / fine;
    auto accel = [&](double x, double v, double ground) {
        return -ground - 2 * h * w * v - w * w * x;
    };
    PlainPeaks peaks;
    double x = 0, v = 0;
    for (std::size_t i = 0; i + 1 < g.size(); ++i) {
        const double slope = (g[i + 1] - g[i]) / dt;
        for (std::size_t k = 0; k < n; ++k) {
            for (int f = 0; f < fine; ++f) {
                const double t = (static_cast<double>(k) * fine + f) * step;  // within [i, i+1]
                const double g0 = g[i] + slope * t;
                const double gm = g[i] + slope * (t + step / 2);
                const double g1 = g[i] + slope * (t + step);
                const double k1x = v, k1v = accel(x, v, g0);
                const double k2x = v + step / 2 * k1v, k2v = accel(x + step / 2 * k1x, k2x, gm);
                const double k3x = v + step / 2 * k2v, k3v = accel(x + step / 2 * k2x, k3x, gm);
                const double k4x = v + step * k3v, k4v = accel(x + step * k3x, k4x, g1);
                x += step / 6 * (k1x + 2 * k2x + 2 * k3x + k4x);
                v += step / 6 * (k1v + 2 * k2v + 2 * k3v + k4v);
                const double a = -2 * h * w * v - w * w * x;
                peaks.sdAll = std::max(peaks.sdAll, std::fabs(x));
                peaks.svAll = std::max(peaks.svAll, std::fabs(v));
                peaks.saAll = std::max(peaks.saAll, std::fabs(a));
                if (static_cast<double>(i) * dt + t + step >= freeFrom) {
                    peaks.sdFree = std::max(peaks.sdFree, std::fabs(x));
                    peaks.svFree = std::max(peaks.svFree, std::fabs(v));
                    peaks.saFree = std::max(peaks.saFree, std::fabs(a));
                }
            }
            const double a = -2 * h * w * v - w * w * x;
            peaks.sd = std::max(peaks.sd, std::fabs(x));
            peaks.sv = std::max(peaks.sv, std::fabs(v));
            peaks.sa = std::max(peaks.sa, std::fabs(a));
        }
    }
    return peaks;
}

TEST(ResponseSpectrum, ShortPeriodsAgainstAPlainLoopBetweenTheSamples) {
    // Records sampled at 50 Hz: 2, 3, 5 and 9 steps per period and one long period.
    // A shaking near the short periods: the sub-step points agree with the plain loop. A
    // pulse over the first 0.06 s and then free vibration at the oscillator's own period: the
    // points are at most T/20 apart, so a peak of the damped swing is missed by at most
    // 1 - cos(pi/20) e^(-h pi/20), whatever the record's step.
    struct Record {
        const char* name;
        std::vector<double> g;
        double freeFrom;  // s; the whole record is forced when beyond it
    };
    Record records[] = {{"shaking", std::vector<double>(300), 1e9},
                        {"pulse", std::vector<double>(300, 0.0), 0.06}};
    for (std::size_t i = 0; i < 300; ++i) {
        const double t = 0.02 * static_cast<double>(i);
        records[0].g[i] =
            300 * std::sin(2 * M_PI * 21 * t) * std::exp(-t) + 150 * std::sin(2 * M_PI * 8 * t);
    }
    records[1].g[1] = 500;
    records[1].g[2] = -200;
    const double periods[] = {0.04, 0.06, 0.1, 0.18, 0.5};
    const std::vector<DampingItem> dampings = ParseDampingList("0, 5, 20").value();
    for (const Record& r : records) {
        const auto s = ComputeResponseSpectrum(r.g, 0.02, periods, dampings);
        ASSERT_TRUE(s.ok());
        for (std::size_t d = 0; d < dampings.size(); ++d) {
            const double h = dampings[d].ratio;
            for (std::size_t p = 0; p < std::size(periods); ++p) {
                const PlainPeaks plain = PlainLoop(
                    r.g, 0.02, periods[p], h, SpectrumSubsteps(0.02, periods[p]), 40, r.freeFrom);
                const SpectrumCurves& c = s->curves[d];
                const std::pair<double, double> pairs[] = {
                    {c.sd[p], plain.sd}, {c.sv[p], plain.sv}, {c.sa[p], plain.sa}};
                for (const auto& [value, expected] : pairs) {
                    EXPECT_NEAR(value, expected, 1e-8 * expected) << r.name << " " << d << " " << p;
                }
                const double reach = std::cos(M_PI / 20) * std::exp(-h * M_PI / 20);
                const double swings[][3] = {{c.sd[p], plain.sdFree, plain.sdAll},
                                            {c.sv[p], plain.svFree, plain.svAll},
                                            {c.sa[p], plain.saFree, plain.saAll}};
                for (const auto& [value, free, whole] : swings) {
                    EXPECT_GE(value, reach * free) << r.name << " " << d << " " << p;
                    EXPECT_LE(value, whole * (1 + 1e-8)) << r.name << " " << d << " " << p;
                }
            }
        }
    }
}

TEST(ResponseSpectrum, ShortPeriodsFollowTheGroundAndLongOnesStayPut) {
    // The shaking starts from nothing, so that even an undamped building is not set
    // swinging at t = 0.
    std::vector<double> g = ShakeRecord(2001);
    for (std::size_t i = 0; i < g.size(); ++i) g[i] *= 1 - std::exp(-0.01 * static_cast<double>(i));
    // The ground's displacement, integrated from rest with the acceleration linear
    // between samples.
    double velocity = 0, displacement = 0, peakDisplacement = 0;
    for (std::size_t i = 0; i + 1 < g.size(); ++i) {
        displacement += 0.01 * velocity + 0.01 * 0.01 * (2 * g[i] + g[i + 1]) / 6;
        velocity += 0.01 * (g[i] + g[i + 1]) / 2;
        peakDisplacement = std::max(peakDisplacement, std::fabs(displacement));
    }
    const double periods[] = {0.001, 1e6};
    const std::vector<DampingItem> dampings = ParseDampingList("0 5 20").value();
    const auto s = ComputeResponseSpectrum(g, 0.01, periods, dampings);
    ASSERT_TRUE(s.ok());
    for (const SpectrumCurves& c : s->curves) {
        EXPECT_NEAR(c.sa[0], Peak(g), 1e-3 * Peak(g));
        EXPECT_NEAR(c.psa[0], Peak(g), 1e-3 * Peak(g));
        EXPECT_NEAR(c.sd[1], peakDisplacement, 1e-3 * peakDisplacement);
    }
}

TEST(ResponseSpectrum, QuietAndImpossibleRecords) {
    const std::vector<double> periods = SpectrumPeriods(PeriodRange{});
    const std::vector<DampingItem> dampings = ParseDampingList("0, 5").value();
    for (const std::vector<double>& quiet :
         {std::vector<double>(500, 0.0), std::vector<double>{}, std::vector<double>{7.0}}) {
        const auto s = ComputeResponseSpectrum(quiet, 0.01, periods, dampings);
        ASSERT_TRUE(s.ok());
        for (const SpectrumCurves& c : s->curves) {
            for (const auto* q : {&c.sd, &c.sv, &c.sa, &c.psv, &c.psa}) {
                EXPECT_EQ(Peak(*q), 0.0);
                EXPECT_EQ(q->size(), periods.size());
            }
        }
    }
    const double impossible[] = {1e-200};
    EXPECT_FALSE(ComputeResponseSpectrum(std::vector<double>(9, 0.0), 0.01, impossible, dampings));
    EXPECT_FALSE(ComputeResponseSpectrum(std::vector<double>(9, 0.0), 0, periods, dampings));
    for (const double size : {1e300, 1.7e308}) {
        std::vector<double> huge = ShakeRecord(1000);
        for (double& x : huge) x *= size / 300;
        for (const auto& s : {ComputeResponseSpectrum(huge, 0.01, periods, dampings),
                              ComputeResponseSpectrumScalar(huge, 0.01, periods, dampings)}) {
            ASSERT_FALSE(s.ok()) << size;
            EXPECT_EQ(s.error().box, "");
            EXPECT_NE(s.error().message.find("大きすぎる"), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace kestrel
