// The low-cut filter applied to a ground acceleration before it is integrated to velocity
// and displacement: a 4th-order Butterworth high-pass made digital by the bilinear
// transform (the cut-off frequency pre-warped), run forward and then backward over the
// record so that it shifts nothing in time. The ends are handled in the most widely
// published way for a filter of 5 + 5 coefficients, so that anyone can recompute the
// numbers with common tools: the record is extended at each end by 3 x 5 = 15 samples
// mirrored through the end sample ("odd" extension), and each pass starts from the steady
// state the filter would be in had its first input lasted forever.
//
// The filter runs as two second-order sections in a row, the same transfer function as
// the single 4th-order difference equation: at low cut-offs against the sampling rate the
// poles crowd near z = 1, where the 4th-order polynomial's rounded coefficients would move
// them (at 0.01 Hz and 1,000 samples a second far enough to make the filter unstable).
#pragma once

#include <array>
#include <span>
#include <vector>

namespace kestrel {

// y[n] = b0 x[n] + b1 x[n-1] + b2 x[n-2] - a1 y[n-1] - a2 y[n-2].
struct FilterSection {
    double b0 = 0, b1 = 0, b2 = 0;
    double a1 = 0, a2 = 0;
};

// The sections, run one after the other.
using FilterCoefficients = std::array<FilterSection, 2>;

// The samples added at each end of the record before filtering: 3 x the number of
// coefficients of the 4th-order form. A record must be longer than this to be filtered.
inline constexpr std::size_t kFilterEdge = 15;

// The high-pass of cut-off `lowCut` Hz for samples dt s apart; 0 < lowCut < 1 / (2 dt).
// Its gain at f Hz is |H|^2 = 1 / (1 + (tan(pi lowCut dt) / tan(pi f dt))^8).
FilterCoefficients ButterworthHighPass(double lowCut, double dt);

// A section's state for a steady input of 1 (the two delays of the transposed direct
// form): the state of a section that has seen that value forever.
std::array<double, 2> SteadyState(const FilterSection& s);

// The record filtered forward and backward with the ends extended as above. A record of
// kFilterEdge samples or fewer comes back unchanged.
std::vector<double> ZeroPhaseFilter(const FilterCoefficients& c, std::span<const double> x);

}  // namespace kestrel
