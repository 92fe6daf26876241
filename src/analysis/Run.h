// The two commands of the main window that compute: the natural-period display and the
// analysis run. They take the texts of the boxes as typed and return either success or a
// Fault that says which step could not be computed; the window reports it.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "analysis/AnalysisState.h"
#include "analysis/WaveRecord.h"
#include "runtime/Fault.h"

namespace kestrel {

// The boxes of the building model.
struct ModelTexts {
    std::string stiffness = "300";  // txtK, kN/cm
    std::string mass = "100000";    // txtW, kg
    std::string damping = "2";      // txtH, %
};

// Every box a run reads, with the main window's initial texts as defaults.
struct RunTexts {
    ModelTexts model;
    std::string timeStep = "0.01";         // txtTs, s
    std::string analysisTime = "10";       // txtTl, s
    std::string firstDisplacement = "5";   // txtFirstDis, cm
    std::string firstVelocity = "30";      // txtFirstVel, cm/s
    std::string accelerationPeriod = "1";  // txtOrgCycle, s
    std::string accelerationMax = "300";   // txtCacMax, cm/s^2
    std::string displacementPeriod = "1";  // txtOrgCycleDis, s
    std::string displacementMax = "1";     // txtDisMax, cm
};

// What a run asks of the window while it runs.
struct RunHooks {
    // Shows the new natural period (after the series are cleared, before the case runs).
    std::function<void(double naturalPeriod)> showNaturalPeriod;
    // Earthquake case only: reads the chosen wave file. No value means nothing was loaded
    // and the run ends there; the loader has already told the user why.
    std::function<std::optional<WaveRecord>()> loadWaveRecord;
};

struct RunResult {
    enum class Status {
        Completed,   // the response is in the state; play it back or report the end
        EndedEarly,  // earthquake case without a record: nothing computed
        Faulted,     // a step could not be computed; see fault
    };
    Status status = Status::Completed;
    Fault fault;
    int timerIntervalMs = 0;  // Completed: playback interval, TimeStep x 500 ms rounded
};

// "固有周期の表示": reads the model boxes and computes NaturalPeriod. On a fault the
// fields read so far keep their new values and NaturalPeriod keeps its old one.
std::optional<Fault> ComputeNaturalPeriodFromTexts(AnalysisState& s, const ModelTexts& texts);

// "解析開始": the whole run, from the opening steps to the hand-over's StepIndex 0 and
// timer interval. On a fault the state holds exactly what the steps before it wrote.
RunResult RunAnalysis(AnalysisState& s, const RunTexts& texts, ExcitationCase c,
                      const RunHooks& hooks);

}  // namespace kestrel
