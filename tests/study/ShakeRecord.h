// The record the spectra's tests shake their oscillators with.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

namespace kestrel::test {

// n samples 0.01 s apart: a slow swing dying away under a faster one that keeps on.
inline std::vector<double> ShakeRecord(std::size_t n) {
    std::vector<double> g(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double t = 0.01 * static_cast<double>(i);
        g[i] = 200 * std::sin(3.1 * t) * std::exp(-0.2 * t) + 80 * std::sin(19.0 * t + 1);
    }
    return g;
}

}  // namespace kestrel::test
