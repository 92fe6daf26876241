// Housner's spectrum intensity as the Japanese codes and networks use it (SI値): the mean
// of the peak relative velocity of oscillators of 20 % damping over the periods 0.1 to
// 2.5 s,
//     SI = 1/2.4 x integral from 0.1 to 2.5 s of Sv(T, h = 0.2) dT,
// by the trapezoid rule over T = 0.10, 0.11, ..., 2.50 s. Each oscillator starts at rest
// and is stepped by the exact recurrence (analysis/ExactStep.h), the ground acceleration linear
// between samples, on the spectra's sub-steps.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "study/StudyInputs.h"

namespace kestrel {

inline constexpr double kSiDamping = 0.2;
inline constexpr std::size_t kSiPeriodCount = 241;  // 0.10, 0.11, ..., 2.50 s

// The periods of the integral, T = (10 + i) / 100 s.
std::vector<double> SiPeriods();

struct SpectrumIntensity {
    std::vector<double> periods;  // SiPeriods()
    // Sv of each horizontal component at each period, cm/s: first, and second when two
    // components were given (empty otherwise).
    std::vector<double> firstSv, secondSv;
    // The peak of the vector velocity sqrt(v1^2 + v2^2) of the two oscillators of each
    // period stepped together; empty with one component.
    std::vector<double> pairSv;
    double first = 0;   // SI of the first component, cm/s
    double second = 0;  // of the second (0 with one component)
    double pair = 0;    // of the pair (0 with one component)
};

// The SI values of one or two horizontal components (`second` empty for one) of the same
// length, samples dt apart, cm/s^2. Refused for a step that is not a positive number, for
// components of different lengths and for a response beyond kLargestSpectrumValue. Uses
// the widest vector unit of the processor; the numbers are the same bits on every one.
StudyResult<SpectrumIntensity> ComputeSpectrumIntensity(std::span<const double> first,
                                                        std::span<const double> second, double dt);

// The same numbers one oscillator at a time without vectors: the reference the fast path
// is tested against.
StudyResult<SpectrumIntensity> ComputeSpectrumIntensityScalar(std::span<const double> first,
                                                              std::span<const double> second,
                                                              double dt);

}  // namespace kestrel
