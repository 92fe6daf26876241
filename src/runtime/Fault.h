// Faults of the checked arithmetic: what went wrong and where.
//
// Every floating-point operation of a run, of the natural-period display and of a playback
// tick is checked. An invalid operation, a division by zero or an overflow stops the
// operation at once; the caller gets a Fault value that says which step failed and how,
// and turns it into a message for the user.
#pragma once

#include <stdexcept>

namespace kestrel {

enum class FaultKind {
    Invalid,       // no defined result, e.g. 0 / 0 or the square root of a negative number
    DivideByZero,  // a non-zero number divided by zero
    Overflow,      // a result beyond the 64-bit range, or a count beyond its integer range
    OutOfRange,    // a series index outside 0..50000
};

// The step of the program in which a fault happened.
enum class FaultSite {
    None,
    MassStiffnessRatio,  // natural period: mass / stiffness and its square root
    DampingFactor,       // natural period: square root of 1 - h^2
    StepCount,           // number of points: analysis time / time step + 2
    StepConstants,       // damping coefficient, K/M, C/M and the step denominator
    ForcingParameters,   // circular frequency and amplitude of the displacement wave
    InitialState,        // state at index 0
    GroundMotion,        // sine of the steady wave
    Integration,         // the step-by-step response and the absolute acceleration
    StepRange,           // a number of points below 1
    WaveRecord,          // a record longer than the series can hold
    TimerInterval,       // playback interval: time step x 500 ms
    Playback,            // coordinates and values of a playback tick
};

struct Fault {
    FaultSite site = FaultSite::None;
    FaultKind kind = FaultKind::Invalid;
    friend bool operator==(const Fault&, const Fault&) = default;
};

// Thrown by the checked arithmetic; caught by the entry points, which return the Fault.
class FaultError : public std::runtime_error {
public:
    explicit FaultError(Fault f) : std::runtime_error("arithmetic fault"), fault_(f) {}
    Fault fault() const { return fault_; }

private:
    Fault fault_;
};

// The site that faults raised now are reported under. A FaultScope sets it for the
// lifetime of the scope and restores the previous one afterwards.
FaultSite CurrentFaultSite();

class FaultScope {
public:
    explicit FaultScope(FaultSite site);
    ~FaultScope();
    FaultScope(const FaultScope&) = delete;
    FaultScope& operator=(const FaultScope&) = delete;

private:
    FaultSite previous_;
};

[[noreturn]] void RaiseFault(FaultKind kind);

}  // namespace kestrel
