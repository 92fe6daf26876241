#include "study/MethodComparison.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>

#include "analysis/ProgramLimits.h"
#include "runtime/Catalogue.h"

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
    // omega dt, with the program's pi: the damped period the ratio is taken against is the
    // program's 2 pi / omega_d.
    const double phase = 2 * program::kPi * stepRatio / root;
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
    p.periodElongation = (2 * program::kPi * stepRatio / angle - 1) * 100;
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
        if (!limited) return Tr("分割時間では安定しません (Δt/T = {1})", Fixed(m.stepRatio, 3));
        return Tr("分割時間が安定限界を超えています (Δt/T = {1} > {2})",
                  RatioBeyond(m.stepRatio, limit), limit);
    }
    const std::string numbers =
        limited ? Tr(" (Δt/T = {1}、安定限界 {2})", Fixed(m.stepRatio, 3), limit)
                : " (Δt/T = " + Fixed(m.stepRatio, 3) + ")";
    if (p.vibration == FreeVibration::Alternates) {
        return Tr("2Δt周期の数値振動（減衰）：応答が 1 ステップごとに符号を変えながら減衰します") +
               numbers;
    }
    return Tr("振動しない減衰：応答が振動せずに減衰します") + numbers;
}

namespace {

void FinishSeries(MethodSeries& m, std::size_t points, double timeStep) {
    m.peak = 0;
    for (double x : m.displacement) m.peak = std::max(m.peak, std::fabs(x));
    if (m.displacement.size() < points) {
        m.divergedAt = static_cast<double>(m.displacement.size()) * timeStep;
    }
}

// The first `points` displacements of a response, or as many as it holds.
std::vector<double> Displacements(const Response& r, std::size_t points) {
    const std::span<const double> x = r.displacement();
    return {x.begin(), x.begin() + static_cast<std::ptrdiff_t>(std::min(points, x.size()))};
}

}  // namespace

MethodComparison CompareMethods(const RunOutcome& run) {
    if (!Stepped(run)) {
        MethodComparison out;
        out.runStatus = run.status;
        out.runFault = run.fault;
        return out;
    }
    return CompareMethods(*run.inputs, *run.motion, *run.response);
}

MethodComparison CompareMethods(const RunInputs& inputs, const GroundMotion& motion,
                                const Response& linear) {
    MethodComparison out;
    out.runStatus = linear.complete() ? RunOutcome::Status::Completed : RunOutcome::Status::Faulted;
    out.runFault = linear.fault();
    out.compared = true;

    const double ts = linear.stepTime();
    const double h = inputs.building.dampingRatio;
    out.timeStep = ts;
    out.naturalPeriod = inputs.naturalPeriod;
    out.dampingRatio = h;
    out.stepRatio = ts / inputs.naturalPeriod;
    out.stabilityLimit = StabilityLimit(StepMethod::LinearAcceleration, h)
                             .value_or(std::numeric_limits<double>::infinity());
    out.linearProperties = MethodStepProperties(StepMethod::LinearAcceleration, out.stepRatio, h);
    out.averageProperties = MethodStepProperties(StepMethod::AverageAcceleration, out.stepRatio, h);

    // The rows of the result file, points 0 .. pointCount - 2: the run's own points, and past
    // a fault of the run the ground motion's own values. A point whose ground acceleration
    // cannot be computed ends them there.
    const int points = std::max(0, linear.pointCount() - 1);
    const int stepped = linear.completedPoints();
    out.time.reserve(static_cast<std::size_t>(points));
    out.ground.reserve(static_cast<std::size_t>(points));
    try {
        for (int i = 0; i < points; ++i) {
            if (i < stepped) {
                out.time.push_back(linear.time()[i]);
                out.ground.push_back(linear.ground()[i]);
                continue;
            }
            const double g = GroundAt(motion, i);
            const double t = static_cast<double>(i) * ts;
            if (!std::isfinite(t)) break;
            out.time.push_back(t);
            out.ground.push_back(g);
        }
    } catch (const FaultError&) {
    }
    const std::size_t n = out.time.size();

    // The other two methods from the run's own point 0 over the same n points, each as far as
    // it stays finite. They step over the ground accelerations just listed (the run's inputs
    // with a record of them, whose steps take the same constants), so that a steady wave is
    // not computed again for each method.
    out.linear.displacement = Displacements(linear, n);
    RunInputs over = inputs;
    over.pointCount = static_cast<int>(n);
    if (FaultOr<RecordedMotion> listed = MakeRecordedMotion(ts, out.ground)) {
        const GroundMotion samples(std::move(listed).value());
        out.exact.displacement = Displacements(Analyze(over, samples, StepperKind::Exact), n);
        out.average.displacement =
            Displacements(Analyze(over, samples, StepperKind::AverageAcceleration), n);
    }

    FinishSeries(out.linear, n, ts);
    FinishSeries(out.exact, n, ts);
    FinishSeries(out.average, n, ts);
    if (!linear.complete()) {
        out.linear.divergedAt = static_cast<double>(linear.completedPoints()) * ts;
    }
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

MethodComparison CompareMethods(const RunTexts& texts, ExcitationCase excitation,
                                const std::optional<WaveRecord>& record) {
    RunHooks hooks;
    hooks.loadWaveRecord = [&record] { return record; };
    return CompareMethods(RunFromTexts(texts, excitation, hooks));
}

}  // namespace kestrel
