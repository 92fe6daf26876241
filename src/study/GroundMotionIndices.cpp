#include "study/GroundMotionIndices.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <system_error>
#include <thread>

#include "runtime/Catalogue.h"
#include "runtime/Conversions.h"
#include "study/ResponseSpectrum.h"
#include "study/ZeroPhaseFilter.h"

namespace kestrel {

namespace {

StudyError Refusal(const std::string& why, std::string_view box = {}) {
    return StudyError{std::string(box), Tr("地震動の指標を計算できません。\n{1}", why)};
}

// The running trapezoid integral from 0 at the first sample.
std::vector<double> Integrated(const std::vector<double>& rate, double dt) {
    std::vector<double> out(rate.size(), 0.0);
    for (std::size_t i = 1; i < rate.size(); ++i) {
        out[i] = out[i - 1] + (rate[i - 1] + rate[i]) * dt / 2;
    }
    return out;
}

double PeakMagnitude(std::span<const double> series) {
    double peak = 0;
    for (const double v : series) peak = std::max(peak, std::fabs(v));
    return peak;
}

// The time at which the rising curve (samples dt apart, from 0) first reaches `level`,
// interpolated linearly between the samples around it.
double CrossingTime(const std::vector<double>& curve, double level, double dt) {
    for (std::size_t i = 1; i < curve.size(); ++i) {
        if (curve[i] >= level) {
            const double part = (level - curve[i - 1]) / (curve[i] - curve[i - 1]);
            return (static_cast<double>(i - 1) + part) * dt;
        }
    }
    return static_cast<double>(curve.size() - 1) * dt;
}

ComponentIndices ComponentMeasures(const IndexComponent& c, double dt,
                                   const FilterCoefficients& highPass) {
    ComponentIndices out;
    out.name = c.name;
    out.horizontal = c.horizontal;
    const std::span<const double> a = c.acceleration;
    const std::size_t n = a.size();
    out.pga = PeakMagnitude(a);

    double sum = 0;
    for (const double v : a) sum += v;
    const double mean = sum / static_cast<double>(n);
    std::vector<double> centred(n);
    for (std::size_t i = 0; i < n; ++i) centred[i] = a[i] - mean;
    out.velocity = Integrated(ZeroPhaseFilter(highPass, centred), dt);
    out.displacement = Integrated(out.velocity, dt);
    out.pgv = PeakMagnitude(out.velocity);
    out.pgd = PeakMagnitude(out.displacement);

    // The running integrals of a^2 (cm^2/s^3) and |a| (cm/s).
    std::vector<double> squares(n), magnitudes(n);
    for (std::size_t i = 0; i < n; ++i) {
        squares[i] = a[i] * a[i];
        magnitudes[i] = std::fabs(a[i]);
    }
    std::vector<double> build = Integrated(squares, dt);
    out.cav = Integrated(magnitudes, dt).back();
    const double total = build.back();
    // a in m/s^2 is a / 100 cm/s^2.
    out.arias = std::numbers::pi / (2 * kStandardGravity) * (total / 10000);
    if (total > 0) {
        for (double& v : build) v /= total;
        out.t5 = CrossingTime(build, 0.05, dt);
        out.t95 = CrossingTime(build, 0.95, dt);
        out.significantDuration = *out.t95 - *out.t5;
    } else {
        std::fill(build.begin(), build.end(), 0.0);
    }
    out.husid = std::move(build);
    return out;
}

double VectorPeak(std::span<const double> x, std::span<const double> y, std::span<const double> z) {
    // The root of the largest sum is the largest root.
    double peak = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        peak = std::max(peak, x[i] * x[i] + y[i] * y[i] + z[i] * z[i]);
    }
    return std::sqrt(peak);
}

bool InRange(double v) {
    return std::fabs(v) <= kLargestSpectrumValue;
}

bool AllInRange(const GroundMotionIndices& r) {
    for (const ComponentIndices& c : r.components) {
        const double values[] = {c.pga, c.pgv, c.pgd, c.arias, c.cav, c.si.value_or(0)};
        for (const double v : values) {
            if (!InRange(v)) return false;
        }
        for (const auto* series : {&c.velocity, &c.displacement, &c.husid}) {
            if (!std::all_of(series->begin(), series->end(), InRange)) return false;
        }
    }
    if (r.vector && !(InRange(r.vector->pga) && InRange(r.vector->pgv) && InRange(r.vector->pgd))) {
        return false;
    }
    return true;
}

// The SI values of the horizontal components, and of their pair when there are two.
struct SiResults {
    std::vector<std::optional<double>> perComponent;
    std::optional<double> pair;
    std::optional<SpectrumIntensity> spectrum;
    std::string pairReason;
};

SiResults SpectrumIntensities(std::span<const IndexComponent> components, double dt) {
    // The reason goes into the indices' CSV: Japanese whatever the language.
    const LanguageScope files(kFileLanguage);
    SiResults out;
    out.perComponent.resize(components.size());
    std::vector<std::size_t> horizontal;
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (components[i].horizontal) horizontal.push_back(i);
    }
    if (horizontal.size() != 2) {
        out.pairReason = Tr("水平 2 成分がそろっていないため計算できません。");
    }
    // Two at a time; a third horizontal one alone.
    for (std::size_t k = 0; k < horizontal.size(); k += 2) {
        const bool two = k + 1 < horizontal.size();
        const std::span<const double> second =
            two ? components[horizontal[k + 1]].acceleration : std::span<const double>();
        auto si = ComputeSpectrumIntensity(components[horizontal[k]].acceleration, second, dt);
        if (!si.ok()) {
            out.pairReason = si.error().message;
            continue;
        }
        out.perComponent[horizontal[k]] = si->first;
        if (two) out.perComponent[horizontal[k + 1]] = si->second;
        if (two && horizontal.size() == 2) out.pair = si->pair;
        if (k == 0) out.spectrum = std::move(si.value());
    }
    return out;
}

