#include "study/MethodComparison.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <utility>

#include "analysis/AnalysisState.h"
#include "study/ExactResponse.h"

namespace kestrel {

namespace {

double Beta(StepMethod method) {
    return method == StepMethod::LinearAcceleration ? 1.0 / 6.0 : 0.25;
}

// The one-step amplification matrix of free vibration for omega = 1 and dt = phase: the
// state (x, v) after one step of Newmark gamma = 1/2 and the method's beta, the
// acceleration always in equilibrium.
struct Matrix2 {
    double m11, m12, m21, m22;
};

Matrix2 AmplificationMatrix(double beta, double phase, double h) {
    const double dt = phase;
    const double denominator = 1 + h * dt + beta * dt * dt;
    auto step = [&](double x, double v, double& x1, double& v1) {
        const double a = -(2 * h * v + x);
        const double a1 =
            -((x + dt * v + dt * dt * (0.5 - beta) * a) + 2 * h * (v + dt * 0.5 * a)) / denominator;
        v1 = v + dt * 0.5 * (a + a1);
        x1 = x + dt * v + dt * dt * ((0.5 - beta) * a + beta * a1);
    };
    Matrix2 m{};
    step(1, 0, m.m11, m.m21);
    step(0, 1, m.m12, m.m22);
    return m;
}

}  // namespace

StepProperties MethodStepProperties(StepMethod method, double stepRatio, double h) {
    StepProperties p;
    if (!(stepRatio > 0) || !(std::fabs(h) < 1)) return p;
    const double root = std::sqrt(1 - h * h);
    const double phase = 2 * std::numbers::pi * stepRatio / root;  // omega dt
    const Matrix2 m = AmplificationMatrix(Beta(method), phase, h);
    const double trace = m.m11 + m.m22;
    const double det = m.m11 * m.m22 - m.m12 * m.m21;
    const double disc = trace * trace - 4 * det;
    // The exact free vibration shrinks by e^(-h omega dt) a step; a method is stable while
    // its vibration does not grow faster than that (and never grows when h >= 0).
    const double bound = std::max(1.0, std::exp(-h * phase)) * (1 + 1e-12);
    if (disc >= 0) {
        // Two real eigenvalues: the one larger in size decides the motion.
        const double s = std::sqrt(disc);
        const double first = (trace + s) / 2;
        const double second = (trace - s) / 2;
        const double larger = std::fabs(first) >= std::fabs(second) ? first : second;
        p.spectralRadius = std::fabs(larger);
        p.stable = p.spectralRadius <= bound;
        p.vibration = larger < 0 ? FreeVibration::Alternates : FreeVibration::Creeps;
        return p;
    }
    const double modulus = std::sqrt(det);
    const double angle = std::atan2(std::sqrt(-disc), trace);
    p.spectralRadius = modulus;
    p.stable = modulus <= bound;
    if (!p.stable) return p;
    const double logModulus = std::log(modulus);
    p.periodElongation = (2 * std::numbers::pi * stepRatio / angle - 1) * 100;
    p.apparentDamping = -logModulus / std::hypot(angle, logModulus);
    return p;
}

std::optional<double> StabilityLimit(StepMethod method, double h) {
    if (method == StepMethod::AverageAcceleration) return std::nullopt;
    // w_n dt = 2 sqrt(3) whatever the damping: dt/T_d = dt w_n sqrt(1 - h^2) / (2 pi).
    if (h == 0) return kLinearAccelerationLimit;
    if (h > 0 && h < 1) return kLinearAccelerationLimit * std::sqrt(1 - h * h);
    double lo = 0.01;
    double hi = 2;
    if (MethodStepProperties(method, hi, h).stable) return std::nullopt;
    for (int i = 0; i < 100; ++i) {
        const double mid = (lo + hi) / 2;
        (MethodStepProperties(method, mid, h).stable ? lo : hi) = mid;
    }
    return lo;
}

std::vector<ElongationPoint> ElongationCurve(StepMethod method, double h, double maxRatio,
                                             int count) {
    std::vector<ElongationPoint> points;
    count = std::max(count, 2);
    auto swings = [&](double ratio) { return MethodStepProperties(method, ratio, h).HasPeriod(); };
    for (int k = 0; k < count; ++k) {
        const double ratio = maxRatio * k / (count - 1);
        if (ratio > 0 && !swings(ratio)) {
            // The last ratio that still swings, between the previous point and this one.
            double lo = points.empty() ? 0 : points.back().stepRatio;
            double hi = ratio;
            for (int i = 0; i < 60; ++i) {
                const double mid = (lo + hi) / 2;
                (swings(mid) ? lo : hi) = mid;
            }
            if (lo > 0)
                points.push_back({lo, MethodStepProperties(method, lo, h).periodElongation});
            break;
        }
        const double elongation =
            ratio == 0 ? 0.0 : MethodStepProperties(method, ratio, h).periodElongation;
        points.push_back({ratio, elongation});
    }
    return points;
}

namespace {

// The number with the given digits after the point, the same in every locale.
std::string Fixed(double value, int digits) {
    char text[64];
    const auto written =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, digits);
    return std::string(text, written.ptr);
}

double Read(const std::string& text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// A ratio past the limit with as many decimals (three at least) as it takes to show that it
// is larger than the limit shown: "0.620 > 0.551", "0.5514 > 0.551".
std::string RatioBeyond(double ratio, const std::string& shownLimit) {
    const double limit = Read(shownLimit);
    for (int decimals = 3; decimals < 9; ++decimals) {
        const std::string shown = Fixed(ratio, decimals);
        if (Read(shown) > limit) return shown;
    }
    return Fixed(ratio, 12);
}

}  // namespace

std::string LinearStepNote(const MethodComparison& m) {
    const StepProperties& p = m.linearProperties;
    if (!m.compared || p.HasPeriod()) return "";
    const bool limited = std::isfinite(m.stabilityLimit);
    const std::string limit = limited ? Fixed(m.stabilityLimit, 3) : "";
    if (!p.stable) {
        if (!limited) return "分割時間では安定しません (Δt/T = " + Fixed(m.stepRatio, 3) + ")";
        return "分割時間が安定限界を超えています (Δt/T = " + RatioBeyond(m.stepRatio, limit) +
               " > " + limit + ")";
    }
    const std::string numbers =
        " (Δt/T = " + Fixed(m.stepRatio, 3) + (limited ? "、安定限界 " + limit : "") + ")";
    if (p.vibration == FreeVibration::Alternates) {
        return "2Δt周期の数値振動（減衰）：応答が 1 ステップごとに符号を変えながら減衰します" +
               numbers;
    }
    return "振動しない減衰：応答が振動せずに減衰します" + numbers;
}

namespace {

void FinishSeries(MethodSeries& m, std::size_t points, double timeStep) {
    m.peak = 0;
    for (double x : m.displacement) m.peak = std::max(m.peak, std::fabs(x));
    if (m.displacement.size() < points) {
        m.divergedAt = static_cast<double>(m.displacement.size()) * timeStep;
    }
}

// Newmark gamma 1/2, beta 1/4 with the run's constants, from the run's state at point 0.
std::vector<double> AverageAcceleration(const AnalysisState& s, std::span<const double> ground) {
    std::vector<double> out;
    if (ground.empty()) return out;
    out.reserve(ground.size());
    const double ts = s.TimeStep;
    const double km = s.StiffnessPerMass;
    const double cm = s.DampingPerMass;
    const double denominator = 1 + cm * ts * 0.5 + km * ts * ts * 0.25;
    double x = s.DisSeries[0];
    double v = s.VelSeries[0];
    double a = s.AccSeries[0];
    out.push_back(x);
    for (std::size_t i = 1; i < ground.size(); ++i) {
        const double a1 =
            -(km * (x + ts * v + ts * ts * 0.25 * a) + cm * (v + ts * 0.5 * a) + ground[i]) /
            denominator;
        const double v1 = v + ts * 0.5 * (a + a1);
        const double x1 = x + ts * v + ts * ts * 0.25 * (a + a1);
        if (!std::isfinite(a1) || !std::isfinite(v1) || !std::isfinite(x1)) break;
        a = a1;
        v = v1;
        x = x1;
        out.push_back(x);
    }
    return out;
}

}  // namespace

MethodComparison CompareMethods(const RunTexts& texts, ExcitationCase excitation,
                                const std::optional<WaveRecord>& record) {
    thread_local std::unique_ptr<AnalysisState> scratch;
    if (!scratch) scratch = std::make_unique<AnalysisState>();
    return CompareMethods(*scratch, texts, excitation, record);
}

MethodComparison CompareMethods(AnalysisState& s, const RunTexts& texts, ExcitationCase excitation,
                                const std::optional<WaveRecord>& record) {
    MethodComparison out;
    RunHooks hooks;
    hooks.loadWaveRecord = [&record]() { return record; };
    out.run = RunAnalysis(s, texts, excitation, hooks);

    // The points the run computed: all of them, or those before the step that failed.
    int valid = s.StepCount;
    if (out.run.status == RunResult::Status::Faulted) {
        const FaultSite site = out.run.fault.site;
        if (site != FaultSite::Integration && site != FaultSite::GroundMotion) return out;
        // The step index holds the point whose step failed. The forced cases' finishing
        // pass (absolute acceleration) leaves it at 1 and fails only after every point was
        // stepped, which the time of the last point, written by its step, shows.
        valid = static_cast<int>(s.StepIndex);
        const bool finishing = site == FaultSite::Integration && IsForced(excitation) &&
                               valid == 1 && s.StepCount > 2 && s.TimeSeries[s.StepCount - 1] != 0;
        if (finishing) valid = s.StepCount;
    } else if (out.run.status != RunResult::Status::Completed) {
        return out;
    }
    out.compared = true;

    const double ts = s.TimeStep;
    out.timeStep = ts;
    out.naturalPeriod = s.NaturalPeriod;
    out.dampingRatio = s.DampingRatio;
    out.stepRatio = ts / s.NaturalPeriod;
    out.stabilityLimit = StabilityLimit(StepMethod::LinearAcceleration, s.DampingRatio)
                             .value_or(std::numeric_limits<double>::infinity());
    out.linearProperties =
        MethodStepProperties(StepMethod::LinearAcceleration, out.stepRatio, s.DampingRatio);
    out.averageProperties =
        MethodStepProperties(StepMethod::AverageAcceleration, out.stepRatio, s.DampingRatio);

    // The rows of the result file: points 0 .. StepCount - 2. Past a fault the steady
    // waves' input is computed by the run's own formula; a fault in that formula ends the
    // input there.
    const bool steady = excitation == ExcitationCase::SteadyAcceleration ||
                        excitation == ExcitationCase::SteadyDisplacement;
    int points = std::max(0, s.StepCount - 1);
    if (out.run.status == RunResult::Status::Faulted &&
        out.run.fault.site == FaultSite::GroundMotion) {
        points = std::min(points, valid);
    }
    const double halfPeriod = s.ForcingPeriod / 2;
    out.time.reserve(static_cast<std::size_t>(points));
    out.ground.reserve(static_cast<std::size_t>(points));
    for (int i = 0; i < points; ++i) {
        if (i < valid) {
            out.time.push_back(s.TimeSeries[i]);
            out.ground.push_back(s.CacSeries[i]);
            continue;
        }
        double g = s.CacSeries[i];
        if (steady) g = std::sin(((ts * Pi) * i) / halfPeriod) * s.ForcingAmplitude;
        const double t = static_cast<double>(i) * ts;
        if (!std::isfinite(g) || !std::isfinite(t)) break;
        out.time.push_back(t);
        out.ground.push_back(g);
    }
    const std::size_t n = out.time.size();

    out.linear.displacement.assign(s.DisSeries.data(),
                                   s.DisSeries.data() + std::min<std::size_t>(n, valid));
    ResponseHistory exact = ExactResponse(out.ground, ts, std::sqrt(s.StiffnessPerMass),
                                          s.DampingRatio, s.DisSeries[0], s.VelSeries[0]);
    out.exact.displacement = std::move(exact.displacement);
    out.average.displacement = AverageAcceleration(s, out.ground);

    FinishSeries(out.linear, n, ts);
    FinishSeries(out.exact, n, ts);
    FinishSeries(out.average, n, ts);
    if (valid < s.StepCount) out.linear.divergedAt = static_cast<double>(valid) * ts;
    if (out.exact.peak > 0) {
        const double reference = out.exact.peak;
        auto error = [reference](const MethodSeries& m) {
            return (m.peak - reference) / reference;
        };
        out.linear.peakError = error(out.linear);
        out.exact.peakError = 0.0;
        out.average.peakError = error(out.average);
    }
    return out;
}

}  // namespace kestrel
