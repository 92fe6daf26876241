#include "study/SpectrumIntensity.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <map>
#include <system_error>
#include <thread>

#include "analysis/ExactStep.h"
#include "runtime/Catalogue.h"
#include "study/LaneVectors.h"
#include "study/ResponseSpectrum.h"

namespace kestrel {

namespace {

using namespace lanes;

// The lanes are the periods, grouped by their number of sub-steps; each lane follows the
// oscillator of its period under both components at once. A lane's step coefficients sit
// in one array per coefficient, padded with zeros (a lane of zeros stays at rest) to a
// whole number of blocks.
constexpr std::size_t kBlockVectors = 4;
constexpr std::size_t kBlockLanes = kVectorWidth * kBlockVectors;

// The most sub-steps per sample step: those of 0.1 s at a step of 5 s.
constexpr double kMostSubsteps = 1000;
constexpr double kShortestPeriod = 0.1;

enum Coefficient { A11, A12, A21, A22, B11, B12, B21, B22, kCoefficientCount };

struct LaneGroup {
    std::size_t substeps = 1;
    std::vector<std::size_t> periodIndex;  // of each used lane
    std::size_t lanes = 0;                 // padded
    std::vector<double> c[kCoefficientCount];
    std::vector<double> first, second, pair;  // peaks: |v1|, |v2|, v1^2 + v2^2
    std::span<const double> groundFirst, groundSecond;
};

// The ground acceleration at the sub-step points, weighted exactly as the response
// spectra weight it (g = (1 - j/n) g0 + (j/n) g1, the ends exact), so that the SI value's
// Sv is the spectrum's Sv at the same period and damping, bit for bit.
struct SubstepGround {
    explicit SubstepGround(std::size_t steps) : n(static_cast<int>(steps)) {
        for (std::size_t j = 0; j <= steps; ++j) {
            after.push_back(static_cast<double>(j) / static_cast<double>(steps));
            before.push_back(1 - after.back());
        }
    }
    double At(double g0, double g1, int j) const {
        const auto k = static_cast<std::size_t>(j);
        return j == 0 ? g0 : j == n ? g1 : before[k] * g0 + after[k] * g1;
    }
    int n;
    std::vector<double> after, before;
};

std::vector<LaneGroup> MakeGroups(std::span<const double> first, std::span<const double> second,
                                  double dt, const std::vector<double>& periods) {
    std::map<std::size_t, std::vector<std::size_t>> bySubsteps;
    for (std::size_t p = 0; p < periods.size(); ++p) {
        bySubsteps[SpectrumSubsteps(dt, periods[p])].push_back(p);
    }
    std::vector<LaneGroup> groups;
    for (auto& [n, indices] : bySubsteps) {
        LaneGroup g;
        g.substeps = n;
        g.periodIndex = std::move(indices);
        g.lanes = (g.periodIndex.size() + kBlockLanes - 1) / kBlockLanes * kBlockLanes;
        for (auto& column : g.c) column.assign(g.lanes, 0.0);
        for (auto* column : {&g.first, &g.second, &g.pair}) column->assign(g.lanes, 0.0);
        for (std::size_t lane = 0; lane < g.periodIndex.size(); ++lane) {
            const double omega = SpectrumOmega(periods[g.periodIndex[lane]]);
            const ExactStepMatrix k = ExactStepMatrixFor(omega, kSiDamping, dt / n);
            const double values[kCoefficientCount] = {k.a11, k.a12, k.a21, k.a22,
                                                      k.b11, k.b12, k.b21, k.b22};
            for (int i = 0; i < kCoefficientCount; ++i) g.c[i][lane] = values[i];
        }
        g.groundFirst = first;
        g.groundSecond = second;
        groups.push_back(std::move(g));
    }
    return groups;
}

// Blocks [from, to) of the group over the whole record. One clone per vector unit; the
// operations are the same on each, only their width differs.
__attribute__((target_clones("avx512f", "avx2", "default"))) void RunBlocks(LaneGroup& t,
                                                                            std::size_t from,
                                                                            std::size_t to) {
    const double* g = t.groundFirst.data();
    const double* h = t.groundSecond.data();
    const std::size_t n = t.groundFirst.size();
    const SubstepGround sub(t.substeps);
    for (std::size_t block = from; block < to; ++block) {
        const std::size_t base = block * kBlockLanes;
        Vec k[kCoefficientCount][kBlockVectors];
        LoadLanes(k, t.c, base);
        Vec x[kBlockVectors] = {}, v[kBlockVectors] = {};
        Vec y[kBlockVectors] = {}, w[kBlockVectors] = {};
        Vec p1[kBlockVectors] = {}, p2[kBlockVectors] = {}, pp[kBlockVectors] = {};
        for (std::size_t i = 0; i + 1 < n; ++i) {
            for (int s = 0; s < sub.n; ++s) {
                const double g0 = sub.At(g[i], g[i + 1], s), g1 = sub.At(g[i], g[i + 1], s + 1);
                const double h0 = sub.At(h[i], h[i + 1], s), h1 = sub.At(h[i], h[i + 1], s + 1);
                for (std::size_t j = 0; j < kBlockVectors; ++j) {
                    const Vec x1 =
                        (k[A11][j] * x[j] + k[A12][j] * v[j]) + (k[B11][j] * g0 + k[B12][j] * g1);
                    const Vec v1 =
                        (k[A21][j] * x[j] + k[A22][j] * v[j]) + (k[B21][j] * g0 + k[B22][j] * g1);
                    const Vec y1 =
                        (k[A11][j] * y[j] + k[A12][j] * w[j]) + (k[B11][j] * h0 + k[B12][j] * h1);
                    const Vec w1 =
                        (k[A21][j] * y[j] + k[A22][j] * w[j]) + (k[B21][j] * h0 + k[B22][j] * h1);
                    x[j] = x1;
                    v[j] = v1;
                    y[j] = y1;
                    w[j] = w1;
                    const Vec av = (Vec)((VecMask)v1 & kMagnitude);
                    const Vec aw = (Vec)((VecMask)w1 & kMagnitude);
                    const Vec both = v1 * v1 + w1 * w1;
                    p1[j] = av > p1[j] ? av : p1[j];
                    p2[j] = aw > p2[j] ? aw : p2[j];
                    pp[j] = both > pp[j] ? both : pp[j];
                }
            }
        }
        StoreLanes(t.first, p1, base);
        StoreLanes(t.second, p2, base);
        StoreLanes(t.pair, pp, base);
    }
}

// One lane: the vector kernel above does exactly these operations in this order, so both
// give the same bits.
void RunLaneScalar(LaneGroup& t, std::size_t lane) {
    double k[kCoefficientCount];
    for (int c = 0; c < kCoefficientCount; ++c) k[c] = t.c[c][lane];
    const double* g = t.groundFirst.data();
    const double* h = t.groundSecond.data();
    const SubstepGround sub(t.substeps);
    double x = 0, v = 0, y = 0, w = 0, p1 = 0, p2 = 0, pp = 0;
    for (std::size_t i = 0; i + 1 < t.groundFirst.size(); ++i) {
        for (int s = 0; s < sub.n; ++s) {
            const double g0 = sub.At(g[i], g[i + 1], s), g1 = sub.At(g[i], g[i + 1], s + 1);
            const double h0 = sub.At(h[i], h[i + 1], s), h1 = sub.At(h[i], h[i + 1], s + 1);
            const double x1 = (k[A11] * x + k[A12] * v) + (k[B11] * g0 + k[B12] * g1);
            const double v1 = (k[A21] * x + k[A22] * v) + (k[B21] * g0 + k[B22] * g1);
            const double y1 = (k[A11] * y + k[A12] * w) + (k[B11] * h0 + k[B12] * h1);
            const double w1 = (k[A21] * y + k[A22] * w) + (k[B21] * h0 + k[B22] * h1);
            x = x1;
            v = v1;
            y = y1;
            w = w1;
            const double both = v1 * v1 + w1 * w1;
            p1 = std::fabs(v1) > p1 ? std::fabs(v1) : p1;
            p2 = std::fabs(w1) > p2 ? std::fabs(w1) : p2;
            pp = both > pp ? both : pp;
        }
    }
    t.first[lane] = p1;
    t.second[lane] = p2;
    t.pair[lane] = pp;
}

// (1 / 2.4) x the trapezoid rule over the periods 0.01 s apart.
double Integral(const std::vector<double>& sv) {
    double sum = 0;
    for (std::size_t i = 0; i + 1 < sv.size(); ++i) sum += (sv[i] + sv[i + 1]) / 2;
    return sum * 0.01 / 2.4;
}

// why: a message marked with TrNoop.
StudyError Refusal(std::string_view why) {
    return StudyError{"", Tr("SI値を計算できません。\n{1}", Tr(why))};
}

StudyResult<SpectrumIntensity> Collect(const std::vector<LaneGroup>& groups, bool two,
                                       std::vector<double> periods) {
    SpectrumIntensity out;
    const std::size_t count = periods.size();
    out.firstSv.assign(count, 0.0);
    if (two) {
        out.secondSv.assign(count, 0.0);
        out.pairSv.assign(count, 0.0);
    }
    for (const LaneGroup& g : groups) {
        for (std::size_t lane = 0; lane < g.periodIndex.size(); ++lane) {
            const std::size_t p = g.periodIndex[lane];
            out.firstSv[p] = g.first[lane];
            if (two) {
                out.secondSv[p] = g.second[lane];
                out.pairSv[p] = std::sqrt(g.pair[lane]);
            }
        }
    }
    for (const auto* series : {&out.firstSv, &out.secondSv, &out.pairSv}) {
        for (const double value : *series) {
            if (!(value <= kLargestSpectrumValue)) {
                return Refusal(
                    TrNoop("地震波の値が大きすぎるため、応答が計算できる範囲を超えました。"));
            }
        }
    }
    out.first = Integral(out.firstSv);
    if (two) {
        out.second = Integral(out.secondSv);
        out.pair = Integral(out.pairSv);
    }
    out.periods = std::move(periods);
    return out;
}

std::optional<StudyError> RefuseInputs(std::span<const double> first,
                                       std::span<const double> second, double dt) {
    if (!(dt > 0 && std::isfinite(dt))) return Refusal(TrNoop("時間刻みが正の数ではありません。"));
    // Beyond this the record says nothing of periods of 0.1 s, and the sub-steps would
    // take minutes.
    if (!(20 * dt / kShortestPeriod <= kMostSubsteps)) {
        return Refusal(TrNoop("時間刻みが大きすぎます（5 秒まで）。"));
    }
    if (!second.empty() && second.size() != first.size()) {
        return Refusal(TrNoop("2 成分のデータ数がそろっていません。"));
    }
    return std::nullopt;
}

}  // namespace

std::vector<double> SiPeriods() {
    std::vector<double> periods(kSiPeriodCount);
    for (std::size_t i = 0; i < kSiPeriodCount; ++i) {
        periods[i] = static_cast<double>(10 + i) / 100;
    }
    return periods;
}

StudyResult<SpectrumIntensity> ComputeSpectrumIntensity(std::span<const double> first,
                                                        std::span<const double> second, double dt) {
    if (const auto refusal = RefuseInputs(first, second, dt)) return *refusal;
    const bool two = !second.empty();
    std::vector<double> periods = SiPeriods();
    std::vector<LaneGroup> groups = MakeGroups(first, two ? second : first, dt, periods);
    // Every block of every group is one piece of work. This thread and, where the
    // processor has more cores, one more take the next piece until none is left, so that
    // neither waits for the other when one of them is held up.
    std::vector<std::pair<LaneGroup*, std::size_t>> pieces;
    for (LaneGroup& g : groups) {
        for (std::size_t b = 0; b < g.lanes / kBlockLanes; ++b) pieces.emplace_back(&g, b);
    }
    std::atomic<std::size_t> next{0};
    const auto runPieces = [&pieces, &next] {
        for (std::size_t i; (i = next.fetch_add(1)) < pieces.size();) {
            RunBlocks(*pieces[i].first, pieces[i].second, pieces[i].second + 1);
        }
    };
    std::thread other;
    if (std::thread::hardware_concurrency() > 1 && pieces.size() > 1) {
        try {
            other = std::thread(runPieces);
        } catch (const std::system_error&) {
            // This thread does all the pieces.
        }
    }
    runPieces();
    if (other.joinable()) other.join();
    return Collect(groups, two, std::move(periods));
}

StudyResult<SpectrumIntensity> ComputeSpectrumIntensityScalar(std::span<const double> first,
                                                              std::span<const double> second,
                                                              double dt) {
    if (const auto refusal = RefuseInputs(first, second, dt)) return *refusal;
    const bool two = !second.empty();
    std::vector<double> periods = SiPeriods();
    std::vector<LaneGroup> groups = MakeGroups(first, two ? second : first, dt, periods);
    for (LaneGroup& g : groups) {
        for (std::size_t lane = 0; lane < g.periodIndex.size(); ++lane) RunLaneScalar(g, lane);
    }
    return Collect(groups, two, std::move(periods));
}

}  // namespace kestrel
