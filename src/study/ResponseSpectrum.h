// Elastic response spectra of a ground-acceleration record by the exact step of
// ExactResponse.h (ground acceleration linear between samples, the building at rest at
// t = 0), for many periods and damping ratios at once.
#pragma once

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

// The spectra of the record (samples dt apart, cm/s^2). Periods must be > 0, dampings
// 0 <= ratio < 1, dt > 0 (as the parsers above and the wave reader guarantee). An empty
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
