// The commands that write the study window's exports: the response spectra of a record
// and the comparison of the step methods.
#pragma once

#include <ostream>

#include "app/batch/BatchOptions.h"

namespace kestrel::batch {

// spectrum [--damping LIST] [--periods MIN:MAX:COUNT] [--component C] WAVEFILE OUT.csv
int RunSpectrum(const Invocation& invocation, std::ostream& err);

// accuracy [run options] OUT.csv
int RunAccuracy(const Invocation& invocation, std::ostream& err);

}  // namespace kestrel::batch
