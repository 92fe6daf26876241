// One run from option values, as the main window makes it from its boxes: the texts, the
// excitation case, the wave file, the analysis and the save of the result pair.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "analysis/RunFromTexts.h"
#include "app/batch/BatchOptions.h"
#include "files/WaveFile.h"

namespace kestrel::batch {

// Why a command or a run stopped: the exit status and the message (UTF-8, one line, naming
// the file or the option). The message is made where it is shown, in the language in force
// there: the program's on standard error, Japanese in a table's summary.
struct Problem {
    int status = kExitFailure;
    std::function<std::string()> message;
};

// A run as the options describe it.
struct RunRequest {
    RunTexts texts;
    ExcitationCase excitation = ExcitationCase::SteadyAcceleration;
    std::string wavePath;  // empty: no wave file
    std::optional<RecordComponent> component;
    bool timeStepGiven = false;
    bool durationGiven = false;
    // Options given that the run does not use (one-line texts, UTF-8): a case's option
    // given for another case, --component for a record of one component. The run goes on.
    std::vector<std::string> warnings;
};

// The request the options give; a case or component that does not exist is a usage error.
// Without --case, --wave means an earthquake run. The component is read without regard to
// case ("ns" is NS).
std::optional<Problem> ReadRunRequest(const OptionValues& options, RunRequest& request);

// Reads the wave file (when there is one) as the wave chooser confirms it, putting the
// record's time step and length into the texts not given. A record of more than
// maxSamples samples is refused.
std::optional<Problem> LoadRunRecord(RunRequest& request, std::optional<WaveRecord>& record,
                                     int maxSamples = kMaxRecordSamples);

// The problems of a run: a fault of the analysis (naming the options to check), a JMA
// CSV record without --component, a wave file that cannot be read.
Problem RunFaultProblem(const Fault& fault);
Problem ComponentProblem(const std::string& path);
Problem WaveProblem(const WaveError& error, const std::string& path);

// Reads the wave file (when there is one) as the wave chooser confirms it, putting the
// record's time step and length into the texts not given, then runs the analysis as
// "解析開始" does. On success `run` is the completed run.
std::optional<Problem> PerformRun(RunRequest& request, RunOutcome& run);

// Saves the completed run's pair as "保存(&S)" does after it: BASE(建物パラメータ).csv and
// BASE(時刻暦応答).csv in the folder. Nothing is left behind on a failure.
std::optional<Problem> SaveRun(const std::string& folder, const std::string& baseName,
                               const RunRequest& request, const RunOutcome& run);

// The completed run's natural period and its four peaks (ground, response acceleration,
// velocity, displacement), as the table's summary lists them.
std::array<double, 5> RunFigures(const RunOutcome& run);

// Writes "kestrel-batch: message" as one line on err.
void Report(std::ostream& err, std::string_view message);

// Writes each warning as "kestrel-batch: 注意: warning" (in English "Warning: ").
void ReportWarnings(std::ostream& err, std::span<const std::string> warnings);

// Reports the problem (with a pointer to --help for a usage error); returns its status.
int Fail(std::ostream& err, const Problem& problem);

// A message of the windows as one line: "title: prompt", the prompt's lines joined (in
// English with a space between them).
std::string MessageLine(std::string_view title, std::string_view prompt);

}  // namespace kestrel::batch
