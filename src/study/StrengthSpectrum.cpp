#include "study/StrengthSpectrum.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <system_error>
#include <thread>

#include "runtime/Catalogue.h"
#include "runtime/Conversions.h"
#include "study/LaneVectors.h"
#include "study/ResponseSpectrum.h"

namespace kestrel {

namespace {

using namespace lanes;

// ---------------------------------------------------------------------------------------
// The oscillator and its sub-step

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The constants of one sub-step length hs = dt / n, the same for every lane of a block.
struct SubstepConstants {
    double h, half, third, sixth;  // hs, hs/2, hs^2/3, hs^2/6
};

SubstepConstants MakeSubstep(double dt, std::size_t n) {
    const double h = dt / static_cast<double>(n);
    return {h, h * 0.5, (h * h) / 3, (h * h) / 6};
}

// The constants of one oscillator (a lane). With k = w^2, c = 2 h w, the sub-step hs,
// De = 1 + c hs/2 + k hs^2/6 and Dp = 1 + c hs/2 + p k hs^2/6 (the linear acceleration
// step's denominators on the elastic branch and on a yield line), AU = c + k hs and
// AA = AU hs - k hs^2/6:
//   MG = -1/De, MX = MG p k, MU = MG AU, MA = MG AA          (the elastic trial's a1)
//   EG = MG hs^2/6, EX = EG p k, EU = hs + EG AU,
//   EA = hs^2 - hs^2/6 + EG AA                              (its x1 - x)
//   KP = (1 - p) k, Band = (1 - p) Qy (+infinity: the elastic oscillator), NBand = -Band,
//   IP = 1/Dp.
enum Coefficient { MG, MX, MU, MA, EG, EX, EU, EA, KP, Band, NBand, IP, kCoefficientCount };

struct LaneConstants {
    double c[kCoefficientCount];
};

LaneConstants MakeLane(double period, double damping, double p, double cy,
                       const SubstepConstants& sub) {
    const double w = SpectrumOmega(period);
    const double k = w * w;
    const double c = (2 * damping) * w;
    const double pk = p * k;
    const double band = cy == kInfinity ? kInfinity : (1 - p) * (cy * kStrengthGravity);
    const double damped = 1 + c * sub.half;
    const double au = c + k * sub.h;
    const double aa = au * sub.h - k * sub.sixth;
    const double mg = -1 / (damped + k * sub.sixth);
    const double eg = mg * sub.sixth;
    return {{mg, mg * pk, mg * au, mg * aa, eg, eg * pk, sub.h + eg * au,
             (sub.h * sub.h - sub.sixth) + eg * aa, k - pk, band, -band,
             1 / (damped + pk * sub.sixth)}};
}

// One oscillator over the whole record, one sub-step after another: the reference the
// vector kernel below follows operation for operation. A sub-step of the linear
// acceleration method, relative to the ground, with Q the spring's force per unit mass:
//     x1 = x + hs v + hs^2 a/3 + hs^2 a1/6,  v1 = v + hs (a + a1)/2,  a1 + c v1 + Q(x1) = -g1.
// The state kept is (x, U, a, r): U = v - hs a/2, which the sub-step advances to
// U1 = U + hs a before a1 is known, and r = Q - p k x, the force measured from the line of
// slope p k through the origin (the yield lines are r = +/-band). On the elastic branch from
// the current point, Q = Q0 + k (x1 - x), the sub-step's a1 and x1 - x are sums over the
// state and g1 (the coefficients above); the last term of each is the one of a, the value
// the previous sub-step found last. The direction of the motion within the sub-step does not
// depend on the branch's slope (x1 - x has the sign of (1 + c hs/2)(hs u - hs^2/6 a) -
// hs^2/6 (g1 + c u + Q0), u = U + hs a, whatever the slope), so the elastic trial's
// direction is the sub-step's, and its r = r + (1 - p) k (x1 - x) can leave the band
// [-band, band] only on the side it moves to. When it does, by t, the solution lies on that
// yield line: solved there, r is the line's (the trial's clamped to the band), the
// acceleration the trial's plus t / Dp and the displacement the trial's plus hs^2/6 of that.
template <bool Hardening>
StrengthRun RunScalar(const LaneConstants& lane, const SubstepConstants& sub, const double* g,
                      std::size_t samples, std::size_t n) {
    const double* kc = lane.c;
    const double a0 = samples > 0 ? -g[0] : 0;
    double x = 0, U = -(sub.half * a0), a = a0, r = 0, peak = 0, energy = 0;
    ForEachSubstep(g, samples, SubstepWeights(n), [&](double ga, double gb) {
        const double gm = -((ga + gb) * 0.5);
        const double gr = gb + r;
        double a1e = kc[MG] * gr + kc[MU] * U;
        double dxe = kc[EG] * gr + kc[EU] * U;
        if constexpr (Hardening) {
            a1e = a1e + kc[MX] * x;
            dxe = dxe + kc[EX] * x;
        }
        a1e = a1e + kc[MA] * a;
        dxe = dxe + kc[EA] * a;
        const double re = r + kc[KP] * dxe;
        const double low = re > kc[NBand] ? re : kc[NBand];
        const double rc = low < kc[Band] ? low : kc[Band];
        const double da = (re - rc) * kc[IP];
        const double dx = dxe + sub.sixth * da;
        const double x1 = x + dx;
        energy = energy + gm * dx;
        U = U + sub.h * a;
        r = rc;
        a = a1e + da;
        x = x1;
        peak = std::fabs(x1) > peak ? std::fabs(x1) : peak;
    });
    return {peak, energy};
}

StrengthRun RunLaneScalar(const LaneConstants& lane, const SubstepConstants& sub, bool hardening,
                          const double* g, std::size_t samples, std::size_t n) {
    return hardening ? RunScalar<true>(lane, sub, g, samples, n)
                     : RunScalar<false>(lane, sub, g, samples, n);
}

// ---------------------------------------------------------------------------------------
// The vector kernel

// A wave is a set of oscillators run together. Lanes of equal sub-steps are grouped and
// each group padded to whole blocks with copies of its first lane, the groups with the
// most sub-steps first: the threads take the longest blocks first.
constexpr std::size_t kBlockVectors = 2;
constexpr std::size_t kBlockLanes = kVectorWidth * kBlockVectors;

struct Wave {
    std::size_t lanes = 0;
    std::vector<double> c[kCoefficientCount];
    std::vector<double> peak, energy;
    std::vector<std::size_t> blockSubsteps;
    std::vector<std::size_t> laneOfRun;  // where each run of the wave lies
};

// One block over the whole record: RunScalar's operations on kBlockLanes lanes at once.
// One clone per vector unit; the operations are the same on each, only their width differs.
template <bool Hardening>
__attribute__((always_inline)) inline void RunBlockOf(Wave& w, const double* g, std::size_t samples,
                                                      double dt, std::size_t block) {
    const std::size_t base = block * kBlockLanes;
    const std::size_t n = w.blockSubsteps[block];
    const SubstepConstants sub = MakeSubstep(dt, n);
    const SubstepWeights weights(n);
    Vec kc[kCoefficientCount][kBlockVectors];
    LoadLanes(kc, w.c, base);
    const Vec zero = {};
    const double a0 = samples > 0 ? -g[0] : 0;
    Vec x[kBlockVectors] = {}, U[kBlockVectors], a[kBlockVectors], r[kBlockVectors] = {};
    Vec peak[kBlockVectors] = {}, energy[kBlockVectors] = {};
    for (std::size_t j = 0; j < kBlockVectors; ++j) {
        a[j] = zero + a0;
        U[j] = zero - (sub.half * a0);
    }
    ForEachSubstep(
        g, samples, weights, [&](double ga, double gb) __attribute__((always_inline)) {
            const double gm = -((ga + gb) * 0.5);
#pragma GCC unroll 16  // the vectors' independent chains interleave
            for (std::size_t j = 0; j < kBlockVectors; ++j) {
                const Vec gr = gb + r[j];
                Vec a1e = kc[MG][j] * gr + kc[MU][j] * U[j];
                Vec dxe = kc[EG][j] * gr + kc[EU][j] * U[j];
                if constexpr (Hardening) {
                    a1e = a1e + kc[MX][j] * x[j];
                    dxe = dxe + kc[EX][j] * x[j];
                }
                a1e = a1e + kc[MA][j] * a[j];
                dxe = dxe + kc[EA][j] * a[j];
                const Vec re = r[j] + kc[KP][j] * dxe;
                const Vec low = re > kc[NBand][j] ? re : kc[NBand][j];
                const Vec rc = low < kc[Band][j] ? low : kc[Band][j];
                const Vec da = (re - rc) * kc[IP][j];
                const Vec dx = dxe + sub.sixth * da;
                const Vec x1 = x[j] + dx;
                energy[j] = energy[j] + gm * dx;
                U[j] = U[j] + sub.h * a[j];
                r[j] = rc;
                a[j] = a1e + da;
                x[j] = x1;
                const Vec ax = (Vec)((VecMask)x1 & kMagnitude);
                peak[j] = ax > peak[j] ? ax : peak[j];
            }
        });
    StoreLanes(w.peak, peak, base);
    StoreLanes(w.energy, energy, base);
}

__attribute__((target_clones("avx512f", "avx2", "default"))) void RunBlock(
    Wave& w, bool hardening, const double* g, std::size_t samples, double dt, std::size_t block) {
    if (hardening) {
        RunBlockOf<true>(w, g, samples, dt, block);
    } else {
        RunBlockOf<false>(w, g, samples, dt, block);
    }
}

// ---------------------------------------------------------------------------------------
// The search of one period

// The grid Cy_k = Cy(T, 1) 0.97^k, walked until every target is bracketed; then each
// target's bracket [Cy_k, Cy_(k-1)] is halved until it is 1e-4 of Cy wide.
constexpr double kGridRatio = 0.97;
constexpr double kBracketWidth = 1e-4;
// The walk ends here (Cy / Cy(T, 1) = 2.6e-11) without a bracket only for a response that
// no longer grows as the strength falls, which no record gives (see the note).
constexpr int kMaxGridSteps = 800;

// One oscillator the search asks for: the elastic one (grid = -1, target = -1), a grid
// point (grid = k), or the middle of a target's bracket (target = index).
struct RunRequest {
    std::size_t period = 0;
    int grid = -1;
    int target = -1;
    double cy = kInfinity;
};

class PeriodSearch {
public:
    PeriodSearch(double period, std::span<const DuctilityItem> targets)
        : stiffness_(SpectrumOmega(period) * SpectrumOmega(period)) {
        for (const DuctilityItem& t : targets) targets_.push_back(Target{t.ratio});
    }

