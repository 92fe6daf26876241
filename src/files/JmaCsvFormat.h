// JMA CSV records: the three directions of one station in three columns. Used by the wave
// file dispatcher (WaveFile.h).
#pragma once

#include <istream>
#include <optional>

#include "files/WaveFile.h"

namespace kestrel {

// Shift_JIS (CP932) text: header lines "KEY= value" (SITE CODE, LAT., LON., SAMPLING
// RATE= 100Hz, UNIT = gal(cm/s/s), INITIAL TIME...), a line naming the columns
// ("NS,EW,UD"), then one row of comma-separated accelerations in gal (cm/s^2) per time
// step. The time step is 1 / sampling rate. The chosen column's mean over the whole
// record is subtracted: the values are the recorder's, offset included.
//
// Without a component only the header is read and checked, and the result says that a
// component is needed (WaveReadResult::needsComponent); with one, its column is read.
// More than maxSamples rows give RecordTooLong.
WaveReadResult ReadJmaCsvRecord(std::istream& in, std::optional<RecordComponent> component,
                                int maxSamples);

}  // namespace kestrel
