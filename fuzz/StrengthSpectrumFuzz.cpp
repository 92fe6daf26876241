// Arbitrary box texts and records through the strength spectra: the texts are read as the
// tab reads them; a computation must never crash, the vector search must give the bits of
// its one-lane twin, and every value of a spectrum must be finite, Cy within (0, Cy(T, 1)]
// and R >= 1 (or all zero and R = 1 for a record without motion).
//
// Input: one line per box (damping, ductilities, p, then the time step); the lines after
// those are the record (at most 300 samples). The periods are 6 from 0.02 to 4 s.
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "study/StrengthSpectrum.h"

namespace {

using namespace kestrel;
using namespace kestrel::fuzz;

bool Same(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::bit_cast<std::uint64_t>(a[i]) != std::bit_cast<std::uint64_t>(b[i])) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    StrengthTexts texts;
    texts.damping = NextLine(rest);
    texts.ductilities = NextLine(rest);
    texts.secondStiffnessRatio = NextLine(rest);
    texts.periodMin = "0.02";
    texts.periodMax = "4";
    texts.periodCount = "6";
    const double dt = LeadingNumber(NextLine(rest));
    std::vector<double> ground;
    while (!rest.empty() && ground.size() < 300) ground.push_back(LeadingNumber(NextLine(rest)));
    auto read = ReadStrengthSettings(texts);
    if (!read) return 0;
    StrengthSettings settings = std::move(read).value();
    // A few targets only: each costs a search.
    if (settings.ductilities.size() > 3) settings.ductilities.resize(3);
    if (!(dt >= 0.001 && dt <= 0.1)) return 0;
    const auto fast = ComputeStrengthSpectrum(ground, dt, settings);
    const auto plain = ComputeStrengthSpectrumScalar(ground, dt, settings);
    Require(fast.ok() == plain.ok());
    if (!fast.ok()) {
        Require(fast.error().box == plain.error().box);
        return 0;
    }
    Require(Same(fast->elasticCy, plain->elasticCy) && Same(fast->elasticVe, plain->elasticVe));
    for (std::size_t m = 0; m < fast->curves.size(); ++m) {
        const StrengthCurves& c = fast->curves[m];
        Require(Same(c.cy, plain->curves[m].cy) && Same(c.ve, plain->curves[m].ve) &&
                Same(c.r, plain->curves[m].r));
        for (std::size_t p = 0; p < c.cy.size(); ++p) {
            const double cy1 = fast->elasticCy[p];
            Require(std::isfinite(c.ve[p]) && c.ve[p] >= 0 && std::isfinite(c.r[p]));
            Require(cy1 > 0 ? c.cy[p] > 0 && c.cy[p] <= cy1 && c.r[p] >= 1
                            : c.cy[p] == 0 && c.r[p] == 1);
        }
    }
    return 0;
}
