// The ground acceleration g(i) at point i of a run, for every excitation case, written once.
//
// Three kinds: none (the free-vibration cases), the steady sine (the two steady cases) and
// a record (the earthquake case). Each has At(i) for every point i >= 0 and kForced, which
// says whether the program shows the response acceleration absolute (relative + ground).
// A run picks the kind once (std::visit) and steps with it; nothing is looked up per point.
#pragma once

#include <cstddef>
#include <optional>
#include <variant>
#include <vector>

#include "analysis/CheckedMath.h"
#include "analysis/FaultOr.h"
#include "analysis/ProgramLimits.h"
#include "analysis/RunInputs.h"
#include "analysis/WaveRecord.h"

namespace kestrel {

// The free-vibration cases: no ground motion.
struct NoGroundMotion {
    static constexpr bool kForced = false;
    double At(int /*point*/) const { return 0; }
};

// The steady cases: g(i) = sin(((Ts pi) i) / (T0 / 2)) A with the program's pi, in this
// grouping; 0 at point 0. A sine that cannot be computed (a period of 0, say) raises the
// fault of its operation under FaultSite::GroundMotion at the first point it is needed.
class SteadyWave {
public:
    static constexpr bool kForced = true;

    SteadyWave(double timeStep, double period, double amplitude)
        : timeStep_(timeStep), period_(period), halfPeriod_(period / 2), amplitude_(amplitude) {}

    double At(int i) const {
        if (i == 0) return 0;
        return checked::Value(
            [&]<typename Num>(Num) {
                return checked::Sin(((Num(timeStep_) * program::kPi) * i) / halfPeriod_) *
                       amplitude_;
            },
            FaultSite::GroundMotion);
    }

    double timeStep() const { return timeStep_; }
    double period() const { return period_; }
    double amplitude() const { return amplitude_; }

private:
    double timeStep_;
    double period_;
    double halfPeriod_;  // a finite number halved cannot fault
    double amplitude_;
};

// The earthquake case: a recorded ground acceleration, sample k at point k, and 0 at every
// point after the last sample. An earthquake run steps with the record's time step (its
// point count still comes from the boxes).
class RecordedMotion {
public:
    static constexpr bool kForced = true;

    double At(int i) const {
        const auto k = static_cast<std::size_t>(i);
        return k < samples_.size() ? samples_[k] : 0.0;
    }

    double timeStep() const { return timeStep_; }
    const std::vector<double>& samples() const { return samples_; }

private:
    friend FaultOr<RecordedMotion> MakeRecordedMotion(double timeStep, std::vector<double> samples);
    RecordedMotion(double timeStep, std::vector<double> samples)
        : timeStep_(timeStep), samples_(std::move(samples)) {}

    double timeStep_;
    std::vector<double> samples_;  // cm/s^2
};

using GroundMotion = std::variant<NoGroundMotion, SteadyWave, RecordedMotion>;

// A record of at most program::kMaxRecordSamples samples; a longer one is refused with
// {WaveRecord, OutOfRange}, never cut.
FaultOr<RecordedMotion> MakeRecordedMotion(double timeStep, std::vector<double> samples);
FaultOr<GroundMotion> RecordMotion(WaveRecord record);

// The ground motion of a case that needs no record: none, or the inputs' steady wave. The
// earthquake case has none without its record: std::nullopt.
std::optional<GroundMotion> MotionOfCase(const RunInputs& inputs);

// g(i) of any motion, for callers outside a run's loop.
double GroundAt(const GroundMotion& motion, int i);

// Whether the response acceleration of the motion's run is shown absolute.
bool IsForced(const GroundMotion& motion);

// The time step the run's steps and times use: the record's in the earthquake case, the
// box's otherwise.
double StepTimeOf(const RunInputs& inputs, const GroundMotion& motion);

}  // namespace kestrel
