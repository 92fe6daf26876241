// Response spectra: the fast path against the plain one and the single-building response,
// the limits a student relies on, and records that cannot give a spectrum.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

TEST(ResponseSpectrum, EveryLaneIsTheResponseOfItsOwnBuildingOnEveryPath) {
    const std::vector<double> g = ShakeRecord(3001);
    const std::vector<double> periods = SpectrumPeriods(PeriodRange{0.02, 10, 37}, 0.58);
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
            const ResponseHistory r = ExactResponse(g, 0.01, w, dampings[d].ratio, 0, 0);
            ASSERT_EQ(c.sd[p], Peak(r.displacement)) << d << " " << p;
            ASSERT_EQ(c.sv[p], Peak(r.velocity));
            ASSERT_EQ(c.sa[p], Peak(r.absoluteAcceleration));
            ASSERT_EQ(c.psv[p], w * c.sd[p]);
            ASSERT_EQ(c.psa[p], (w * w) * c.sd[p]);
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
    const std::vector<double> periods = SpectrumPeriods(PeriodRange{}, std::nullopt);
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