    enum class Failure { None, Overflow, NoBracket };

    bool Done() const { return done_; }
    Failure Failed() const { return failed_; }
    double ElasticCy() const { return cy1_; }
    double ElasticEnergy() const { return elasticEnergy_; }
    double Cy(std::size_t t) const { return targets_[t].down; }
    double Energy(std::size_t t) const { return targets_[t].downEnergy; }

    // The runs wanted next, at most `chunk` points of the grid ahead.
    void Want(std::size_t period, int chunk, std::vector<RunRequest>& out) const {
        if (done_) return;
        if (!elastic_) {
            out.push_back(RunRequest{period, -1, -1, kInfinity});
            return;
        }
        // The targets already bracketed are halved while the grid goes on for the others.
        if (Walking()) {
            const int last = std::min(kMaxGridSteps, gridAsked_ + chunk);
            for (int k = gridAsked_ + 1; k <= last; ++k) {
                out.push_back(RunRequest{period, k, -1, GridCy(k)});
            }
        }
        for (std::size_t t = 0; t < targets_.size(); ++t) {
            if (targets_[t].bracketed && !targets_[t].settled) {
                out.push_back(RunRequest{period, -1, static_cast<int>(t), Middle(targets_[t])});
            }
        }
    }

    // The outcome of a run this search asked for.
    void Take(const RunRequest& r, const StrengthRun& run) {
        // Beyond these the spectra's values leave kLargestSpectrumValue (V_E = sqrt(2 E)).
        if (!(run.peak <= kLargestSpectrumValue && std::fabs(run.inputEnergy) <= 1e299)) {
            failed_ = Failure::Overflow;
            done_ = true;
            return;
        }
        if (r.grid < 0 && r.target < 0) {
            TakeElastic(run);
        } else if (r.grid >= 0) {
            grid_.resize(std::max<std::size_t>(grid_.size(), static_cast<std::size_t>(r.grid) + 1));
            grid_[static_cast<std::size_t>(r.grid)] =
                GridPoint{true, Ductility(run.peak, r.cy), run.inputEnergy};
            gridAsked_ = std::max(gridAsked_, r.grid);
        } else {
            Target& t = targets_[static_cast<std::size_t>(r.target)];
            if (Ductility(run.peak, r.cy) >= t.mu) {
                t.down = r.cy;
                t.downEnergy = run.inputEnergy;
            } else {
                t.up = r.cy;
            }
            Settle(t);
        }
    }

