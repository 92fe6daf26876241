#include "study/FourierSpectrum.h"

#include <fftw3.h>

#include <cmath>
#include <complex>
#include <mutex>

#include "analysis/ProgramLimits.h"
#include "runtime/Catalogue.h"
#include "runtime/Conversions.h"
#include "study/ResponseSpectrum.h"

namespace kestrel {

namespace {

// Planning is not thread-safe in FFTW; executing a plan is.
std::mutex& PlannerMutex() {
    static std::mutex m;
    return m;
}

// |DFT| of the real samples at k = 0 .. N/2.
std::vector<double> DftMagnitudes(std::span<const double> samples) {
    const int n = static_cast<int>(samples.size());
    double* in = fftw_alloc_real(samples.size());
    fftw_complex* out = fftw_alloc_complex(samples.size() / 2 + 1);
    fftw_plan plan;
    {
        const std::lock_guard<std::mutex> lock(PlannerMutex());
        plan = fftw_plan_dft_r2c_1d(n, in, out, FFTW_ESTIMATE);
    }
    std::copy(samples.begin(), samples.end(), in);
    fftw_execute(plan);
    std::vector<double> magnitudes(samples.size() / 2 + 1);
    for (std::size_t k = 0; k < magnitudes.size(); ++k) {
        magnitudes[k] = std::hypot(out[k][0], out[k][1]);
    }
    {
        const std::lock_guard<std::mutex> lock(PlannerMutex());
        fftw_destroy_plan(plan);
    }
    fftw_free(out);
    fftw_free(in);
    return magnitudes;
}

// The frequency steps the Parzen window of bandwidth b covers on each side: its main lobe
// |f| < 2 / u, u = 280 / (151 b).
double ParzenSteps(double bandwidth, double df) {
    const double u = 280.0 / (151.0 * bandwidth);
    const double reach = 2.0 / u;
    return std::floor(reach / df);
}

// The Parzen spectral window of bandwidth b: W(f) = 3/4 u (sin(pi u f / 2) / (pi u f / 2))^4
// with u = 280 / (151 b), used over its main lobe |f| < 2 / u and normalised over the
// frequencies it covers.
std::vector<double> ParzenSmooth(const std::vector<double>& amplitude, double df,
                                 double bandwidth) {
    const double u = 280.0 / (151.0 * bandwidth);
    // Past the last frequency the window has nothing left to cover.
    const double span = std::min(ParzenSteps(bandwidth, df), static_cast<double>(amplitude.size()));
    const std::size_t m = static_cast<std::size_t>(span);
    std::vector<double> weight(m + 1);
    weight[0] = 1;
    for (std::size_t d = 1; d <= m; ++d) {
        const double z = program::kPi * u * (static_cast<double>(d) * df) / 2;
        const double r = std::sin(z) / z;
        weight[d] = (r * r) * (r * r);
    }
    const std::size_t n = amplitude.size();
    std::vector<double> smoothed(n);
    for (std::size_t k = 0; k < n; ++k) {
        double sum = weight[0] * amplitude[k];
        double total = weight[0];
        const std::size_t lo = k >= m ? m : k;
        const std::size_t hi = std::min(m, n - 1 - k);
        for (std::size_t d = 1; d <= lo; ++d) {
            sum += weight[d] * amplitude[k - d];
            total += weight[d];
        }
        for (std::size_t d = 1; d <= hi; ++d) {
            sum += weight[d] * amplitude[k + d];
            total += weight[d];
        }
        smoothed[k] = sum / total;
    }
    return smoothed;
}

}  // namespace

StudyResult<FourierSpectrum> ComputeFourierSpectrum(std::span<const double> ground, double dt,
                                                    std::optional<double> bandwidth) {
    FourierSpectrum out;
    const std::size_t n = ground.size();
    if (n < 2) return out;
    const std::vector<double> magnitudes = DftMagnitudes(ground);
    const double df = 1.0 / (static_cast<double>(n) * dt);
    for (std::size_t k = 1; k < magnitudes.size(); ++k) {
        out.frequencies.push_back(static_cast<double>(k) * df);
        out.amplitude.push_back(magnitudes[k] * dt);
    }
    out.frequencyStep = df;
    if (bandwidth && *bandwidth > 0) {
        out.bandwidth = *bandwidth;
        out.smoothed = ParzenSmooth(out.amplitude, df, *bandwidth);
        out.smooths = ParzenSteps(*bandwidth, df) >= 1 || out.amplitude.size() < 2;
    }
    for (const auto* series : {&out.amplitude, &out.smoothed}) {
        for (double value : *series) {
            if (!(std::fabs(value) <= kLargestSpectrumValue)) {
                return StudyError{"",
                                  Tr("フーリエスペクトルを計算できません。\n地震波の値が大きすぎる"
                                     "ため、計算できる範囲を超えました。")};
            }
        }
    }
    return out;
}

double SmallestSmoothingWidth(double df) {
    const double least = 140 * df / 151;
    const double unit = std::pow(10.0, std::floor(std::log10(least)) - 2);
    double width = std::ceil(least / unit * (1 - 1e-12)) * unit;
    // The window's edge falls on the neighbour exactly there, where its weight is nil.
    while (!(ParzenSteps(width, df) >= 1 && 151 * width / 140 > df)) width += unit;
    return width;
}

std::string SmoothingNote(const FourierSpectrum& spectrum) {
    if (spectrum.smoothed.empty() || spectrum.smooths) return "";
    // The step to three significant digits.
    const double df = spectrum.frequencyStep;
    const double unit = std::pow(10.0, std::floor(std::log10(df)) - 2);
    return Tr(
        "平滑化されていません：幅 {1} Hz は振動数の刻み {2} Hz に対して狭すぎます"
        "（{3} Hz 以上で平滑化されます）",
        NumberText(spectrum.bandwidth), NumberText(std::round(df / unit) * unit),
        NumberText(SmallestSmoothingWidth(spectrum.frequencyStep)));
}

std::vector<std::optional<double>> TransferFunction(std::span<const double> frequencies,
                                                    double period, double dampingRatio) {
    const double omega = program::kTwoPi / period;
    const double w2 = omega * omega;
    std::vector<std::optional<double>> out;
    out.reserve(frequencies.size());
    for (double f : frequencies) {
        const double forcing = program::kTwoPi * f;
        const double damping = (2 * dampingRatio) * omega * forcing;
        const double gap = w2 - forcing * forcing;
        const double denominator = gap * gap + damping * damping;
        const double value = std::sqrt((w2 * w2 + damping * damping) / denominator);
        if (std::isfinite(value)) {
            out.emplace_back(value);
        } else {
            out.emplace_back();
        }
    }
    return out;
}

}  // namespace kestrel
