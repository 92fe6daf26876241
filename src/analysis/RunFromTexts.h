// "解析開始" on the analysis core: the boxes' texts in, the run's inputs, ground motion and
// response out, every step in the order the program has always taken them, so that the
// window and the command line report the same fault at the same moment:
//
//   1. ReadRunInputs (the opening steps' faults);
//   2. hooks.showNaturalPeriod (the label changes even when a later step faults);
//   3. earthquake case: hooks.loadWaveRecord; no record ends the run here (EndedEarly);
//      a record beyond the program's limit is a WaveRecord fault;
//   4. Analyze with the linear acceleration method;
//   5. the playback interval of the step time (TimerInterval).
#pragma once

#include <functional>
#include <optional>

#include "analysis/Analyze.h"
#include "analysis/GroundMotion.h"
#include "analysis/RunInputs.h"
#include "analysis/WaveRecord.h"

namespace kestrel {

// What a run asks of its caller while it runs.
struct RunHooks {
    // Shows the new natural period (once the boxes are read, before anything else can fault).
    std::function<void(double naturalPeriod)> showNaturalPeriod;
    // Earthquake case only: reads the chosen wave file. No value means nothing was loaded
    // and the run ends there; the loader has already told the user why.
    std::function<std::optional<WaveRecord>()> loadWaveRecord;
};

struct RunOutcome {
    enum class Status {
        Completed,   // the response is complete; play it back or report the end
        EndedEarly,  // earthquake case without a record: nothing computed
        Faulted,     // a step could not be computed; see fault
    };
    Status status = Status::Faulted;
    std::optional<Fault> fault;          // Faulted only
    std::optional<RunInputs> inputs;     // once the boxes were read
    std::optional<GroundMotion> motion;  // once the ground motion was known
    // Once the run stepped: complete, or the points before the fault (which is also here).
    std::optional<Response> response;
    int playbackIntervalMs = 0;  // Completed only: step time x 500 ms, halves to even
};

RunOutcome RunFromTexts(const RunTexts& texts, ExcitationCase excitation, const RunHooks& hooks);

// Whether the run stepped: it completed, or a fault stopped it part way through its steps
// (FaultSite::Integration or FaultSite::GroundMotion), its response holding the points
// before the fault.
bool Stepped(const RunOutcome& run);

}  // namespace kestrel
