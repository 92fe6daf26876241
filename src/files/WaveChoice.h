// Confirming a wave file: what the chosen record sets before a run. The wave chooser puts
// these texts into the time step and analysis time boxes; the command line uses them when
// neither is given.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "analysis/WaveRecord.h"
#include "files/WaveFile.h"

namespace kestrel {

struct WaveTimeTexts {
    std::string timeStep;      // the record's time step as the box shows it
    std::string analysisTime;  // the record's length, computed from that text
};

// The texts a record gives the boxes. No value when its time step is so large that the
// length cannot be computed (DurationErrorMessage says so).
std::optional<WaveTimeTexts> WaveTimeTextsFor(const WaveRecord& record);

// The message for a record whose length cannot be computed; the path names the file.
FileMessage DurationErrorMessage(std::string_view path);

// The question that asks which direction of a JMA CSV record to analyse; the name is the
// file's as the user gave it.
FileMessage ComponentQuestion(std::string_view fileName);

// The three directions a JMA CSV record offers, in the order they are offered.
inline constexpr RecordComponent kRecordComponents[] = {RecordComponent::NS, RecordComponent::EW,
                                                        RecordComponent::UD};

}  // namespace kestrel
