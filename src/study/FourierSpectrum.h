// The Fourier amplitude spectrum of a ground-acceleration record and the transfer function
// of the building, for the Fourier tab and its export.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "study/StudyInputs.h"

namespace kestrel {

struct FourierSpectrum {
    // k / (N dt) for k = 1 .. N/2 (0 Hz is left out for the logarithmic axis), Hz.
    std::vector<double> frequencies;
    // |DFT of the samples| x dt at each frequency, cm/s.
    std::vector<double> amplitude;
    // The amplitude smoothed with a Parzen window of the given width; empty without one.
    std::vector<double> smoothed;
    double bandwidth = 0;  // Hz, 0 without smoothing
};

// The spectrum of the record (samples dt apart, cm/s^2), optionally smoothed with a Parzen
// window of `bandwidth` Hz (> 0). Fewer than 2 samples give no frequencies. A value beyond
// kLargestSpectrumValue (ResponseSpectrum.h) is refused as an overflow (box empty).
StudyResult<FourierSpectrum> ComputeFourierSpectrum(std::span<const double> ground, double dt,
                                                    std::optional<double> bandwidth);

// |H(f)| of the absolute acceleration over the ground acceleration for a building of the
// period T (s, > 0; w = 2 pi / T as for the spectra) and damping ratio (0 <= h < 1):
//     |H| = sqrt((w^4 + (2 h w W)^2) / ((w^2 - W^2)^2 + (2 h w W)^2)),  W = 2 pi f.
// An undamped building exactly at resonance has no finite value: that point is empty.
std::vector<std::optional<double>> TransferFunction(std::span<const double> frequencies,
                                                    double period, double dampingRatio);

}  // namespace kestrel
