// Response spectra: the fast path against the plain one and the single-building response,
// the limits a student relies on, and records that cannot give a spectrum.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "ShakeRecord.h"
#include "study/ExactResponse.h"
#include "study/ResponseSpectrum.h"

namespace kestrel {
namespace {

using test::ShakeRecord;

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
// classical Runge-Kutta with 40 steps per sub-step of dt / n: the peaks of |x|, |x'| and
// |x'' + g| at the sub-step points, and over every step from the time `freeFrom` on.
std::array<double, 6> PlainPeaks(const std::vector<double>& g, double dt, double period, double h,
                                 std::size_t n, double freeFrom) {
    const double w = 2 * M_PI / period;
    const int fine = 40;
    const double step = dt / static_cast<double>(n) / fine;
    auto accel = [&](double x, double v, double ground) {
        return -ground - 2 * h * w * v - w * w * x;
    };
    std::array<double, 6> peaks{};  // Sd, Sv, Sa at the points; the same in free vibration
    auto keep = [&](std::size_t at, double x, double v) {
        const double values[] = {x, v, 2 * h * w * v + w * w * x};
        for (std::size_t q = 0; q < 3; ++q)
            peaks[at + q] = std::max(peaks[at + q], std::fabs(values[q]));
    };
    double x = 0, v = 0;
    for (std::size_t i = 0; i + 1 < g.size(); ++i) {
        const double slope = (g[i + 1] - g[i]) / dt;
        for (int f = 0; f < fine * static_cast<int>(n); ++f) {
            const double t = f * step;  // within the interval
            const double g0 = g[i] + slope * t, gm = g0 + slope * step / 2, g1 = g0 + slope * step;
            const double k1x = v, k1v = accel(x, v, g0);
            const double k2x = v + step / 2 * k1v, k2v = accel(x + step / 2 * k1x, k2x, gm);
            const double k3x = v + step / 2 * k2v, k3v = accel(x + step / 2 * k2x, k3x, gm);
            const double k4x = v + step * k3v, k4v = accel(x + step * k3x, k4x, g1);
            x += step / 6 * (k1x + 2 * k2x + 2 * k3x + k4x);
            v += step / 6 * (k1v + 2 * k2v + 2 * k3v + k4v);
            if (static_cast<double>(i) * dt + t + step >= freeFrom) keep(3, x, v);
            if ((f + 1) % fine == 0) keep(0, x, v);
        }
    }
    return peaks;
}

TEST(ResponseSpectrum, ShortPeriodsAgainstAPlainLoopBetweenTheSamples) {
    // A pulse over the first 0.06 s of a record sampled at 50 Hz, then free vibration:
    // 2, 3, 5 and 9 samples per period and one long period. The sub-step points agree with
    // the plain loop; they are at most T/20 apart, so a peak of the damped swing is missed
    // by at most 1 - cos(pi/20) e^(-h pi/20), whatever the record's step.
    std::vector<double> g(300, 0.0);
    g[1] = 500;
    g[2] = -200;
    const double periods[] = {0.04, 0.06, 0.1, 0.18, 0.5};
    const std::vector<DampingItem> dampings = ParseDampingList("0, 5, 20").value();
    const auto s = ComputeResponseSpectrum(g, 0.02, periods, dampings);
    ASSERT_TRUE(s.ok());
    for (std::size_t d = 0; d < dampings.size(); ++d) {
        const double h = dampings[d].ratio;
        for (std::size_t p = 0; p < std::size(periods); ++p) {
            const auto plain =
                PlainPeaks(g, 0.02, periods[p], h, SpectrumSubsteps(0.02, periods[p]), 0.06);
            const double values[] = {s->curves[d].sd[p], s->curves[d].sv[p], s->curves[d].sa[p]};
            for (std::size_t q = 0; q < 3; ++q) {
                EXPECT_NEAR(values[q], plain[q], 1e-8 * plain[q]) << d << " " << p << " " << q;
                EXPECT_GE(values[q], std::cos(M_PI / 20) * std::exp(-h * M_PI / 20) * plain[3 + q])
                    << d << " " << p << " " << q;
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
