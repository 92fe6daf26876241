#include "study/ResponseSpectrum.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <optional>
#include <system_error>
#include <thread>

#include "analysis/ExactStep.h"
#include "analysis/ProgramLimits.h"
#include "runtime/Catalogue.h"
#include "runtime/Conversions.h"
#include "study/LaneVectors.h"

namespace kestrel {

namespace {

using namespace lanes;

// The lanes of the computation are the (period, damping) pairs. Lanes that take the same
// number of sub-steps are grouped, each group padded with lanes of zeros (a lane of zeros
// stays at rest) to a whole number of blocks, so that every lane of a block steps alike.
// The groups with the most sub-steps come first: the threads take the longest blocks first.
constexpr std::size_t kBlockVectors = 2;
constexpr std::size_t kBlockLanes = kVectorWidth * kBlockVectors;
constexpr std::size_t kUnused = static_cast<std::size_t>(-1);

enum Coefficient { A11, A12, A21, A22, B11, B12, B21, B22, MinusW2, Minus2hw, kCoefficientCount };

struct LaneTable {
    std::size_t lanes = 0;  // padded
    std::vector<double> c[kCoefficientCount];
    std::vector<double> sd, sv, sa;          // peaks
    std::vector<double> x, v;                // state after the last sample
    std::vector<std::size_t> pair;           // per lane: d * periods + p, kUnused for padding
    std::vector<std::size_t> laneOfPair;     // the inverse
    std::vector<std::size_t> blockSubsteps;  // per block
};

LaneTable MakeLanes(double dt, std::span<const double> periods,
                    std::span<const DampingItem> dampings) {
    LaneTable t;
    // The pairs by their sub-steps, most first, each group in the pairs' order.
    std::vector<std::size_t> substeps(periods.size());
    for (std::size_t p = 0; p < periods.size(); ++p) substeps[p] = SpectrumSubsteps(dt, periods[p]);
    std::vector<std::size_t> order(periods.size() * dampings.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return substeps[a % periods.size()] > substeps[b % periods.size()];
    });
    for (std::size_t i = 0; i < order.size();) {
        const std::size_t n = substeps[order[i] % periods.size()];
        std::size_t used = 0;
        while (i < order.size() && substeps[order[i] % periods.size()] == n) {
            t.pair.push_back(order[i++]);
            ++used;
        }
        const std::size_t blocks = (used + kBlockLanes - 1) / kBlockLanes;
        t.pair.resize(t.pair.size() + (blocks * kBlockLanes - used), kUnused);
        t.blockSubsteps.insert(t.blockSubsteps.end(), blocks, n);
    }
    t.lanes = t.pair.size();
    for (auto& column : t.c) column.assign(t.lanes, 0.0);
    for (auto* column : {&t.sd, &t.sv, &t.sa, &t.x, &t.v}) column->assign(t.lanes, 0.0);
    t.laneOfPair.assign(order.size(), kUnused);
    for (std::size_t lane = 0; lane < t.lanes; ++lane) {
        const std::size_t pair = t.pair[lane];
        if (pair == kUnused) continue;
        t.laneOfPair[pair] = lane;
        const std::size_t p = pair % periods.size();
        const double omega = SpectrumOmega(periods[p]);
        const double h = dampings[pair / periods.size()].ratio;
        const ExactStepMatrix k =
            ExactStepMatrixFor(omega, h, dt / static_cast<double>(substeps[p]));
        const double values[kCoefficientCount] = {k.a11,
                                                  k.a12,
                                                  k.a21,
                                                  k.a22,
                                                  k.b11,
                                                  k.b12,
                                                  k.b21,
                                                  k.b22,
                                                  -(omega * omega),
                                                  -((2 * h) * omega)};
        for (int i = 0; i < kCoefficientCount; ++i) t.c[i][lane] = values[i];
    }
    return t;
}

// One block over the whole record. One clone per vector unit; the operations are the same
// on each, only their width differs.
__attribute__((target_clones("avx512f", "avx2", "default"))) void RunBlock(LaneTable& t,
                                                                           const double* g,
                                                                           std::size_t samples,
                                                                           std::size_t block) {
    const std::size_t base = block * kBlockLanes;
    Vec k[kCoefficientCount][kBlockVectors];
    LoadLanes(k, t.c, base);
    Vec x[kBlockVectors] = {}, v[kBlockVectors] = {};
    Vec sd[kBlockVectors] = {}, sv[kBlockVectors] = {}, sa[kBlockVectors] = {};
    const SubstepWeights weights(t.blockSubsteps[block]);
    ForEachSubstep(
        g, samples, weights, [&](double ga, double gb) __attribute__((always_inline)) {
            for (std::size_t j = 0; j < kBlockVectors; ++j) {
                const Vec x1 =
                    (k[A11][j] * x[j] + k[A12][j] * v[j]) + (k[B11][j] * ga + k[B12][j] * gb);
                const Vec v1 =
                    (k[A21][j] * x[j] + k[A22][j] * v[j]) + (k[B21][j] * ga + k[B22][j] * gb);
                const Vec a = k[MinusW2][j] * x1 + k[Minus2hw][j] * v1;
                x[j] = x1;
                v[j] = v1;
                const Vec ax = (Vec)((VecMask)x1 & kMagnitude);
                const Vec av = (Vec)((VecMask)v1 & kMagnitude);
                const Vec aa = (Vec)((VecMask)a & kMagnitude);
                sd[j] = ax > sd[j] ? ax : sd[j];
                sv[j] = av > sv[j] ? av : sv[j];
                sa[j] = aa > sa[j] ? aa : sa[j];
            }
        });
    StoreLanes(t.x, x, base);
    StoreLanes(t.v, v, base);
    StoreLanes(t.sd, sd, base);
    StoreLanes(t.sv, sv, base);
    StoreLanes(t.sa, sa, base);
}

// The steps of one lane: the vector kernel above does exactly these operations in this
// order, so both give the same bits.
void RunLaneScalar(LaneTable& t, const double* g, std::size_t samples, std::size_t lane) {
    double k[kCoefficientCount];
    for (int c = 0; c < kCoefficientCount; ++c) k[c] = t.c[c][lane];
    double x = 0, v = 0, sd = 0, sv = 0, sa = 0;
    const SubstepWeights weights(t.blockSubsteps[lane / kBlockLanes]);
    ForEachSubstep(g, samples, weights, [&](double ga, double gb) {
        const double x1 = (k[A11] * x + k[A12] * v) + (k[B11] * ga + k[B12] * gb);
        const double v1 = (k[A21] * x + k[A22] * v) + (k[B21] * ga + k[B22] * gb);
        const double a = k[MinusW2] * x1 + k[Minus2hw] * v1;
        x = x1;
        v = v1;
        sd = std::fabs(x1) > sd ? std::fabs(x1) : sd;
        sv = std::fabs(v1) > sv ? std::fabs(v1) : sv;
        sa = std::fabs(a) > sa ? std::fabs(a) : sa;
    });
    t.x[lane] = x;
    t.v[lane] = v;
    t.sd[lane] = sd;
    t.sv[lane] = sv;
    t.sa[lane] = sa;
}

StudyResult<ResponseSpectrum> Collect(const LaneTable& t, std::span<const double> periods,
                                      std::span<const DampingItem> dampings) {
    ResponseSpectrum out;
    out.periods.assign(periods.begin(), periods.end());
    out.dampings.assign(dampings.begin(), dampings.end());
    for (std::size_t d = 0; d < dampings.size(); ++d) {
        SpectrumCurves curves;
        for (std::size_t p = 0; p < periods.size(); ++p) {
            const std::size_t lane = t.laneOfPair[d * periods.size() + p];
            const double omega = SpectrumOmega(periods[p]);
            const double sd = t.sd[lane];
            const double values[] = {
                sd, t.sv[lane], t.sa[lane], omega * sd, (omega * omega) * sd, t.x[lane], t.v[lane]};
            for (double value : values) {
                if (!(std::fabs(value) <= kLargestSpectrumValue)) {
                    return StudyError{"",
                                      Tr("応答スペクトルを計算できません。\n地震波の値が大きすぎる"
                                         "ため、応答が計算できる範囲を超えました。")};
                }
            }
            curves.sd.push_back(sd);
            curves.sv.push_back(t.sv[lane]);
            curves.sa.push_back(t.sa[lane]);
            curves.psv.push_back(omega * sd);
            curves.psa.push_back((omega * omega) * sd);
        }
        out.curves.push_back(std::move(curves));
    }
    return out;
}

// The shortest period the time step allows, rounded up to three significant digits so
// that the number shown is itself allowed.
std::string ShortestPeriodText(double dt) {
    const double least = dt * 20 / static_cast<double>(kMaxSpectrumSubsteps);
    const double unit = std::pow(10.0, std::floor(std::log10(least)) - 2);
    for (double digits = std::ceil(least / unit * (1 - 1e-12));; ++digits) {
        const std::string text = NumberText(digits * unit);
        const std::optional<double> shown = StrictNumber(text);
        if (shown && SpectrumSubsteps(dt, *shown) <= kMaxSpectrumSubsteps) return text;
    }
}

// The conditions the parsers and the wave reader guarantee, checked once more here so
// that no caller can feed the steps a value they cannot take; a period so short that w^2
// overflows has no step either.
std::optional<StudyError> RefuseInputs(double dt, std::span<const double> periods,
                                       std::span<const DampingItem> dampings) {
    const bool periodsOk = std::all_of(periods.begin(), periods.end(), [](double t) {
        const double omega = SpectrumOmega(t);
        return t > 0 && std::isfinite(t) && std::isfinite(omega * omega);
    });
    const bool dampingsOk = std::all_of(dampings.begin(), dampings.end(), [](const DampingItem& d) {
        return d.ratio >= 0 && d.ratio < 1;
    });
    if (!(dt > 0 && std::isfinite(dt)) || !periodsOk || !dampingsOk) {
        return StudyError{
            "",
            Tr("応答スペクトルを計算できません。\n時間刻み・周期・減衰定数を確認してください。")};
    }
    const auto shortest = std::min_element(periods.begin(), periods.end());
    if (shortest != periods.end() && SpectrumSubsteps(dt, *shortest) > kMaxSpectrumSubsteps) {
        return StudyError{std::string(kPeriodMinBox),
                          Tr("周期 {1} s は地震波の時間刻み {2} s に対して短すぎます。\n"
                             "最小周期は {3} s 以上にしてください。",
                             NumberText(*shortest), NumberText(dt), ShortestPeriodText(dt))};
    }
    return std::nullopt;
}

}  // namespace

