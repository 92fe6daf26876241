// The linear acceleration method (Newmark, gamma 1/2, beta 1/6) for the one-mass model
//     a + (C/M) v + (K/M) x = -g
// where x, v, a are relative to the ground and g is the ground acceleration.
// These raise faults (see runtime/Fault.h); the entry points in Run.h catch them.
#pragma once

#include "analysis/AnalysisState.h"

namespace kestrel {

// Acceleration, velocity and displacement at point i from those at i - 1 and the ground
// acceleration CacSeries[i]. Requires 1 <= i <= MaxSeriesIndex.
void AdvanceStep(AnalysisState& s, int i);

// Steps points 1..StepCount-1. In the forced cases the ground acceleration of each point
// is computed (steady waves) or taken as loaded (earthquake) before the step; in the
// free-vibration cases it is 0 and the peaks are raised inside the loop. A StepCount
// below 1 is refused with a StepRange fault before any step.
void IntegrateResponse(AnalysisState& s, ExcitationCase c);

// The forced cases' second pass: the response acceleration of points 1..StepCount-1
// becomes absolute (relative plus ground), and the peaks are raised. Point 0 is left as
// the case set it.
void FinishForcedSeries(AnalysisState& s);

// Raises each of the four peaks to the absolute value at point i where that is larger.
void UpdatePeaks(AnalysisState& s, int i);

}  // namespace kestrel