    // After the runs of a wave have been taken: brackets found on the grid, the end.
    void Advance() {
        if (done_ || !elastic_) return;
        while (scanned_ + 1 < grid_.size() && grid_[scanned_ + 1].known) {
            const std::size_t k = ++scanned_;
            for (Target& t : targets_) {
                if (t.bracketed || grid_[k].mu < t.mu) continue;
                t.bracketed = true;
                t.up = GridCy(static_cast<int>(k) - 1);
                t.down = GridCy(static_cast<int>(k));
                t.downEnergy = grid_[k].energy;
                Settle(t);
            }
        }
        if (Walking() && scanned_ >= static_cast<std::size_t>(kMaxGridSteps)) {
            failed_ = Failure::NoBracket;
            done_ = true;
            return;
        }
        done_ = std::all_of(targets_.begin(), targets_.end(),
                            [](const Target& t) { return t.settled; });
    }

    // What is left to run, roughly, in runs: for the progress only.
    double RunsLeft() const {
        if (done_) return 0;
        double grid = 0, halvings = 0;
        for (const Target& t : targets_) {
            if (t.settled || (!elastic_ && t.mu <= 1)) continue;
            if (t.bracketed) {
                halvings +=
                    std::max(0.0, std::ceil(std::log2((t.up - t.down) / (kBracketWidth * t.down))));
            } else {
                // The grid down to equal displacement (R = mu), then 9 halvings.
                const double k = std::log(t.mu) / -std::log(kGridRatio);
                grid = std::max({grid, k - static_cast<double>(gridAsked_), 1.0});
                halvings += 9;
            }
        }
        return grid + halvings + (elastic_ ? 0 : 1);
    }

private:
    struct Target {
        double mu;
        bool bracketed = false;
        bool settled = false;
        double up = 0, down = 0, downEnergy = 0;
    };
    struct GridPoint {
        bool known = false;
        double mu = 0;
        double energy = 0;
    };

