// PEER NGA AT2 records: one direction per file. Used by the wave file dispatcher
// (WaveFile.h).
#pragma once

#include <istream>

#include "files/WaveFile.h"

namespace kestrel {

// Four header lines: a title; the event, date, station and component separated by
// commas; the units ("ACCELERATION TIME SERIES IN UNITS OF G"); the number of points and
// the time step, "NPTS=  3930, DT= .00500 SEC" or in older files "3930 0.00500 NPTS, DT".
// Then free-format values in g, usually five to a line, read up to NPTS; anything after
// them is not read. cm/s^2 = g x 980.665.
//
// Velocity and displacement files have the same layout; their units line names no
// acceleration in g, and they are refused. An NPTS above maxSamples gives RecordTooLong.
WaveReadResult ReadAt2Record(std::istream& in, int maxSamples);

}  // namespace kestrel
