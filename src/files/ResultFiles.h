// The two result files of "保存(&S)": the building parameters and the time history.
//
// Both are CP932 text with CR LF line ends; items are joined by ",", texts stand in
// double quotes and numbers are written by NumberText. Writing never shows anything:
// errors come back as values, and SaveErrorMessage turns them into the window's message.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "analysis/Analyze.h"
#include "analysis/RunInputs.h"
#include "files/WaveFile.h"

namespace kestrel {

inline constexpr std::string_view kParameterFileSuffix = "(建物パラメータ).csv";
inline constexpr std::string_view kHistoryFileSuffix = "(時刻暦応答).csv";

// The four numbers of the building-parameter file.
struct ParameterValues {
    double stiffness = 0;      // kN/cm, as typed in the stiffness box
    double mass = 0;           // kg, as typed in the mass box (no conversion to the label's unit)
    double dampingRatio = 0;   // the damping box's percentage / 100
    double naturalPeriod = 0;  // s, the natural period last shown
};

// The values as the save reads them from the model boxes and the natural period shown.
ParameterValues ParameterValuesFromTexts(const ModelTexts& texts, double naturalPeriod);

// Why writing a result file into a stream stopped.
enum class WriteFailure {
    Stream,             // the stream refused the bytes (disk full, device error, ...)
    InputDisplacement,  // the input displacement could not be computed from the period
};

// The four lines of the building-parameter file.
std::optional<WriteFailure> WriteParameterFile(std::ostream& out, const ParameterValues& values);

// The header and one row for each point 0 .. pointCount - 2 of the run (the last point is
// not written; a response stopped by a fault gives the rows of the points it holds). With a
// displacement period P the second column is the input displacement g(i) / (2 pi / P)^2, with
// the program's 2 pi, instead of the input acceleration.
std::optional<WriteFailure> WriteHistoryFile(std::ostream& out, const Response& response,
                                             std::optional<double> displacementPeriod);

// A file of the save that could not be written.
struct SaveError {
    std::string path;     // the full path of the file
    Wording reason;       // why, without a closing "。" or "."
    int systemError = 0;  // errno behind it, 0 when the reason is the program's own

    // Another program holds the file: the window shows its file-in-use message and keeps
    // the save destination.
    bool fileInUse() const;
};

struct SaveOutcome {
    // Whether each file is in place. A failure leaves neither, except when the system
    // refuses to put the history file in place just after the parameter file.
    bool parameterFileWritten = false;
    bool historyFileWritten = false;
    std::optional<SaveError> error;  // the first failure; nothing is attempted after it

    bool ok() const { return !error.has_value(); }
};

// Writes base name + kParameterFileSuffix and base name + kHistoryFileSuffix into the
// folder, as a pair: both are written in full beside their names first and put in place
// only when both are complete, so a failure leaves the files of an earlier save as they
// were (see ReplaceFiles). A base name holding "/" is refused before anything is written.
// The caller has already refused an empty base name (no destination chosen). This is the
// one place that saves the pair, for the window and the command line alike.
SaveOutcome SaveResults(std::string_view folder, std::string_view baseName,
                        const ParameterValues& values, const Response& response,
                        std::optional<double> displacementPeriod);

// The message for a save that failed (outcome.error is set); it names the file and the
// reason, and says so when the parameter file was written before the failure.
FileMessage SaveErrorMessage(const SaveOutcome& outcome);

}  // namespace kestrel
