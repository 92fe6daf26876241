#include "analysis/RunFromTexts.h"

#include <utility>

#include "analysis/ProgramLimits.h"

namespace kestrel {

RunOutcome RunFromTexts(const RunTexts& texts, ExcitationCase excitation, const RunHooks& hooks) {
    RunOutcome out;
    auto faulted = [&out](const Fault& fault) {
        out.status = RunOutcome::Status::Faulted;
        out.fault = fault;
        return std::move(out);
    };

    FaultOr<RunInputs> inputs = ReadRunInputs(texts, excitation);
    if (!inputs) return faulted(inputs.fault());
    out.inputs = std::move(inputs).value();
    if (hooks.showNaturalPeriod) hooks.showNaturalPeriod(out.inputs->naturalPeriod);

    if (excitation == ExcitationCase::Earthquake) {
        std::optional<WaveRecord> record;
        if (hooks.loadWaveRecord) record = hooks.loadWaveRecord();
        if (!record) {
            out.status = RunOutcome::Status::EndedEarly;
            return out;
        }
        FaultOr<GroundMotion> motion = RecordMotion(std::move(*record));
        if (!motion) return faulted(motion.fault());
        out.motion = std::move(motion).value();
    } else {
        out.motion = MotionOfCase(*out.inputs);
    }

    out.response = Analyze(*out.inputs, *out.motion);
    if (const std::optional<Fault>& fault = out.response->fault()) return faulted(*fault);

    try {
        out.playbackIntervalMs = program::PlaybackIntervalMs(out.response->stepTime());
    } catch (const FaultError& e) {
        return faulted(e.fault());
    }
    out.status = RunOutcome::Status::Completed;
    return out;
}

bool Stepped(const RunOutcome& run) {
    if (!run.inputs || !run.motion || !run.response) return false;
    if (run.status == RunOutcome::Status::Completed) return true;
    if (run.status != RunOutcome::Status::Faulted || !run.fault) return false;
    const FaultSite site = run.fault->site;
    return run.response->fault() &&
           (site == FaultSite::Integration || site == FaultSite::GroundMotion);
}

}  // namespace kestrel