    double GridCy(int k) const { return cy1_ * std::pow(kGridRatio, k); }
    static double Middle(const Target& t) { return t.down + (t.up - t.down) * 0.5; }
    double Ductility(double peak, double cy) const {
        return peak / ((cy * kStrengthGravity) / stiffness_);
    }
    bool Walking() const {
        return std::any_of(targets_.begin(), targets_.end(),
                           [](const Target& t) { return !t.bracketed; });
    }

    void TakeElastic(const StrengthRun& run) {
        elastic_ = true;
        cy1_ = (stiffness_ * run.peak) / kStrengthGravity;
        elasticEnergy_ = run.inputEnergy;
        if (!(cy1_ <= kLargestSpectrumValue)) {
            failed_ = Failure::Overflow;
            done_ = true;
            return;
        }
        if (!(cy1_ > 0)) {  // no motion: nothing to resist
            for (Target& t : targets_) {
                t.bracketed = t.settled = true;
                t.down = 0;
                t.downEnergy = run.inputEnergy;
            }
            done_ = true;
            return;
        }
        // Point 0 of the grid is the elastic oscillator itself: at Cy(T, 1) the bilinear one
        // just reaches its yield point at the peak, mu = 1 (whatever the rounding of Cy).
        grid_.assign(1, GridPoint{true, 1.0, run.inputEnergy});
        scanned_ = 0;
        for (Target& t : targets_) {
            if (grid_[0].mu >= t.mu) {
                t.bracketed = t.settled = true;
                t.down = cy1_;
                t.downEnergy = run.inputEnergy;
            }
        }
        done_ = std::all_of(targets_.begin(), targets_.end(),
                            [](const Target& t) { return t.settled; });
    }

