// A run of the analysis: typed inputs and a ground motion in, a read-only response out.
//
//     FaultOr<RunInputs> inputs = ReadRunInputs(texts, excitation);     // RunInputs.h
//     std::optional<GroundMotion> motion = MotionOfCase(*inputs);        // GroundMotion.h
//     Response response = Analyze(*inputs, *motion);                     // here
//
// Analyze prepares the steps (the constants for the step time, the state at point 0), then
// steps points 1 .. pointCount - 1 with one stepper (Steppers.h) and tells the observers
// (Observers.h) of every point. The stepper, the spring, the motion and the observers are
// chosen once, before the loop; the loop makes no virtual call and no per-point choice.
// A fault stops the run at the point it happens: the response then holds the points before
// it and says which fault it was.
#pragma once

#include <concepts>
#include <optional>
#include <span>
#include <utility>
#include <variant>

#include "analysis/GroundMotion.h"
#include "analysis/Observers.h"
#include "analysis/ProgramLimits.h"
#include "analysis/RunInputs.h"
#include "analysis/Steppers.h"

namespace kestrel {

// The step methods a run can use with the building's elastic column.
enum class StepperKind {
    LinearAcceleration,   // the program's own (results, playback, files)
    AverageAcceleration,  // Newmark beta 1/4, for comparison
    Exact,                // exact for a ground acceleration linear between points
};

// What a run computed. Read-only: made by Analyze, then only read.
class Response {
public:
    Response(int pointCount, double stepTime, ResponseSeries series, Peaks peaks,
             std::optional<Fault> fault)
        : pointCount_(pointCount),
          stepTime_(stepTime),
          series_(std::move(series)),
          peaks_(peaks),
          fault_(fault) {}

    // The points the run was to compute (RunInputs::pointCount).
    int pointCount() const { return pointCount_; }
    // The points it computed: all of them, or those before the fault that stopped it. Every
    // series holds this many.
    int completedPoints() const { return series_.size(); }
    bool complete() const { return !fault_.has_value(); }
    // What stopped the run, if anything did.
    const std::optional<Fault>& fault() const { return fault_; }

    // The time step the steps used, s (the record's in an earthquake run).
    double stepTime() const { return stepTime_; }

    std::span<const double> time() const { return series_.time(); }
    std::span<const double> ground() const { return series_.ground(); }
    std::span<const double> acceleration() const { return series_.acceleration(); }
    std::span<const double> velocity() const { return series_.velocity(); }
    std::span<const double> displacement() const { return series_.displacement(); }

    // Over the completed points from 1 on.
    const Peaks& peaks() const { return peaks_; }

private:
    int pointCount_;
    double stepTime_;
    ResponseSeries series_;
    Peaks peaks_;
    std::optional<Fault> fault_;
};

// The whole run with one of the three step methods and the linear spring. No fault is
// thrown: a fault is in the response.
Response Analyze(const RunInputs& inputs, const GroundMotion& motion,
                 StepperKind kind = StepperKind::LinearAcceleration);

// The state at point 0 of the inputs' case, with the constants and g(0) of the run
// (FaultSite::InitialState):
//   free vibration   x0, v0 as typed,  a0 = (-C/M) v0 - x0 K/M
//   steady waves     0, 0,             a0 = ((-C/M) v0 - x0 K/M) - g(0)   (g(0) = 0)
//   earthquake       0, 0,             a0 = ((-g(0)) - v0 C/M) - x0 K/M   (= -g(0))
// Raises its fault.
State InitialStateOf(const RunInputs& inputs, const DerivedConstants& constants,
                     double groundAtZero);

// What the steppers are built from, in the order a run takes these steps: the constants
// for the step time (an earthquake run derives them again for the record's: StepConstants),
// the state at point 0 (InitialState), and the refusal of a point count outside
// 1 .. program::kMaxPointCount (StepRange).
// Raises its fault.
StepSetup PrepareSteps(const RunInputs& inputs, const GroundMotion& motion);

namespace detail {

// The loop: point 0 as prepared (the stepper's Start(State), if it has one, may set its
// acceleration), then each point's time (Integration), ground acceleration
// (GroundMotion), step (Integration) and shown acceleration (Integration), and the
// observers told. Raises the first fault.
template <typename Motion, Stepper StepperT, typename... Observers>
void StepThrough(const StepSetup& setup, int pointCount, const Motion& motion, StepperT& stepper,
                 Observers&... observers) {
    using Point = RunPointOf<ReadingOf<StepperT>>;
    static_assert((RunObserver<Observers, Point> && ...));
    Point point{.index = 0,
                .time = 0,
                .ground = motion.At(0),
                .relative = setup.initial,
                .acceleration = 0,
                .spring = stepper.Spring()};
    // A stepper whose spring holds another force than K x0 at point 0 (a column loaded
    // beyond yield) sets the acceleration there in balance with it.
    if constexpr (requires {
                      { stepper.Start(setup.initial) } -> std::same_as<State>;
                  }) {
        point.relative = stepper.Start(setup.initial);
    }
    point.acceleration = point.relative.a;
    (observers.Start(point), ...);

    // The formulas below capture by value: a captured reference would hand the address of
    // the state to the checked twin and keep it in memory from step to step.
    const double ts = setup.timeStep;
    for (int i = 1; i < pointCount; ++i) {
        const double time = checked::FiniteValue([i, ts]<typename Num>(Num) { return Num(i) * ts; },
                                                 FaultSite::Integration);
        const double ground = motion.At(i);
        const State next = stepper.Step(point.relative, point.ground, ground);
        point.index = i;
        point.time = time;
        point.ground = ground;
        point.relative = next;
        if constexpr (Motion::kForced) {
            point.acceleration = checked::FiniteValue(
                [a = next.a, ground]<typename Num>(Num) { return Num(a) + ground; },
                FaultSite::Integration);
        } else {
            point.acceleration = next.a;
        }
        point.spring = stepper.Spring();
        (observers.Observe(point), ...);
    }
}

}  // namespace detail

// The run with any stepper: makeStepper(const StepSetup&) builds it once the setup is
// known; `extra` observers are told of every point beside the series and the peaks, before
// them, so that a fault an extra observer raises at a point leaves that point out of all.
template <typename MakeStepper, typename... Extra>
Response AnalyzeWith(const RunInputs& inputs, const GroundMotion& motion, MakeStepper makeStepper,
                     Extra&... extra) {
    SeriesRecorder series;
    PeakTracker peaks;
    std::optional<Fault> fault;
    try {
        const StepSetup setup = PrepareSteps(inputs, motion);
        auto stepper = makeStepper(setup);
        static_assert(Stepper<decltype(stepper)>);
        series.Reserve(inputs.pointCount);
        std::visit(
            [&](const auto& m) {
                detail::StepThrough(setup, inputs.pointCount, m, stepper, extra..., series, peaks);
            },
            motion);
    } catch (const FaultError& e) {
        fault = e.fault();
    }
    return Response(inputs.pointCount, StepTimeOf(inputs, motion), std::move(series).Take(),
                    peaks.peaks(), fault);
}

}  // namespace kestrel
