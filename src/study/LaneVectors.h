// What the study's lane kernels share (the response spectra, the SI values and the
// required-strength spectra): vectors of four lanes, the moves between a table's columns
// and a block's vectors, and the ground acceleration at the sub-steps of a record.
#pragma once

#include <cstddef>
#include <cstring>
#include <vector>

namespace kestrel::lanes {

// A vector is four numbers, the width of the common vector unit: a wider one is split by
// the compiler on that unit, which then takes the peak comparisons apart lane by lane (the
// SI kernel was slower so than its one-lane loop).
inline constexpr std::size_t kVectorWidth = 4;
typedef double Vec __attribute__((vector_size(kVectorWidth * sizeof(double))));
typedef long long VecMask __attribute__((vector_size(kVectorWidth * sizeof(double))));

// Every bit but the sign: (Vec)((VecMask)x & kMagnitude) is |x| in every lane.
inline constexpr VecMask kMagnitude = {0x7fffffffffffffffLL, 0x7fffffffffffffffLL,
                                       0x7fffffffffffffffLL, 0x7fffffffffffffffLL};

// The block of lanes from `base` of each column: v[c][j] holds lanes base + j kVectorWidth
// onwards of columns[c].
template <std::size_t Columns, std::size_t Vectors>
inline void LoadLanes(Vec (&v)[Columns][Vectors], const std::vector<double> (&columns)[Columns],
                      std::size_t base) {
    for (std::size_t c = 0; c < Columns; ++c) {
        for (std::size_t j = 0; j < Vectors; ++j) {
            std::memcpy(&v[c][j], &columns[c][base + j * kVectorWidth], sizeof(Vec));
        }
    }
}

// The block's vectors back into the column from lane `base`.
template <std::size_t Vectors>
inline void StoreLanes(std::vector<double>& column, const Vec (&v)[Vectors], std::size_t base) {
    for (std::size_t j = 0; j < Vectors; ++j) {
        std::memcpy(&column[base + j * kVectorWidth], &v[j], sizeof(Vec));
    }
}

// The ground acceleration at the sub-step points of one sample interval: point k of n lies
// at the fraction k / n of the interval, g = (1 - k/n) g0 + (k/n) g1, the ends exact.
struct SubstepWeights {
    explicit SubstepWeights(std::size_t substeps)
        : n(substeps), after(substeps + 1), before(substeps + 1) {
        for (std::size_t k = 0; k <= n; ++k) {
            after[k] = static_cast<double>(k) / static_cast<double>(n);
            before[k] = 1 - after[k];
        }
    }
    // Point k, 0 < k <= n.
    double At(std::size_t k, double g0, double g1) const {
        return k == n ? g1 : before[k] * g0 + after[k] * g1;
    }
    std::size_t n;
    std::vector<double> after, before;
};

// Calls step(ga, gb) for each sub-step of the record in turn (n per interval of its
// `samples` samples), with the ground acceleration at its start and its end. Always inlined,
// step too: a kernel's clone for each vector unit compiles the whole loop for its unit.
template <class Step>
__attribute__((always_inline)) inline void ForEachSubstep(const double* g, std::size_t samples,
                                                          const SubstepWeights& weights,
                                                          Step&& step) {
    const std::size_t n = weights.n;
    for (std::size_t i = 0; i + 1 < samples; ++i) {
        const double g0 = g[i];
        const double g1 = g[i + 1];
        double ga = g0;
        for (std::size_t s = 1; s <= n; ++s) {
            const double gb = weights.At(s, g0, g1);
            step(ga, gb);
            ga = gb;
        }
    }
}

}  // namespace kestrel::lanes
