#include "study/SeismicIntensity.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "runtime/Catalogue.h"
#include "study/ResponseSpectrum.h"

namespace kestrel {

namespace {

// Memory FFTW aligns for its vector units; the plans below are made on such memory and
// may then run on any other such block.
struct FftwFree {
    void operator()(void* p) const { fftw_free(p); }
};
using RealBlock = std::unique_ptr<double[], FftwFree>;
using ComplexBlock = std::unique_ptr<fftw_complex[], FftwFree>;

struct TransformPlans {
    fftw_plan forward = nullptr;   // n reals -> n/2 + 1 complex
    fftw_plan backward = nullptr;  // n/2 + 1 complex -> n reals, not normalised
};

// The plans of each transform length, made once and kept for the life of the program
// (the lengths are powers of two, so there are few). FFTW_ESTIMATE picks the same
// algorithm on every run, so the numbers do not depend on timings. Running a plan is
// safe on any thread; planning is not, and other parts of the program plan transforms of
// their own under their own lock, so FFTW is first asked to lock its planner itself,
// for every caller (this runs on a thread of its own, see ComputeIndices).
TransformPlans PlansFor(std::size_t n) {
    static std::once_flag planner;
    std::call_once(planner, fftw_make_planner_thread_safe);
    static std::mutex mutex;
    // Never destroyed: the plans live as long as the process.
    static auto* const plans = new std::map<std::size_t, TransformPlans>;
    const std::lock_guard<std::mutex> lock(mutex);
    const auto it = plans->find(n);
    if (it != plans->end()) return it->second;
    RealBlock real(fftw_alloc_real(n));
    ComplexBlock spectrum(fftw_alloc_complex(n / 2 + 1));
    const int length = static_cast<int>(n);
    TransformPlans p;
    p.forward = fftw_plan_dft_r2c_1d(length, real.get(), spectrum.get(), FFTW_ESTIMATE);
    p.backward = fftw_plan_dft_c2r_1d(length, spectrum.get(), real.get(), FFTW_ESTIMATE);
    plans->emplace(n, p);
    return p;
}

std::size_t NextPowerOfTwo(std::size_t count) {
    std::size_t n = 1;
    while (n < count) n *= 2;
    return n;
}

// Each component filtered, brought back to time; the vector sum of the three.
std::vector<double> FilteredVector(std::span<const double> ns, std::span<const double> ew,
                                   std::span<const double> ud, double dt) {
    const std::size_t count = ns.size();
    const std::size_t n = NextPowerOfTwo(count);
    const TransformPlans plans = PlansFor(n);
    const std::size_t bins = n / 2 + 1;
    // The filter at k / (n dt) Hz; nothing passes at 0 Hz.
    std::vector<double> gain(bins);
    gain[0] = 0;
    const double df = 1.0 / (static_cast<double>(n) * dt);
    for (std::size_t k = 1; k < bins; ++k) {
        gain[k] = IntensityFilterGain(static_cast<double>(k) * df) / static_cast<double>(n);
    }
    RealBlock real(fftw_alloc_real(n));
    ComplexBlock spectrum(fftw_alloc_complex(bins));
    std::vector<double> sumOfSquares(count, 0.0);
    for (const std::span<const double> component : {ns, ew, ud}) {
        std::copy(component.begin(), component.end(), real.get());
        std::fill(real.get() + count, real.get() + n, 0.0);
        fftw_execute_dft_r2c(plans.forward, real.get(), spectrum.get());
        for (std::size_t k = 0; k < bins; ++k) {
            spectrum[k][0] *= gain[k];
            spectrum[k][1] *= gain[k];
        }
        fftw_execute_dft_c2r(plans.backward, spectrum.get(), real.get());
        for (std::size_t i = 0; i < count; ++i) sumOfSquares[i] += real[i] * real[i];
    }
    for (double& v : sumOfSquares) v = std::sqrt(v);
    return sumOfSquares;
}

StudyError TooLarge() {
    return StudyError{"", Tr("計測震度を計算できません。\n地震波の値が大きすぎるため、計算できる"
                             "範囲を超えました。")};
}

// floor(a / b) for b > 0.
long long FloorDivide(long long a, long long b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// units / 10^decimals written with that many decimals: (5153, 3) -> "5.153".
std::string FixedText(long long units, int decimals) {
    long long scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    const bool negative = units < 0;
    const long long magnitude = negative ? -units : units;
    std::string fraction = std::to_string(magnitude % scale);
    fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
    return (negative ? "-" : "") + std::to_string(magnitude / scale) + "." + fraction;
}

}  // namespace

double IntensityFilterGain(double f) {
    const double y = f / 10;
    const double y2 = y * y;
    // 1 + 0.694 y^2 + 0.241 y^4 + 0.0557 y^6 + 0.009664 y^8 + 0.00134 y^10 + 0.000155 y^12
    const double highCut =
        1 + y2 * (0.694 +
                  y2 * (0.241 + y2 * (0.0557 + y2 * (0.009664 + y2 * (0.00134 + y2 * 0.000155)))));
    const double r = f / 0.5;
    const double lowCut = std::sqrt(1 - std::exp(-(r * r * r)));
    return std::sqrt(1 / f) / std::sqrt(highCut) * lowCut;
}

StudyResult<SeismicIntensity> ComputeSeismicIntensity(std::span<const double> ns,
                                                      std::span<const double> ew,
                                                      std::span<const double> ud, double dt) {
    SeismicIntensity out;
    if (ew.size() != ns.size() || ud.size() != ns.size() || !(dt > 0 && std::isfinite(dt))) {
        return StudyError{"", Tr("計測震度を計算できません。\n3 成分のデータ数と時間刻みがそろって"
                                 "いません。")};
    }
    // Compared before rounding, so that a tiny step cannot make a count beyond the integers.
    const double samples = std::max(1.0, std::round(0.3 / dt));
    if (!(samples <= static_cast<double>(ns.size()))) {
        return StudyError{"", Tr("計測震度を計算できません。\n記録が 0.3 秒より短いためです。")};
    }
    out.durationSamples = static_cast<std::size_t>(samples);
    out.filteredVector = FilteredVector(ns, ew, ud, dt);
    std::vector<double> sorted = out.filteredVector;
    const auto kth = sorted.begin() + static_cast<std::ptrdiff_t>(out.durationSamples - 1);
    std::nth_element(sorted.begin(), kth, sorted.end(), std::greater<double>());
    // A value that is not finite sorts anywhere; the largest one is checked as well.
    const double largest = *std::max_element(sorted.begin(), sorted.end());
    if (!(largest <= kLargestSpectrumValue) || !(*kth <= kLargestSpectrumValue)) return TooLarge();
    for (const double v : out.filteredVector) {
        if (!std::isfinite(v)) return TooLarge();
    }
    out.a = *kth;
    if (out.a > 0) out.value = 2 * std::log10(out.a) + 0.94;
    for (std::size_t i = 0; i < out.filteredVector.size(); ++i) {
        if (out.filteredVector[i] >= out.a) out.atOrAbove.push_back(i);
    }
    return out;
}

IntensityText IntensityTexts(std::optional<double> value) {
    if (!value) return IntensityText{"—", "—", "—"};
    // Half up: floor(x + 0.5). The values here are a few units, far inside the integers.
    const long long hundredths = static_cast<long long>(std::floor(*value * 100 + 0.5));
    const long long thousandths = static_cast<long long>(std::floor(*value * 1000 + 0.5));
    const long long tenths = FloorDivide(hundredths, 10);
    // The lower bound of each class in tenths of the shown value.
    static constexpr std::pair<long long, const char*> kClasses[] = {
        {65, "7"}, {60, "6強"}, {55, "6弱"}, {50, "5強"}, {45, "5弱"},
        {35, "4"}, {25, "3"},   {15, "2"},   {5, "1"},
    };
    std::string intensityClass = "0";
    for (const auto& [from, name] : kClasses) {
        if (tenths >= from) {
            intensityClass = name;
            break;
        }
    }
    return IntensityText{FixedText(tenths, 1), FixedText(thousandths, 3), intensityClass};
}

}  // namespace kestrel
