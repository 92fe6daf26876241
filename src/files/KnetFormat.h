// K-NET and KiK-net ASCII records: one direction per file (names such as MYG0041103111446.NS
// or IWTH251103111446.UD2). Used by the wave file dispatcher (WaveFile.h).
#pragma once

#include <istream>

#include "files/WaveFile.h"

namespace kestrel {

// A header of 17 lines, each with its label in the first 18 columns and its value after
// them ("Sampling Freq(Hz) 100Hz", "Scale Factor      3920(gal)/6182761"), then the
// integer counts of the recorder, usually 8 to a line.
//
// Acceleration in gal (cm/s^2) = count x numerator / denominator of the scale factor;
// the mean of the whole record is then subtracted, as the network does before it states
// the record's peak. The time step is 1 / sampling frequency. Labels are matched by their
// leading text, blanks and case aside, since older files write them differently ("Long."
// or "Lon.", "Max. Acc. (gal)" or "Max. Acc.(gal)"). More than maxSamples counts give
// RecordTooLong.
WaveReadResult ReadKnetRecord(std::istream& in, int maxSamples);

}  // namespace kestrel
