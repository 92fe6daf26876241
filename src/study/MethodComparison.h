// How accurate is the linear acceleration method? The program's own run set beside the
// exact solution and the average acceleration method for the same input, and the
// properties of both step methods from their amplification matrices.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "analysis/Run.h"
#include "analysis/WaveRecord.h"

namespace kestrel {

// The two Newmark methods compared (gamma = 1/2 for both).
enum class StepMethod {
    LinearAcceleration,   // beta = 1/6, the program's method
    AverageAcceleration,  // beta = 1/4
};

// The stability limit of the linear acceleration method without damping: dt/T = sqrt(3)/pi.
inline constexpr double kLinearAccelerationLimit = 0.55132889542179204;

// What one step of a method does to a free vibration, from the eigenvalues of its
// amplification matrix (the state x, v after one step against the state before).
struct StepProperties {
    // A pair of complex eigenvalues whose modulus is at most 1 (or, for a negative damping,
    // at most the exact growth of a step): the computed vibration swings and does not blow up.
    bool stable = false;
    // Stable only: the period of the computed free vibration against the exact damped
    // period, (T' - T) / T in percent, and the damping ratio the computed vibration shows.
    double periodElongation = 0;
    double apparentDamping = 0;
    double spectralRadius = 0;  // largest eigenvalue modulus
};

// stepRatio is dt / T with T the damped natural period 2 pi / (w sqrt(1 - h^2)), as the
// program shows it; 0 <= h < 1.
StepProperties MethodStepProperties(StepMethod method, double stepRatio, double h);

// The largest dt/T at which the method is still stable for damping h (the linear
// acceleration method's limit; sqrt(3)/pi at h = 0). The average acceleration method has
// none: infinity is not returned, std::nullopt is.
std::optional<double> StabilityLimit(StepMethod method, double h);

struct ElongationPoint {
    double stepRatio = 0;         // dt / T
    double periodElongation = 0;  // percent
};

// Period elongation against dt/T at `count` (at least 2 are taken) evenly spaced ratios from 0 to
// `maxRatio`. The linear acceleration method's curve ends at its stability limit: the
// points past it are left out and the limit itself is the last point.
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

// The three responses for the main window's inputs.
struct MethodComparison {
    // The program's own run: Completed, EndedEarly (no record) or Faulted with its fault.
    // When it faulted while stepping (FaultSite::Integration: the response overflowed),
    // the points before the fault are compared and `linear.divergedAt` says where; any
    // other fault leaves everything below empty.
    RunResult run;
    bool compared = false;  // the series below are filled

    std::vector<double> time;    // s: the points the result file writes, 0 .. StepCount-2
    std::vector<double> ground;  // ground acceleration at those points, cm/s^2
    MethodSeries linear;         // the run's DisSeries, bit for bit
    MethodSeries exact;          // exact for the ground acceleration linear between points
    MethodSeries average;        // Newmark gamma 1/2, beta 1/4 on the same steps

    double timeStep = 0;       // s
    double naturalPeriod = 0;  // s, the run's NaturalPeriod (damped)
    double dampingRatio = 0;
    double stepRatio = 0;                              // timeStep / naturalPeriod
    double stabilityLimit = kLinearAccelerationLimit;  // sqrt(3)/pi
    StepProperties linearProperties;
    StepProperties averageProperties;
};

// Runs the analysis exactly as "解析開始" does (RunAnalysis on the same texts and case; the
// record is the one confirmed in the wave chooser, used in the earthquake case only and
// std::nullopt there when none is confirmed) and computes the other two methods from the
// run's own input and initial state.
// The run uses a state kept for the calling thread (a state is 2 MB, which the system is
// slow to hand out afresh each time).
MethodComparison CompareMethods(const RunTexts& texts, ExcitationCase excitation,
                                const std::optional<WaveRecord>& record);

// The same with the caller's state, which afterwards holds the run as RunAnalysis left it
// (its peaks and series, for a window that shows them too).
MethodComparison CompareMethods(AnalysisState& state, const RunTexts& texts,
                                ExcitationCase excitation, const std::optional<WaveRecord>& record);

}  // namespace kestrel
