// Elastic response spectra of a ground-acceleration record by the exact step of
// analysis/ExactStep.h (ground acceleration linear between samples, the building at rest at
// t = 0), for many periods and damping ratios at once. Each oscillator is followed on
// SpectrumSubsteps equal sub-steps per sample and its peaks are taken at every sub-step
// (docs/spectra.md).
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "study/StudyInputs.h"

namespace kestrel {

// The peaks of one damping ratio over all periods, in the order of the periods.
struct SpectrumCurves {
    std::vector<double> sd;   // relative displacement, cm
    std::vector<double> sv;   // relative velocity, cm/s
    std::vector<double> sa;   // absolute acceleration, cm/s^2
    std::vector<double> psv;  // pseudo velocity w Sd, cm/s
    std::vector<double> psa;  // pseudo acceleration w^2 Sd, cm/s^2
};

struct ResponseSpectrum {
    std::vector<double> periods;         // s, as given
    std::vector<DampingItem> dampings;   // as given
    std::vector<SpectrumCurves> curves;  // one per damping, in the list's order
};

// The largest magnitude a value of the spectra may have. A record that drives a response
// beyond it (a record of values near 1e300, say) is refused as an overflow: the squares
// and sums the charts, the smoothing and the readers of the files take of such values
// would leave the range of numbers, and no ground motion comes near it.
inline constexpr double kLargestSpectrumValue = 1e150;

// The circular frequency of a period with the program's 2 pi: w = 2 pi / T.
double SpectrumOmega(double period);

// The number of equal sub-steps an oscillator of the period T is followed on between two
// samples dt apart: ceil((20 dt) / T) evaluated in double, 1 when 20 dt <= T. Every
// oscillator is thus looked at least 20 times per period. dt > 0 and T > 0.
std::size_t SpectrumSubsteps(double dt, double period);

// The most sub-steps a period may need: a period shorter than 20 dt / kMaxSpectrumSubsteps
// (dt / 50) is refused, naming the shortest period the record allows. Such a period lies
// far beyond the record's highest frequency, and following it would take the time of a
// thousand spectra.
inline constexpr std::size_t kMaxSpectrumSubsteps = 1000;

// The spectra of the record (samples dt apart, cm/s^2). Periods must be > 0, dampings
// 0 <= ratio < 1, dt > 0 (as the parsers above and the wave reader guarantee); a period that
// needs more than kMaxSpectrumSubsteps is refused naming the minimum period's box. An empty
// record gives zero spectra. A response beyond kLargestSpectrumValue (or not finite) is
// refused as an overflow (box empty): no value of the result is ever infinite or NaN. Uses both
// cores and the widest vector unit of the processor; the numbers are the same bits on every
// processor.
StudyResult<ResponseSpectrum> ComputeResponseSpectrum(std::span<const double> ground, double dt,
                                                      std::span<const double> periods,
                                                      std::span<const DampingItem> dampings);

// The same numbers one period and damping at a time, without vectors or threads: the
// reference the fast path is measured and tested against.
StudyResult<ResponseSpectrum> ComputeResponseSpectrumScalar(std::span<const double> ground,
                                                            double dt,
                                                            std::span<const double> periods,
                                                            std::span<const DampingItem> dampings);

}  // namespace kestrel
