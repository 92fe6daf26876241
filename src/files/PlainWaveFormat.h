// The plain wave format: numbers separated by commas or line ends. Used by the wave file
// dispatcher (WaveFile.h); not called directly by the windows.
#pragma once

#include <istream>

#include "files/WaveFile.h"

namespace kestrel {

// Reads items until the end of the stream, the first malformed item or the first number
// past maxSamples + 1 (the time step and maxSamples samples), whichever comes first.
//
// An item is what stands between two separators (a comma or a line end: LF, CR LF or a
// lone CR); blanks (spaces and tabs) around it are dropped. A line holding nothing but
// blanks is no item and is skipped. An empty item next to a comma ("1,,2", "1," at the end
// of a line, ",1") is malformed: nothing is read as a silent zero. A UTF-8 byte-order mark
// at the very start is skipped. A failing stream (badbit) gives CannotRead.
WaveReadResult ReadPlainWave(std::istream& in, int maxSamples);

}  // namespace kestrel
