// How accurate is the linear acceleration method? The program's own run set beside the
// exact solution and the average acceleration method for the same input, and the
// properties of both step methods from their amplification matrices.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/RunFromTexts.h"
#include "analysis/WaveRecord.h"

namespace kestrel {

// The two Newmark methods compared (gamma = 1/2 for both).
enum class StepMethod {
    LinearAcceleration,   // beta = 1/6, the program's method
    AverageAcceleration,  // beta = 1/4
};

// The stability limit of the linear acceleration method without damping: dt/T = sqrt(3)/pi.
// With damping h >= 0 the limit stays w_n dt = 2 sqrt(3), which in the program's ratio (T the
// damped period, computed with the program's pi) is dt/T = sqrt(3)/pi sqrt(1 - h^2), pi the
// program's 3.1415926535897.
inline constexpr double kLinearAccelerationLimit = 0.5513288954218084;

// How the computed free vibration moves, from the eigenvalues of the amplification matrix.
enum class FreeVibration {
    Swings,      // a complex pair: it swings with a period and a damping of its own
    Alternates,  // real, the larger in size negative: it changes sign every step (period 2 dt)
    Creeps,      // real, the larger in size positive: it dies away without swinging
};

// What one step of a method does to a free vibration, from the eigenvalues of its
// amplification matrix (the state x, v after one step against the state before).
struct StepProperties {
    // The spectral radius is at most 1 + 1e-12 (for a negative damping, at most the exact
    // growth of a step, as closely): the computed vibration does not blow up.
    bool stable = false;
    FreeVibration vibration = FreeVibration::Swings;
    // Stable swings only (HasPeriod): the period of the computed free vibration against the
    // exact damped period, (T' - T) / T in percent, and the damping ratio it shows.
    double periodElongation = 0;
    double apparentDamping = 0;
    double spectralRadius = 0;  // largest eigenvalue modulus
    bool HasPeriod() const { return stable && vibration == FreeVibration::Swings; }
};

// stepRatio is dt / T with T the damped natural period 2 pi / (w sqrt(1 - h^2)), as the
// program shows it; 0 <= h < 1.
StepProperties MethodStepProperties(StepMethod method, double stepRatio, double h);

// The largest dt/T at which the method is still stable for damping h (the linear
// acceleration method's limit: sqrt(3)/pi sqrt(1 - h^2) for h >= 0; found from the spectral
// radius for a negative h). The average acceleration method has none: infinity is not
// returned, std::nullopt is.
std::optional<double> StabilityLimit(StepMethod method, double h);

struct ElongationPoint {
    double stepRatio = 0;         // dt / T
    double periodElongation = 0;  // percent
};

// Period elongation against dt/T at `count` (at least 2 are taken) evenly spaced ratios from 0 to
// `maxRatio`. The curve ends where the computed vibration stops being a stable swing (for the
// linear acceleration method, at its stability limit without damping and a little before it
// with damping): the points past it are left out and that ratio itself is the last point.
std::vector<ElongationPoint> ElongationCurve(StepMethod method, double h, double maxRatio,
                                             int count);

// One method's displacement over the compared time points.
struct MethodSeries {
    // Relative displacement, cm, one per time point while the method stayed finite; shorter
    // than the time points when it diverged.
    std::vector<double> displacement;
    double peak = 0;                   // largest |displacement| over its points
    std::optional<double> peakError;   // (peak - exact peak) / exact peak
    std::optional<double> divergedAt;  // s, time of the first point not computed
};

// The three responses of one run.
struct MethodComparison {
    // The program's own run: Completed, EndedEarly (no record) or Faulted with its fault.
    // When it faulted while stepping (FaultSite::Integration: the response overflowed;
    // FaultSite::GroundMotion: the steady wave could not be computed), the points before the
    // fault are compared and `linear.divergedAt` says where; any other fault leaves
    // everything below empty.
    RunOutcome::Status runStatus = RunOutcome::Status::Faulted;
    std::optional<Fault> runFault;  // Faulted only
    bool compared = false;          // the series below are filled

    std::vector<double> time;    // s: the points the result file writes, 0 .. pointCount - 2
    std::vector<double> ground;  // ground acceleration at those points, cm/s^2
    MethodSeries linear;         // the run's own displacement, bit for bit
    MethodSeries exact;          // exact for the ground acceleration linear between points
    MethodSeries average;        // Newmark gamma 1/2, beta 1/4 on the same steps

    double timeStep = 0;       // s
    double naturalPeriod = 0;  // s, the run's natural period (damped)
    double dampingRatio = 0;
    double stepRatio = 0;                              // timeStep / naturalPeriod
    double stabilityLimit = kLinearAccelerationLimit;  // for the damping at hand
    StepProperties linearProperties;
    StepProperties averageProperties;
};

// What the linear acceleration method does at the comparison's step when it is not a stable
// swing, in the windows' words with Δt/T and the limit to three decimals; empty otherwise:
//   "分割時間が安定限界を超えています (Δt/T = 0.550 > 0.540)"
//   "2Δt周期の数値振動（減衰）：応答が 1 ステップごとに符号を変えながら減衰します
//    (Δt/T = 0.530、安定限界 0.540)"
//   "振動しない減衰：応答が振動せずに減衰します (Δt/T = 0.108、安定限界 0.240)"
std::string LinearStepNote(const MethodComparison& comparison);

// Compares the methods on a run of "解析開始" (RunFromTexts): its own displacement beside the
// exact step and the average acceleration method, each stepped from the run's point 0 over
// the run's inputs and ground motion.
MethodComparison CompareMethods(const RunOutcome& run);

// The same for a run that stepped, given by its parts: its inputs, its ground motion and its
// response (complete, or up to the fault that stopped it in its steps, which is then the
// comparison's runFault).
MethodComparison CompareMethods(const RunInputs& inputs, const GroundMotion& motion,
                                const Response& response);

// Runs the analysis exactly as "解析開始" does (RunFromTexts on the same texts and case; the
// record is the one confirmed in the wave chooser, used in the earthquake case only and
// std::nullopt there when none is confirmed) and compares the methods on that run.
MethodComparison CompareMethods(const RunTexts& texts, ExcitationCase excitation,
                                const std::optional<WaveRecord>& record);

}  // namespace kestrel
