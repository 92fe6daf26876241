// The commands that write the study window's exports: the response spectra of a record
// and the comparison of the step methods; and what the study commands share.
#pragma once

#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>

#include "app/batch/BatchOptions.h"
#include "app/batch/BatchRun.h"
#include "study/StudyInputs.h"

namespace kestrel::batch {

// The option's value, or the fallback when it was not given.
std::string OptionOr(const OptionValues& options, std::string_view name, std::string_view fallback);

// A refused option: the study's message, which names the box, after the option's name
// (a usage error).
Problem OptionProblem(std::string_view option, const StudyError& error);

// Writes the CSV text whole or not at all.
std::optional<Problem> WriteCsv(const std::string& path, const std::ostringstream& text);

// The messages of a command that studies a record: its error title and the refusal of a
// record of fewer than 2 samples ({1} the file, {2} the count), both marked Japanese.
struct StudyRecordTexts {
    std::string_view title;
    std::string_view tooShort;
};

// The record WAVEFILE (the first operand) of a command that studies it, read as an
// earthquake run reads it (--component for a JMA CSV record) but whole, up to
// kMaxStudySamples. Warnings go to err; a record of fewer than 2 samples is refused.
std::optional<Problem> LoadStudyRecord(const Invocation& invocation, const StudyRecordTexts& texts,
                                       std::ostream& err, std::optional<WaveRecord>& record);

// spectrum [--damping LIST] [--periods MIN:MAX:COUNT] [--component C] WAVEFILE OUT.csv
int RunSpectrum(const Invocation& invocation, std::ostream& err);

// accuracy [run options] OUT.csv
int RunAccuracy(const Invocation& invocation, std::ostream& err);

}  // namespace kestrel::batch
