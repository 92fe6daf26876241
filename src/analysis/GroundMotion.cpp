#include "analysis/GroundMotion.h"

#include <type_traits>
#include <utility>

namespace kestrel {

FaultOr<RecordedMotion> MakeRecordedMotion(double timeStep, std::vector<double> samples) {
    try {
        program::RequireRecordLength(samples.size());
    } catch (const FaultError& e) {
        return e.fault();
    }
    return RecordedMotion(timeStep, std::move(samples));
}

FaultOr<GroundMotion> RecordMotion(WaveRecord record) {
    FaultOr<RecordedMotion> motion = MakeRecordedMotion(record.timeStep, std::move(record.samples));
    if (!motion) return motion.fault();
    return GroundMotion(std::move(motion).value());
}

std::optional<GroundMotion> MotionOfCase(const RunInputs& inputs) {
    switch (inputs.excitation) {
        case ExcitationCase::InitialDisplacement:
        case ExcitationCase::InitialVelocity:
            return NoGroundMotion{};
        case ExcitationCase::SteadyAcceleration:
        case ExcitationCase::SteadyDisplacement:
            return SteadyWave(inputs.timeStep, inputs.forcing.period, inputs.forcing.amplitude);
        case ExcitationCase::Earthquake:
            break;
    }
    return std::nullopt;
}

double GroundAt(const GroundMotion& motion, int i) {
    return std::visit([i](const auto& m) { return m.At(i); }, motion);
}

bool IsForced(const GroundMotion& motion) {
    return std::visit([](const auto& m) { return std::decay_t<decltype(m)>::kForced; }, motion);
}

double StepTimeOf(const RunInputs& inputs, const GroundMotion& motion) {
    if (const auto* record = std::get_if<RecordedMotion>(&motion)) return record->timeStep();
    return inputs.timeStep;
}

}  // namespace kestrel
