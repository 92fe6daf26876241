// Response spectra: the fast path against the plain one, and the properties a student
// relies on.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

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

TEST(ResponseSpectrum, VectorAndScalarPathsGiveTheSameBits) {
    const std::vector<double> g = ShakeRecord(3001);
    const std::vector<double> periods = SpectrumPeriods(PeriodRange{0.02, 10, 37}, 0.58);
    const std::vector<DampingItem> dampings = ParseDampingList("0, 2, 5").value();
    const auto fast = ComputeResponseSpectrum(g, 0.01, periods, dampings);
    const auto plain = ComputeResponseSpectrumScalar(g, 0.01, periods, dampings);
    ASSERT_TRUE(fast.ok() && plain.ok());
    for (std::size_t d = 0; d < dampings.size(); ++d) {
        EXPECT_EQ(fast->curves[d].sd, plain->curves[d].sd);
        EXPECT_EQ(fast->curves[d].sv, plain->curves[d].sv);
        EXPECT_EQ(fast->curves[d].sa, plain->curves[d].sa);
        EXPECT_EQ(fast->curves[d].psa, plain->curves[d].psa);
    }
}

}  // namespace
}  // namespace kestrel