    // A bracket is settled when it is narrow enough, or when no number lies inside it.
    static void Settle(Target& t) {
        const double middle = Middle(t);
        t.settled = t.up - t.down <= kBracketWidth * t.down || middle <= t.down || middle >= t.up;
    }

    double stiffness_;
    std::vector<Target> targets_;
    bool elastic_ = false;
    bool done_ = false;
    Failure failed_ = Failure::None;
    double cy1_ = 0, elasticEnergy_ = 0;
    std::vector<GridPoint> grid_;  // by k; [0] the elastic oscillator
    std::size_t scanned_ = 0;      // grid points looked at for brackets
    int gridAsked_ = 0;
};

// ---------------------------------------------------------------------------------------
// Both paths

// The grid points each period asks for at once in a wave: enough to fill the vectors
// while the periods still walking are few, few enough that little is run past a bracket.
constexpr int kGridChunk = 6;

std::optional<StudyError> RefuseSettings(double dt, const StrengthSettings& s) {
    const bool periodsOk = std::all_of(s.periods.begin(), s.periods.end(), [](double t) {
        const double omega = SpectrumOmega(t);
        return t > 0 && std::isfinite(t) && std::isfinite(omega * omega);
    });
    const bool ductilitiesOk = std::all_of(
        s.ductilities.begin(), s.ductilities.end(),
        [](const DuctilityItem& d) { return d.ratio >= 1 && d.ratio <= kMaxDuctility; });
    const bool ok = dt > 0 && std::isfinite(dt) && periodsOk && ductilitiesOk && s.damping >= 0 &&
                    s.damping < 1 && s.secondStiffnessRatio >= 0 && s.secondStiffnessRatio < 1;
    if (!ok) {
        return StudyError{"", Tr("所要耐力スペクトルを計算できません。\n時間刻み・周期・減衰定数・"
                                 "塑性率・第2剛性比を確認してください。")};
    }
    // The spectrum's own refusal of periods too short for the record.
    const DampingItem damping{"", s.damping};
    const std::vector<double> shortest =
        s.periods.empty()
            ? std::vector<double>{}
            : std::vector<double>{*std::min_element(s.periods.begin(), s.periods.end())};
    if (!shortest.empty() && SpectrumSubsteps(dt, shortest[0]) > kMaxSpectrumSubsteps) {
        const double none[] = {0.0};
        auto refusal = ComputeResponseSpectrum(std::span<const double>(none, 0), dt, shortest,
                                               std::span<const DampingItem>(&damping, 1));
        if (!refusal.ok()) return refusal.error();
    }
    return std::nullopt;
}

StudyError Overflow() {
    return StudyError{"", Tr("所要耐力スペクトルを計算できません。\n地震波の値が大きすぎるため、"
                             "応答が計算できる範囲を超えました。")};
}

StudyError NoBracket() {
    return StudyError{std::string(kDuctilityListBox),
                      Tr("所要耐力スペクトルを計算できません。\n降伏せん断力係数をどこまで下げても"
                         "目標の塑性率に達しない周期があります。")};
}

StudyResult<StrengthSpectrum> Collect(const StrengthSettings& s,
                                      const std::vector<PeriodSearch>& searches) {
    StrengthSpectrum out;
    out.periods = s.periods;
    out.damping = s.damping;
    out.secondStiffnessRatio = s.secondStiffnessRatio;
    out.ductilities = s.ductilities;
    out.curves.resize(s.ductilities.size());
    auto fits = [](double value) { return std::fabs(value) <= kLargestSpectrumValue; };
    auto speed = [](double energy) { return std::sqrt(2 * std::max(energy, 0.0)); };
    for (const PeriodSearch& search : searches) {
        if (search.Failed() == PeriodSearch::Failure::Overflow) return Overflow();
        if (search.Failed() == PeriodSearch::Failure::NoBracket) return NoBracket();
        const double cy1 = search.ElasticCy();
        const double ve1 = speed(search.ElasticEnergy());
        if (!fits(cy1) || !fits(ve1)) return Overflow();
        out.elasticCy.push_back(cy1);
        out.elasticVe.push_back(ve1);
        for (std::size_t t = 0; t < s.ductilities.size(); ++t) {
            const double cy = search.Cy(t);
            const double ve = speed(search.Energy(t));
            if (!fits(ve)) return Overflow();
            out.curves[t].cy.push_back(cy);
            out.curves[t].ve.push_back(ve);
            out.curves[t].r.push_back(cy1 > 0 ? cy1 / cy : 1.0);
        }
    }
    return out;
}

std::vector<PeriodSearch> MakeSearches(const StrengthSettings& s) {
    std::vector<PeriodSearch> searches;
    searches.reserve(s.periods.size());
    for (double period : s.periods) searches.emplace_back(period, s.ductilities);
    return searches;
}

// The elastic oscillator takes p = 0: the same numbers whatever p is.
LaneConstants LaneOf(const StrengthSettings& s, const RunRequest& r, double dt, std::size_t n) {
    return MakeLane(s.periods[r.period], s.damping, r.cy == kInfinity ? 0 : s.secondStiffnessRatio,
                    r.cy, MakeSubstep(dt, n));
}

Wave MakeWave(const StrengthSettings& s, double dt, const std::vector<RunRequest>& runs) {
    std::vector<std::size_t> substeps(runs.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        substeps[i] = SpectrumSubsteps(dt, s.periods[runs[i].period]);
    }
    std::vector<std::size_t> order(runs.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return substeps[a] > substeps[b]; });
    Wave w;
    std::vector<std::size_t> laneRun;  // the run of each lane (padding repeats a run)
    for (std::size_t i = 0; i < order.size();) {
        const std::size_t n = substeps[order[i]];
        const std::size_t first = laneRun.size();
        while (i < order.size() && substeps[order[i]] == n) laneRun.push_back(order[i++]);
        const std::size_t used = laneRun.size() - first;
        const std::size_t blocks = (used + kBlockLanes - 1) / kBlockLanes;
        laneRun.resize(first + blocks * kBlockLanes, laneRun[first]);
        w.blockSubsteps.insert(w.blockSubsteps.end(), blocks, n);
    }
    w.lanes = laneRun.size();
    for (auto& column : w.c) column.resize(w.lanes);
    w.peak.assign(w.lanes, 0.0);
    w.energy.assign(w.lanes, 0.0);
    w.laneOfRun.assign(runs.size(), 0);
    for (std::size_t lane = w.lanes; lane-- > 0;) {
        const std::size_t run = laneRun[lane];
        w.laneOfRun[run] = lane;  // the first lane of a run wins: its own, not a padding
        const LaneConstants k = LaneOf(s, runs[run], dt, substeps[run]);
        for (int c = 0; c < kCoefficientCount; ++c) w.c[c][lane] = k.c[c];
    }
    return w;
}

// The fraction of the work done, from the runs done and those the searches still expect,
// each weighted by its sub-steps.
class ProgressEstimate {
public:
    ProgressEstimate(const StrengthSettings& s, double dt) {
        for (double t : s.periods) weight_.push_back(static_cast<double>(SpectrumSubsteps(dt, t)));
    }
    void Done(std::size_t period) { done_ += weight_[period]; }
    double DoneWeight() const { return done_; }
    // The work the searches still expect, done included.
    double Total(const std::vector<PeriodSearch>& searches) const {
        double left = 0;
        for (std::size_t p = 0; p < searches.size(); ++p) {
            left += weight_[p] * searches[p].RunsLeft();
        }
        return std::max(done_ + left, 0.0);
    }
    // The same without the runs of a wave about to be run (at least those runs' weight
    // are in Total: a search expects at least the runs it asks for).
    double LeftAfter(const std::vector<PeriodSearch>& searches,
                     const std::vector<RunRequest>& runs) const {
        double wave = 0;
        for (const RunRequest& r : runs) wave += weight_[r.period];
        return std::max(Total(searches) - done_ - wave, 0.0);
    }
    double Fraction(const std::vector<PeriodSearch>& searches) const {
        const double total = Total(searches);
        return total > 0 ? done_ / total : 1;
    }

private:
    std::vector<double> weight_;
    double done_ = 0;
};

}  // namespace

