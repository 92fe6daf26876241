// The JMA instrumental seismic intensity (計測震度) of a three-component acceleration
// record, by the agency's public definition of 1996: each component's Fourier transform
// is weighted by the period-effect, high-cut and low-cut filters, brought back to time and
// summed as a vector; a is the level that the vector reaches or exceeds for 0.3 s in all,
// and I = 2 log10(a) + 0.94.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "study/StudyInputs.h"

namespace kestrel {

// The filters' combined gain at f Hz (> 0):
//     sqrt(1 / f)                                                  period effect
//   x (1 + 0.694 y^2 + 0.241 y^4 + 0.0557 y^6 + 0.009664 y^8
//        + 0.00134 y^10 + 0.000155 y^12)^(-1/2),  y = f / 10 Hz    high cut
//   x sqrt(1 - exp(-(f / 0.5)^3))                                  low cut
double IntensityFilterGain(double f);

struct SeismicIntensity {
    // The filtered vector acceleration at each sample, cm/s^2.
    std::vector<double> filteredVector;
    // The number of samples that make 0.3 s: round(0.3 / dt), at least 1.
    std::size_t durationSamples = 0;
    // The level a (cm/s^2): the durationSamples-th largest sample of filteredVector, so
    // that the samples at or above it last 0.3 s in all. 0 for a record without motion.
    double a = 0;
    // I = 2 log10(a) + 0.94; none when a is 0.
    std::optional<double> value;
    // The samples at or above a, ascending: the 0.3 s that make the level (more when
    // samples tie with a; every sample of a record without motion).
    std::vector<std::size_t> atOrAbove;
};

// The intensity of three components of the same length, samples dt apart, cm/s^2. Each
// is zero-padded to the next power of two of samples and its term at 0 Hz set to 0. The
// record must be at least 0.3 s long (durationSamples samples); refused otherwise, and
// for a record whose values leave the range of numbers.
StudyResult<SeismicIntensity> ComputeSeismicIntensity(std::span<const double> ns,
                                                      std::span<const double> ew,
                                                      std::span<const double> ud, double dt);

// The intensity as the agency publishes it and the class that follows from it.
struct IntensityText {
    std::string shown;          // rounded half up to two decimals, then the second cut: "5.1"
    std::string threeDecimals;  // rounded half up to three decimals: "5.153"
    std::string intensityClass;  // 震度階級 of the shown value: "0" ... "4", "5弱" ... "6強", "7"
};

// The texts of I; "—" for each when there is no value (a = 0).
IntensityText IntensityTexts(std::optional<double> value);

}  // namespace kestrel
