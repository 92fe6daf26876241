// The commands that write the exports of the tabs of the yielding building: the
// elastic-plastic run ("弾塑性応答") and the required-strength spectra of a record.
#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string_view>

#include "analysis/Hysteresis.h"
#include "app/batch/BatchOptions.h"

namespace kestrel::batch {

// The spring models by their option values, in the order of the tab's list.
struct ModelName {
    std::string_view name;
    SpringModel model;
};
std::span<const ModelName> ModelNames();

// inelastic [run options] [--model M] [--yield-coefficient CY] [--second-stiffness-ratio P]
// OUT.csv: the run as response makes it; then, on its inputs and ground motion, the
// elastic-plastic run as the tab makes it, written by the tab's CSV writer. A run that
// stopped (it overflowed) fails with the tab's message saying when, and writes nothing.
int InelasticCommand(const Invocation& invocation, std::ostream& err);

// strength-spectrum [--damping H] [--ductility LIST] [--second-stiffness-ratio P]
// [--periods MIN:MAX:COUNT] [--component C] WAVEFILE OUT.csv: the tab's spectra of the
// record, read as spectrum reads it, with the tab's defaults (the damping the building's
// default), written by the tab's CSV writer.
int StrengthSpectrumCommand(const Invocation& invocation, std::ostream& err);

}  // namespace kestrel::batch
