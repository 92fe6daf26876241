// The five excitation cases: forcing parameters, the wave record and the state at index 0.
// These raise faults (see runtime/Fault.h); the entry points in Run.h catch them.
#pragma once

#include "analysis/AnalysisState.h"
#include "analysis/Run.h"
#include "analysis/WaveRecord.h"

namespace kestrel {

// ForcingPeriod, ForcingOmega and ForcingAmplitude as the steady cases need them; the
// other cases leave all three untouched, the acceleration wave leaves ForcingOmega.
void ReadForcingParameters(AnalysisState& s, ExcitationCase c, const RunTexts& texts);

// Puts a record into the cleared state: TimeStep becomes the record's, its samples fill
// CacSeries from index 0 and StepIndex counts the numbers of the file. A record longer
// than the series can hold is refused with a WaveRecord fault.
void ApplyWaveRecord(AnalysisState& s, const WaveRecord& record);

// The state at index 0 of the case.
void SetInitialState(AnalysisState& s, ExcitationCase c, const RunTexts& texts);

}  // namespace kestrel
