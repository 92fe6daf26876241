// The record of one analysis: model inputs, derived constants, peaks and the five series.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "runtime/Fault.h"

namespace kestrel {

// The excitation chosen with the option buttons of the main window.
enum class ExcitationCase {
    InitialDisplacement,  // free vibration from an initial displacement
    InitialVelocity,      // free vibration from an initial velocity
    SteadyAcceleration,   // steady sinusoidal ground acceleration
    SteadyDisplacement,   // steady sinusoidal ground motion given by its displacement
    Earthquake,           // recorded ground acceleration from a wave file
};

// The cases with a ground acceleration, whose response acceleration is made absolute.
constexpr bool IsForced(ExcitationCase c) {
    return c == ExcitationCase::SteadyAcceleration || c == ExcitationCase::SteadyDisplacement ||
           c == ExcitationCase::Earthquake;
}

// The program's values of 2 pi and pi. They are shorter than the double nearest to pi on
// purpose: every result the program shows and writes is computed with these.
inline constexpr double TwoPi = 6.2831853071794;
inline constexpr double Pi = 3.1415926535897;

inline constexpr int MaxSeriesIndex = 50000;
inline constexpr int SeriesLength = MaxSeriesIndex + 1;

// The most points a run can have: the count is a 16-bit signed integer.
inline constexpr int MaxStepCount = 32767;

// A fixed series of 50,001 doubles (indices 0..50000), zero-filled when created and never
// resized. An index outside 0..MaxSeriesIndex raises an OutOfRange fault (under the
// current fault site) instead of touching memory; the analysis also refuses a number of
// points outside 1..MaxStepCount before it steps.
class Series {
public:
    Series() : values_(SeriesLength, 0.0) {}
    double& operator[](int i) { return values_[Checked(i)]; }
    double operator[](int i) const { return values_[Checked(i)]; }
    const double* data() const { return values_.data(); }
    double* data() { return values_.data(); }

private:
    // One unsigned comparison: a negative index wraps to a huge one.
    static std::size_t Checked(int i) {
        const auto index = static_cast<std::size_t>(static_cast<unsigned>(i));
        if (index > MaxSeriesIndex) [[unlikely]] {
            RaiseFault(FaultKind::OutOfRange);
        }
        return index;
    }

    std::vector<double> values_;
};

// Units: centimetres, seconds, kilonewtons. Mass is held in kN*s^2/cm (kg / 100000).
struct AnalysisState {
    double Stiffness = 0;        // K, kN/cm
    double Mass = 0;             // M, kN*s^2/cm
    double DampingRatio = 0;     // h
    double TimeStep = 0;         // Ts, s (in an earthquake run, the record's)
    double AnalysisTime = 0;     // Tl, s
    double NaturalPeriod = 0;    // damped natural period T, s
    std::int16_t StepCount = 0;  // number of time points of the run

    double ForcingPeriod = 0;     // T0 of the steady wave, s
    double ForcingOmega = 0;      // 2 pi / T0, rad/s (displacement wave only)
    double ForcingAmplitude = 0;  // amplitude of the sinusoidal ground acceleration, cm/s^2

    // Largest absolute values over indices 1..StepCount-1 (index 0 never enters).
    double CacPeak = 0;
    double AccPeak = 0;
    double VelPeak = 0;
    double DisPeak = 0;

    double DampingCoefficient = 0;  // C = 2h*sqrt(K*M), kN*s/cm
    double DampingPerMass = 0;      // C/M, 1/s
    double StiffnessPerMass = 0;    // K/M, 1/s^2
    double StepDenominator = 0;     // D = 1 + (C/M)Ts/2 + (K/M)Ts^2/6

    // The one step index shared by the run, the playback and the result writer, in
    // single precision as the program has always kept it (whole numbers only).
    float StepIndex = 0;

    Series TimeSeries;  // s
    Series CacSeries;   // input ground acceleration, cm/s^2
    Series AccSeries;   // response acceleration (absolute in the forced cases), cm/s^2
    Series VelSeries;   // response velocity relative to the ground, cm/s
    Series DisSeries;   // response displacement relative to the ground, cm
};

}  // namespace kestrel