StudyResult<std::vector<DuctilityItem>> ParseDuctilityList(std::string_view text) {
    const std::string range = Tr("塑性率は 1 以上 100 以下で入力してください。");
    std::vector<DuctilityItem> items;
    for (const std::string& item : SplitStudyList(text)) {
        const std::optional<double> value = StudyBoxNumber(item);
        if (!value) {
            return Refuse(kDuctilityListBox,
                          Tr("塑性率の「{1}」は数値ではありません。", item) + "\n" + range);
        }
        if (!(*value >= 1 && *value <= kMaxDuctility)) {
            return Refuse(kDuctilityListBox,
                          (*value < 1 ? Tr("塑性率の「{1}」は1 未満です。", item)
                                      : Tr("塑性率の「{1}」は100 を超えています。", item)) +
                              "\n" + range);
        }
        const bool seen = std::any_of(items.begin(), items.end(),
                                      [&](const DuctilityItem& d) { return d.ratio == *value; });
        if (seen) continue;
        if (items.size() == kMaxDuctilityCount) {
            return Refuse(kDuctilityListBox,
                          Tr("塑性率が多すぎます。\n塑性率は 20 個までにしてください。"));
        }
        items.push_back(DuctilityItem{NumberText(*value), *value});
    }
    if (items.empty()) {
        return Refuse(kDuctilityListBox,
                      Tr("塑性率が入力されていません。\n塑性率を 1 つ以上、コンマで区切って"
                         "入力してください（例：1, 2, 4）。"));
    }
    return items;
}

