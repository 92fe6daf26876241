// The model's derived quantities: natural period, step constants, and the clearing of a run.
// These raise faults (see runtime/Fault.h); the entry points in Run.h catch them.
#pragma once

#include "analysis/AnalysisState.h"

namespace kestrel {

// NaturalPeriod = 2pi * sqrt(M/K) / sqrt(1 - h^2), with the program's 2pi.
void ComputeNaturalPeriod(AnalysisState& s);

// DampingCoefficient, DampingPerMass, StiffnessPerMass and StepDenominator from the
// model and the TimeStep in the state.
void DeriveStepConstants(AnalysisState& s);

// Sets all 50,001 points of the five series to 0, whatever the run's length; leaves
// StepIndex at 50001 as the counter that did it would.
void ClearSeries(AnalysisState& s);

}  // namespace kestrel
