// A run of "解析開始" as the windows keep it once it has stepped: made once, then only read,
// shared by the playback, the save and the study window.
#pragma once

#include <optional>
#include <string>

#include "analysis/Analyze.h"
#include "analysis/GroundMotion.h"
#include "analysis/RunInputs.h"
#include "files/WaveFile.h"

namespace kestrel {

// Where an earthquake run's record came from: the wave file as it was opened (its real
// bytes) and the component read from it (JMA CSV records only).
struct WaveSource {
    std::string path;
    std::optional<RecordComponent> component;
};

// A run that stepped: the box texts it read, its inputs, the ground motion it stepped
// through (an earthquake run's whole record), its response and, for an earthquake run, its
// record's file. The response is complete, or, for a run a fault stopped in its steps, holds
// the points before the fault; only a complete run is played back or saved.
struct SteppedRun {
    RunTexts texts;
    RunInputs inputs;
    GroundMotion motion;
    Response response;
    int playbackIntervalMs = 0;  // step time x 500 ms, halves to even; complete runs only
    WaveSource wave;             // empty for the other cases

    ExcitationCase excitation() const { return inputs.excitation; }
    bool complete() const { return response.complete(); }
};

}  // namespace kestrel