StudyResult<double> ParseStrengthDamping(std::string_view text) {
    std::string number(text);
    const std::size_t last = number.find_last_not_of(" \t");
    number.resize(last == std::string::npos ? 0 : last + 1);
    if (number.ends_with("%")) number.pop_back();
    if (number.ends_with("％")) number.resize(number.size() - 3);
    const std::optional<double> percent = StudyBoxNumber(number);
    if (!percent || !(*percent >= 0 && *percent < 100)) {
        return Refuse(kStrengthDampingBox,
                      Tr("減衰定数「{1}」は 0 以上 100 未満の % で入力してください。", text));
    }
    return *percent / 100;
}

StudyResult<double> ParseSecondStiffnessRatio(std::string_view text) {
    const std::optional<double> p = StudyBoxNumber(text);
    if (!p || !(*p >= 0 && *p < 1)) {
        return Refuse(kSecondStiffnessBox,
                      Tr("第2剛性比「{1}」は 0 以上 1 未満で入力してください。", text));
    }
    return *p;
}

std::string DefaultStrengthDampingText(std::string_view dampingBoxText) {
    const double building = LeadingNumber(dampingBoxText);
    return building >= 0 && building < 100 ? NumberText(building) : "5";
}

StudyResult<StrengthSettings> ReadStrengthSettings(const StrengthTexts& texts) {
    StrengthSettings s;
    const StudyResult<double> damping = ParseStrengthDamping(texts.damping);
    if (!damping) return damping.error();
    auto ductilities = ParseDuctilityList(texts.ductilities);
    if (!ductilities) return ductilities.error();
    const StudyResult<double> p = ParseSecondStiffnessRatio(texts.secondStiffnessRatio);
    if (!p) return p.error();
    const StudyResult<PeriodRange> range =
        texts.periodOption.empty()
            ? ParsePeriodRange(texts.periodMin, texts.periodMax, texts.periodCount)
            : ParsePeriodRangeOption(texts.periodOption);
    if (!range) return range.error();
    s.damping = *damping;
    s.ductilities = std::move(ductilities).value();
    s.secondStiffnessRatio = *p;
    s.periods = SpectrumPeriods(*range);
    return s;
}

StrengthRun RunStrengthOscillator(std::span<const double> ground, double dt, double period,
                                  double damping, double secondStiffnessRatio, double cy) {
    const std::size_t n = SpectrumSubsteps(dt, period);
    const SubstepConstants sub = MakeSubstep(dt, n);
    const double p = cy == kInfinity ? 0 : secondStiffnessRatio;
    return RunLaneScalar(MakeLane(period, damping, p, cy, sub), sub, p > 0, ground.data(),
                         ground.size(), n);
}

