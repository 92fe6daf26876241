// Speed of the required-strength spectra: the vector search on both cores and its one-lane
// twin, on the longest record a wave file holds.
#include "CoreBenchSupport.h"
#include "study/StrengthSpectrum.h"

namespace kestrel {
namespace {

// 100 periods from 0.05 to 5 s, mu = 1, 2, 4, 8, p = 0, h = 5 %.
[[maybe_unused]] const bool kStrength = bench::RegisterVectorAndScalar("BM_StrengthSpectrum", [] {
    StrengthTexts texts;
    texts.ductilities = "1, 2, 4, 8";
    return [ground = bench::LongRecord(),
            settings = ReadStrengthSettings(texts).value()](bool vectorised) {
        return vectorised ? ComputeStrengthSpectrum(ground, 0.01, settings)
                          : ComputeStrengthSpectrumScalar(ground, 0.01, settings);
    };
});

}  // namespace
}  // namespace kestrel