double SpectrumOmega(double period) {
    return program::kTwoPi / period;
}

std::size_t SpectrumSubsteps(double dt, double period) {
    const double span = 20 * dt;
    if (span <= period) return 1;
    const double steps = std::ceil(span / period);
    // Far beyond any count that is followed (kMaxSpectrumSubsteps): kept within the type.
    return steps < 1e15 ? static_cast<std::size_t>(steps) : static_cast<std::size_t>(1e15);
}

StudyResult<ResponseSpectrum> ComputeResponseSpectrum(std::span<const double> ground, double dt,
                                                      std::span<const double> periods,
                                                      std::span<const DampingItem> dampings) {
    if (const auto refusal = RefuseInputs(dt, periods, dampings)) return *refusal;
    LaneTable t = MakeLanes(dt, periods, dampings);
    const std::size_t blocks = t.blockSubsteps.size();
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t workers = std::min<std::size_t>({cores, blocks, 8});
    // Each worker takes the next block not yet taken, the longest first; this thread is
    // one of them and also does the work of a worker that could not be started.
    std::atomic<std::size_t> next{0};
    auto work = [&t, &next, ground, blocks] {
        for (std::size_t block = next++; block < blocks; block = next++) {
            RunBlock(t, ground.data(), ground.size(), block);
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t w = 1; w < workers; ++w) {
        try {
            threads.emplace_back(work);
        } catch (const std::system_error&) {
            break;
        }
    }
    work();
    for (std::thread& thread : threads) thread.join();
    return Collect(t, periods, dampings);
}

StudyResult<ResponseSpectrum> ComputeResponseSpectrumScalar(std::span<const double> ground,
                                                            double dt,
                                                            std::span<const double> periods,
                                                            std::span<const DampingItem> dampings) {
    if (const auto refusal = RefuseInputs(dt, periods, dampings)) return *refusal;
    LaneTable t = MakeLanes(dt, periods, dampings);
    for (const std::size_t lane : t.laneOfPair)
        RunLaneScalar(t, ground.data(), ground.size(), lane);
    return Collect(t, periods, dampings);
}

}  // namespace kestrel
