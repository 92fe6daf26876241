// The program's own numbers and limits, in one place: the shortened pi, the 16-bit point
// count and how it is rounded, the longest record a run takes, the playback interval, and
// the fault site each rule reports when it is broken.
//
// These are deliberate: every number the program shows and writes is computed with them,
// and the result files stay byte-identical only while they stay as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>

namespace kestrel::program {

// pi and 2 pi as the program writes them, shorter than the doubles nearest to them. The
// natural period, the steady waves and the displacement wave's circular frequency use these.
inline constexpr double kPi = 3.1415926535897;
inline constexpr double kTwoPi = 6.2831853071794;

// A run has at most this many points: the count is a 16-bit signed integer.
inline constexpr int kMaxPointCount = 32767;
static_assert(kMaxPointCount == std::numeric_limits<std::int16_t>::max());

// Every point, input sample and playback entry has an index 0..kMaxIndex.
inline constexpr int kMaxIndex = 50000;
static_assert(kMaxPointCount - 1 <= kMaxIndex, "every point of a run has an index");

// The longest record a run takes: 49,997 samples. (A record of N numbers, its time step
// included, must keep N + 2 within kMaxIndex.) A longer record is refused
// (FaultSite::WaveRecord, OutOfRange), never cut.
inline constexpr std::size_t kMaxRecordSamples = kMaxIndex - 3;

// The rules below raise a fault (runtime/Fault.h) under the site named; the entry points of
// the analysis catch it and return it as a value.

// Points of a run: analysis time / time step + 2, rounded to the nearest integer with halves
// to even, as a 16-bit signed integer. Site StepCount: a zero time step (DivideByZero, or
// Invalid when the time is 0 too) or a count outside -32768..32767 (Overflow). The count
// may be 0 or negative here; a run refuses it (RequirePoints).
std::int16_t PointCount(double analysisTime, double timeStep);

// A run has 1 .. kMaxPointCount points: at least its point 0, and no more than the count
// holds (inputs made in code rather than read from the boxes are held to it too). Site
// StepRange, OutOfRange.
void RequirePoints(int pointCount);

// Site WaveRecord, OutOfRange, for more than kMaxRecordSamples samples.
void RequireRecordLength(std::size_t samples);

// The playback shows one point every time step x 500 ms (twice real time), rounded to the
// nearest millisecond with halves to even. Site TimerInterval, Overflow beyond 32 bits.
std::int32_t PlaybackIntervalMs(double timeStep);

}  // namespace kestrel::program
