#include "study/ResponseSpectrum.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <system_error>
#include <thread>

#include "analysis/AnalysisState.h"
#include "study/ExactResponse.h"

namespace kestrel {

namespace {

// The lanes of the computation are the (period, damping) pairs, damping-major: lane
// d * periods + p. Each lane's step coefficients sit in one array per coefficient, padded
// with zeros (a lane of zeros stays at rest) to a whole number of blocks.
constexpr std::size_t kVectorWidth = 8;
constexpr std::size_t kBlockVectors = 2;
constexpr std::size_t kBlockLanes = kVectorWidth * kBlockVectors;

enum Coefficient { A11, A12, A21, A22, B11, B12, B21, B22, MinusW2, Minus2hw, kCoefficientCount };

struct LaneTable {
    std::size_t lanes = 0;  // padded
    std::vector<double> c[kCoefficientCount];
    std::vector<double> sd, sv, sa;  // peaks
    std::vector<double> x, v;        // state after the last sample
};

LaneTable MakeLanes(double dt, std::span<const double> periods,
                    std::span<const DampingItem> dampings) {
    LaneTable t;
    const std::size_t used = periods.size() * dampings.size();
    t.lanes = (used + kBlockLanes - 1) / kBlockLanes * kBlockLanes;
    for (auto& column : t.c) column.assign(t.lanes, 0.0);
    for (auto* column : {&t.sd, &t.sv, &t.sa, &t.x, &t.v}) column->assign(t.lanes, 0.0);
    for (std::size_t d = 0; d < dampings.size(); ++d) {
        for (std::size_t p = 0; p < periods.size(); ++p) {
            const std::size_t lane = d * periods.size() + p;
            const double omega = SpectrumOmega(periods[p]);
            const double h = dampings[d].ratio;
            const ExactStepCoefficients k = ExactStep(omega, h, dt);
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
    }
    return t;
}

typedef double Vec __attribute__((vector_size(kVectorWidth * sizeof(double))));
typedef long long VecMask __attribute__((vector_size(kVectorWidth * sizeof(double))));

// Blocks [first, last) of the table over the whole record. One clone per vector unit; the
// operations are the same on each, only their width differs.
__attribute__((target_clones("avx512f", "avx2", "default"))) void RunBlocks(
    LaneTable& t, const double* g, std::size_t n, std::size_t first, std::size_t last) {
    for (std::size_t block = first; block < last; ++block) {
        const std::size_t base = block * kBlockLanes;
        Vec k[kCoefficientCount][kBlockVectors];
        for (int c = 0; c < kCoefficientCount; ++c) {
            for (std::size_t j = 0; j < kBlockVectors; ++j) {
                std::memcpy(&k[c][j], &t.c[c][base + j * kVectorWidth], sizeof(Vec));
            }
        }
        VecMask magnitude;  // every bit but the sign
        for (std::size_t l = 0; l < kVectorWidth; ++l) magnitude[l] = 0x7fffffffffffffffLL;
        Vec x[kBlockVectors] = {}, v[kBlockVectors] = {};
        Vec sd[kBlockVectors] = {}, sv[kBlockVectors] = {}, sa[kBlockVectors] = {};
        for (std::size_t i = 0; i + 1 < n; ++i) {
            const double g0 = g[i];
            const double g1 = g[i + 1];
            for (std::size_t j = 0; j < kBlockVectors; ++j) {
                const Vec x1 =
                    (k[A11][j] * x[j] + k[A12][j] * v[j]) + (k[B11][j] * g0 + k[B12][j] * g1);
                const Vec v1 =
                    (k[A21][j] * x[j] + k[A22][j] * v[j]) + (k[B21][j] * g0 + k[B22][j] * g1);
                const Vec a = k[MinusW2][j] * x1 + k[Minus2hw][j] * v1;
                x[j] = x1;
                v[j] = v1;
                const Vec ax = (Vec)((VecMask)x1 & magnitude);
                const Vec av = (Vec)((VecMask)v1 & magnitude);
                const Vec aa = (Vec)((VecMask)a & magnitude);
                sd[j] = ax > sd[j] ? ax : sd[j];
                sv[j] = av > sv[j] ? av : sv[j];
                sa[j] = aa > sa[j] ? aa : sa[j];
            }
        }
        for (std::size_t j = 0; j < kBlockVectors; ++j) {
            const std::size_t at = base + j * kVectorWidth;
            std::memcpy(&t.x[at], &x[j], sizeof(Vec));
            std::memcpy(&t.v[at], &v[j], sizeof(Vec));
            std::memcpy(&t.sd[at], &sd[j], sizeof(Vec));
            std::memcpy(&t.sv[at], &sv[j], sizeof(Vec));
            std::memcpy(&t.sa[at], &sa[j], sizeof(Vec));
        }
    }
}

// The step of one lane: the vector kernel above does exactly these operations in this
// order, so both give the same bits.
void RunLaneScalar(LaneTable& t, const double* g, std::size_t n, std::size_t lane) {
    double k[kCoefficientCount];
    for (int c = 0; c < kCoefficientCount; ++c) k[c] = t.c[c][lane];
    double x = 0, v = 0, sd = 0, sv = 0, sa = 0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const double g0 = g[i];
        const double g1 = g[i + 1];
        const double x1 = (k[A11] * x + k[A12] * v) + (k[B11] * g0 + k[B12] * g1);
        const double v1 = (k[A21] * x + k[A22] * v) + (k[B21] * g0 + k[B22] * g1);
        const double a = k[MinusW2] * x1 + k[Minus2hw] * v1;
        x = x1;
        v = v1;
        sd = std::fabs(x1) > sd ? std::fabs(x1) : sd;
        sv = std::fabs(v1) > sv ? std::fabs(v1) : sv;
        sa = std::fabs(a) > sa ? std::fabs(a) : sa;
    }
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
            const std::size_t lane = d * periods.size() + p;
            const double omega = SpectrumOmega(periods[p]);
            const double sd = t.sd[lane];
            const double values[] = {
                sd, t.sv[lane], t.sa[lane], omega * sd, (omega * omega) * sd, t.x[lane], t.v[lane]};
            for (double value : values) {
                if (!(std::fabs(value) <= kLargestSpectrumValue)) {
                    return StudyError{"",
                                      "応答スペクトルを計算できません。\n地震波の値が大きすぎる"
                                      "ため、応答が計算できる範囲を超えました。"};
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
            "", "応答スペクトルを計算できません。\n時間刻み・周期・減衰定数を確認してください。"};
    }
    return std::nullopt;
}

}  // namespace

double SpectrumOmega(double period) {
    return TwoPi / period;
}

StudyResult<ResponseSpectrum> ComputeResponseSpectrum(std::span<const double> ground, double dt,
                                                      std::span<const double> periods,
                                                      std::span<const DampingItem> dampings) {
    if (const auto refusal = RefuseInputs(dt, periods, dampings)) return *refusal;
    LaneTable t = MakeLanes(dt, periods, dampings);
    const std::size_t blocks = t.lanes / kBlockLanes;
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t workers = std::min<std::size_t>({cores, blocks, 8});
    // The blocks are shared out evenly: worker w takes [blocks w / n, blocks (w + 1) / n).
    // This thread is worker 0; the blocks of a worker that could not be started are run
    // here too.
    std::vector<std::thread> threads;
    std::size_t done = workers <= 1 ? blocks : blocks / workers;
    for (std::size_t w = 1; w < workers; ++w) {
        const std::size_t first = blocks * w / workers;
        const std::size_t last = blocks * (w + 1) / workers;
        try {
            threads.emplace_back(RunBlocks, std::ref(t), ground.data(), ground.size(), first, last);
        } catch (const std::system_error&) {
            RunBlocks(t, ground.data(), ground.size(), first, last);
        }
    }
    RunBlocks(t, ground.data(), ground.size(), 0, done);
    for (std::thread& thread : threads) thread.join();
    return Collect(t, periods, dampings);
}

StudyResult<ResponseSpectrum> ComputeResponseSpectrumScalar(std::span<const double> ground,
                                                            double dt,
                                                            std::span<const double> periods,
                                                            std::span<const DampingItem> dampings) {
    if (const auto refusal = RefuseInputs(dt, periods, dampings)) return *refusal;
    LaneTable t = MakeLanes(dt, periods, dampings);
    for (std::size_t lane = 0; lane < periods.size() * dampings.size(); ++lane) {
        RunLaneScalar(t, ground.data(), ground.size(), lane);
    }
    return Collect(t, periods, dampings);
}

}  // namespace kestrel
