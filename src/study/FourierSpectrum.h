// The Fourier amplitude spectrum of a ground-acceleration record and the transfer function
// of the building, for the Fourier tab and its export.
#pragma once

#include <optional>
#include <span>
#include <string>
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
    double bandwidth = 0;      // Hz, 0 without smoothing
    double frequencyStep = 0;  // 1 / (N dt), Hz
    // With a width: whether the window reaches a neighbouring frequency at all. A width
    // below SmallestSmoothingWidth(frequencyStep) leaves `smoothed` equal to `amplitude`.
    bool smooths = false;
};

// The smallest Parzen width that smooths a spectrum of the frequency step df (Hz): the
// window's main lobe, |f| < 151 b / 140, must reach past the neighbouring frequency, so
// b > 140 df / 151. Rounded up to three significant digits; a width of at least this smooths.
double SmallestSmoothingWidth(double df);

// Why a smoothing width does nothing, or empty when the spectrum is not smoothed or the
// width smooths: "平滑化されていません：幅 0.2 Hz は振動数の刻み 0.333 Hz に対して狭すぎます
// （0.31 Hz 以上で平滑化されます）".
std::string SmoothingNote(const FourierSpectrum& spectrum);

// The spectrum of the record (samples dt apart, cm/s^2), optionally smoothed with a Parzen
// window of `bandwidth` Hz (> 0). Fewer than 2 samples give no frequencies. A value beyond
// kLargestSpectrumValue (ResponseSpectrum.h) is refused as an overflow (box empty).
StudyResult<FourierSpectrum> ComputeFourierSpectrum(std::span<const double> ground, double dt,
                                                    std::optional<double> bandwidth);

// |H(f)| of the absolute acceleration over the ground acceleration for a building of the
// undamped period T_n (s, > 0; w = 2 pi / T_n as for the spectra) and damping ratio
// (0 <= h < 1):
//     |H| = sqrt((w^4 + (2 h w W)^2) / ((w^2 - W^2)^2 + (2 h w W)^2)),  W = 2 pi f.
// An undamped building exactly at resonance has no finite value: that point is empty.
std::vector<std::optional<double>> TransferFunction(std::span<const double> frequencies,
                                                    double period, double dampingRatio);

}  // namespace kestrel