// Everything but the SI values: the measures of each component and, with three, the
// vector peaks and the intensity.
void ComponentsAndIntensity(GroundMotionIndices& out, std::span<const IndexComponent> components,
                            double dt, const FilterCoefficients& highPass) {
    // The reasons go into the indices' CSV: Japanese whatever the language.
    const LanguageScope files(kFileLanguage);
    for (const IndexComponent& c : components) {
        out.components.push_back(ComponentMeasures(c, dt, highPass));
    }
    if (components.size() != 3) {
        out.threeComponentReason = Tr("3 成分がそろっていないため計算できません。");
        out.intensityReason = out.threeComponentReason;
        return;
    }
    const ComponentIndices& x = out.components[0];
    const ComponentIndices& y = out.components[1];
    const ComponentIndices& z = out.components[2];
    const std::span<const double> ax = components[0].acceleration;
    const std::span<const double> ay = components[1].acceleration;
    const std::span<const double> az = components[2].acceleration;
    out.vector = VectorPeaks{VectorPeak(ax, ay, az), VectorPeak(x.velocity, y.velocity, z.velocity),
                             VectorPeak(x.displacement, y.displacement, z.displacement)};
    auto intensity = ComputeSeismicIntensity(ax, ay, az, dt);
    if (intensity.ok()) {
        out.intensity = std::move(intensity.value());
    } else {
        out.intensityReason = intensity.error().message;
    }
}

}  // namespace

StudyResult<GroundMotionIndices> ComputeIndices(std::span<const IndexComponent> components,
                                                double dt, const IndexOptions& options) {
    if (components.empty() || components.size() > 3) {
        return Refusal(Tr("成分は 1 つから 3 つまでです。"));
    }
    const std::size_t n = components.front().acceleration.size();
    for (const IndexComponent& c : components) {
        if (c.acceleration.size() != n) return Refusal(Tr("成分のデータ数がそろっていません。"));
        if (!std::all_of(c.acceleration.begin(), c.acceleration.end(), InRange)) {
            return Refusal(Tr("地震波の値が大きすぎます。"));
        }
    }
    if (!(dt > 0 && std::isfinite(dt))) return Refusal(Tr("時間刻みが正の数ではありません。"));
    if (n <= kFilterEdge) {
        return Refusal(
            Tr("記録が短すぎます（{1} 点以上必要です）。", std::to_string(kFilterEdge + 1)));
    }
    const double nyquist = 1 / (2 * dt);
    if (!(options.lowCut > 0 && options.lowCut < nyquist)) {
        return Refusal(Tr("低域遮断周波数は 0 より大きく、ナイキスト周波数 {1} Hz より小さく"
                          "してください。",
                          NumberText(nyquist)),
                       kLowCutBox);
    }

    GroundMotionIndices out;
    out.timeStep = dt;
    out.lowCut = options.lowCut;
    out.sampleCount = n;
    const FilterCoefficients highPass = ButterworthHighPass(options.lowCut, dt);
    // The SI oscillators take the most time; they run here (on both cores, see
    // ComputeSpectrumIntensity) while another thread does the rest.
    const auto rest = [&out, components, dt, &highPass] {
        ComponentsAndIntensity(out, components, dt, highPass);
    };
    std::thread other;
    try {
        other = std::thread(rest);
    } catch (const std::system_error&) {
        rest();
    }
    SiResults si = SpectrumIntensities(components, dt);
    if (other.joinable()) other.join();
    for (std::size_t i = 0; i < components.size(); ++i) out.components[i].si = si.perComponent[i];
    out.horizontalSi = si.pair;
    out.spectrum = std::move(si.spectrum);
    out.pairReason = std::move(si.pairReason);
    if (!AllInRange(out)) {
        return Refusal(Tr("地震波の値が大きすぎるため、計算できる範囲を超えました。"));
    }
    return out;
}

std::vector<IndexComponent> IndexComponents(const ComponentSet& set) {
    // The components that the networks' files and PEER NGA records name as vertical.
    static constexpr std::string_view kVertical[] = {"UP", "DWN", "DOWN", "V", "VER", "VERT", "Z"};
    std::vector<IndexComponent> out;
    for (const ComponentRecord& c : set.components) {
        IndexComponent item;
        item.acceleration = c.record.samples;
        if (c.directionKnown) {
            item.name = std::string(ComponentName(c.direction));
            item.horizontal = c.direction != RecordComponent::UD;
        } else {
            const std::string written = c.info ? c.info->component : std::string();
            item.name =
                written.empty() ? std::filesystem::path(c.path).filename().string() : written;
            std::string upper = written;
            for (char& ch : upper) {
                if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
            }
            item.horizontal =
                !upper.starts_with("U-D") &&
                std::find(std::begin(kVertical), std::end(kVertical), upper) == std::end(kVertical);
        }
        out.push_back(std::move(item));
    }
    return out;
}

StudyResult<double> ParseLowCut(std::string_view text) {
    // Full-width digits too, as every box of the study window takes them.
    const std::optional<double> value = StudyNumber(text);
    if (!value || !(*value > 0) || !std::isfinite(*value)) {
        return StudyError{std::string(kLowCutBox),
                          Tr("低域遮断周波数「{1}」を読めません。\n0 より大きい数（Hz）を"
                             "入力してください。",
                             text)};
    }
    return *value;
}

}  // namespace kestrel