StudyResult<StrengthSpectrum> ComputeStrengthSpectrum(std::span<const double> ground, double dt,
                                                      const StrengthSettings& settings,
                                                      const StrengthProgress& progress) {
    if (const auto refusal = RefuseSettings(dt, settings)) return *refusal;
    std::vector<PeriodSearch> searches = MakeSearches(settings);
    ProgressEstimate estimate(settings, dt);
    double reported = 0;
    auto cancelled = [&progress] {
        return progress.cancel != nullptr && progress.cancel->load(std::memory_order_relaxed);
    };
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const bool hardening = settings.secondStiffnessRatio > 0;
    std::vector<RunRequest> runs;
    for (;;) {
        runs.clear();
        for (std::size_t p = 0; p < searches.size(); ++p) searches[p].Want(p, kGridChunk, runs);
        if (runs.empty()) break;
        Wave w = MakeWave(settings, dt, runs);
        const std::size_t blocks = w.blockSubsteps.size();
        const std::size_t workers = std::min<std::size_t>({cores, blocks, 8});
        // Within a wave the fraction grows with the sub-steps of the blocks done.
        const double total = estimate.Total(searches);
        const double doneBefore = estimate.DoneWeight();
        const double waveWeight = total - doneBefore - estimate.LeftAfter(searches, runs);
        double blockWeight = 0;
        for (std::size_t n : w.blockSubsteps) blockWeight += static_cast<double>(n);
        std::atomic<std::size_t> next{0};
        std::atomic<bool> stop{false};
        double doneInWave = 0;  // by this thread
        auto work = [&](bool caller) {
            for (std::size_t block = next++; block < blocks; block = next++) {
                if (cancelled()) {
                    stop = true;
                    return;
                }
                RunBlock(w, hardening, ground.data(), ground.size(), dt, block);
                if (caller && progress.report && total > 0) {
                    // Blocks run by the other threads are not counted: never too much.
                    doneInWave += static_cast<double>(w.blockSubsteps[block]);
                    const double fraction =
                        (doneBefore + waveWeight * (doneInWave / blockWeight)) / total;
                    // 1 is for the end only.
                    if (fraction > reported && fraction < 1) {
                        reported = fraction;
                        progress.report(reported);
                    }
                }
            }
        };
        std::vector<std::thread> threads;
        for (std::size_t t = 1; t < workers; ++t) {
            try {
                threads.emplace_back(work, false);
            } catch (const std::system_error&) {
                break;
            }
        }
        work(true);
        for (std::thread& thread : threads) thread.join();
        if (stop || cancelled()) {
            return StudyError{std::string(kStrengthCancelled), Tr("計算を中止しました。")};
        }
        for (std::size_t r = 0; r < runs.size(); ++r) {
            const std::size_t lane = w.laneOfRun[r];
            searches[runs[r].period].Take(runs[r], {w.peak[lane], w.energy[lane]});
            estimate.Done(runs[r].period);
        }
        for (PeriodSearch& search : searches) search.Advance();
        if (progress.report) {
            const double fraction = estimate.Fraction(searches);
            if (fraction > reported) {
                reported = fraction;
                progress.report(reported);
            }
        }
    }
    return Collect(settings, searches);
}

StudyResult<StrengthSpectrum> ComputeStrengthSpectrumScalar(std::span<const double> ground,
                                                            double dt,
                                                            const StrengthSettings& settings) {
    if (const auto refusal = RefuseSettings(dt, settings)) return *refusal;
    std::vector<PeriodSearch> searches = MakeSearches(settings);
    std::vector<RunRequest> runs;
    for (std::size_t p = 0; p < searches.size(); ++p) {
        const std::size_t n = SpectrumSubsteps(dt, settings.periods[p]);
        const SubstepConstants sub = MakeSubstep(dt, n);
        for (;;) {
            runs.clear();
            searches[p].Want(p, 1, runs);
            if (runs.empty()) break;
            for (const RunRequest& r : runs) {
                searches[p].Take(r, RunLaneScalar(LaneOf(settings, r, dt, n), sub,
                                                  settings.secondStiffnessRatio > 0, ground.data(),
                                                  ground.size(), n));
            }
            searches[p].Advance();
        }
    }
    return Collect(settings, searches);
}

}  // namespace kestrel
