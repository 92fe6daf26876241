// What the fuzz targets share: the check that stops at a broken rule, and the reading of an
// input as lines of box texts and a record.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/RunFromTexts.h"
#include "runtime/Conversions.h"

namespace kestrel::fuzz {

// A broken rule ends the process as a crash, which the fuzzer reports with its input.
inline void Require(bool condition) {
    if (!condition) std::abort();
}

// The line at the start of `rest`, without its "\n"; `rest` keeps what follows it.
inline std::string_view NextLine(std::string_view& rest) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    return line;
}

// "解析開始" on the lines of `rest`: one line per box, in the order of RunTexts (the boxes
// after the last line keep their defaults); the lines after those are the record the
// earthquake case loads (its time step, then at most 3000 samples), none when none is left.
inline RunOutcome RunOfLines(std::string_view rest, ExcitationCase excitation) {
    RunTexts texts;
    for (std::string* box :
         {&texts.model.stiffness, &texts.model.mass, &texts.model.damping, &texts.timeStep,
          &texts.analysisTime, &texts.firstDisplacement, &texts.firstVelocity,
          &texts.accelerationPeriod, &texts.accelerationMax, &texts.displacementPeriod,
          &texts.displacementMax}) {
        if (rest.empty()) break;
        *box = NextLine(rest);
    }
    std::optional<WaveRecord> record;
    if (!rest.empty()) {
        record.emplace();
        record->timeStep = LeadingNumber(NextLine(rest));
        while (!rest.empty() && record->samples.size() < 3000) {
            record->samples.push_back(LeadingNumber(NextLine(rest)));
        }
    }
    RunHooks hooks;
    hooks.loadWaveRecord = [&record] { return record; };
    return RunFromTexts(texts, excitation, hooks);
}

}  // namespace kestrel::fuzz
