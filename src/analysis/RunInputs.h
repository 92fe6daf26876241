// The typed inputs of a run, read from the texts of the main window's boxes (or the command
// line's options, which take the same texts) in one place. Below ReadRunInputs nothing in
// the analysis reads text: the ground motion, the steppers and the run take numbers.
//
// Units: centimetres, seconds, kilonewtons; mass in kN*s^2/cm.
#pragma once

#include <string>

#include "analysis/FaultOr.h"

namespace kestrel {

// The excitation chosen with the option buttons of the main window.
enum class ExcitationCase {
    InitialDisplacement,  // free vibration from an initial displacement
    InitialVelocity,      // free vibration from an initial velocity
    SteadyAcceleration,   // steady sinusoidal ground acceleration
    SteadyDisplacement,   // steady sinusoidal ground motion given by its displacement
    Earthquake,           // recorded ground acceleration from a wave file
};

// The cases with a ground acceleration, whose response acceleration is shown absolute.
constexpr bool IsForced(ExcitationCase c) {
    return c == ExcitationCase::SteadyAcceleration || c == ExcitationCase::SteadyDisplacement ||
           c == ExcitationCase::Earthquake;
}

// The boxes of the building model, as typed.
struct ModelTexts {
    std::string stiffness = "300";  // kN/cm
    std::string mass = "100000";    // kg
    std::string damping = "2";      // %
};

// Every box a run reads, as typed, with the main window's initial texts as defaults.
struct RunTexts {
    ModelTexts model;
    std::string timeStep = "0.01";         // s
    std::string analysisTime = "10";       // s
    std::string firstDisplacement = "5";   // cm
    std::string firstVelocity = "30";      // cm/s
    std::string accelerationPeriod = "1";  // s, the acceleration wave's period
    std::string accelerationMax = "300";   // cm/s^2, its amplitude
    std::string displacementPeriod = "1";  // s, the displacement wave's period
    std::string displacementMax = "1";     // cm, its amplitude
};

// The one-storey building.
struct Building {
    double stiffness = 0;     // K, kN/cm
    double mass = 0;          // M, kN*s^2/cm (the mass box holds kg: kg / 100000)
    double dampingRatio = 0;  // h (the damping box holds %: % / 100)
};

// The building's constants for one time step, as the steps use them.
struct DerivedConstants {
    double dampingCoefficient = 0;  // C = 2h sqrt(K M), kN*s/cm
    double dampingPerMass = 0;      // C / M, 1/s
    double stiffnessPerMass = 0;    // K / M, 1/s^2 (the square of the circular frequency)
    double denominator = 0;         // D = 1 + (C/M) Ts/2 + (K/M) Ts^2/6 of the step equation
};

// The steady sinusoidal ground motion of the two steady cases.
struct SteadyForcing {
    double period = 0;     // T0, s
    double omega = 0;      // 2 pi / T0, rad/s; set in the displacement-wave case only
    double amplitude = 0;  // A of the ground acceleration, cm/s^2 (the displacement wave's is
                           // the typed displacement amplitude x omega^2)
};

struct RunInputs {
    ExcitationCase excitation = ExcitationCase::InitialDisplacement;
    Building building;
    double timeStep = 0;         // Ts from the time-step box, s (an earthquake run steps with the
                                 // record's own; see GroundMotion.h)
    double analysisTime = 0;     // Tl, s
    int pointCount = 0;          // Tl / Ts + 2 rounded (program::PointCount); the run refuses < 1
    double naturalPeriod = 0;    // damped natural period 2 pi sqrt(M/K) / sqrt(1 - h^2), s
    DerivedConstants constants;  // for timeStep
    SteadyForcing forcing;       // the two steady cases; zero in the others
    double initialDisplacement = 0;  // cm, the initial-displacement case; 0 in the others
    double initialVelocity = 0;      // cm/s, the initial-velocity case; 0 in the others
};

// Reads every box a run of the case reads, each with LeadingNumber (text without a leading
// number is 0, "12abc" is 12), and computes what the opening of a run computes, in this
// order and under these fault sites:
//   stiffness, mass, damping, time step, analysis time (cannot fault);
//   point count (StepCount); natural period (MassStiffnessRatio, then DampingFactor);
//   the constants for the box's time step (StepConstants); the steady wave of the case
//   (ForcingParameters: the displacement wave's 2 pi / T0 and amplitude);
//   the initial displacement or velocity of the case (cannot fault).
FaultOr<RunInputs> ReadRunInputs(const RunTexts& texts, ExcitationCase excitation);

// "固有周期の表示": the damped natural period of the model boxes alone (MassStiffnessRatio,
// then DampingFactor).
FaultOr<double> ReadNaturalPeriod(const ModelTexts& texts);

// The building of the model boxes: K as typed, kg / 100000, % / 100. Cannot fault.
Building ReadBuilding(const ModelTexts& texts);

// These two raise their fault (runtime/Fault.h) instead of returning it; the entry points of
// the analysis catch it.
// The damped natural period; MassStiffnessRatio for M / K and its root, DampingFactor for
// the root of 1 - h^2 and the division by it.
double NaturalPeriodOf(const Building& building);
// The constants for a time step; StepConstants.
DerivedConstants DeriveConstants(const Building& building, double timeStep);

}  // namespace kestrel
