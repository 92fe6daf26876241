// The step methods of a run, all of one shape: a stepper is built once per run from a
// StepSetup, then takes the state at the start of a step and the ground acceleration at
// both ends of it, and returns the state at its end:
//
//     State next = stepper.Step(previous, gPrevious, g);
//
// The state is relative to the ground; the equation of motion, divided by the mass, is
//     a + (C/M) v + Q(x)/M = -g
// with Q the restoring force of the spring. The Newmark steppers take the spring as a
// template parameter (LinearSpring today). A yielding spring, whose step must be solved
// branch by branch, comes as a stepper of its own beside these (see docs/analysis-core.md);
// it fits the same Stepper concept and leaves these untouched.
//
// Every formula is computed in double and, only when a result is not finite, again with
// checked arithmetic to raise the exact fault (FaultSite::Integration).
#pragma once

#include <concepts>
#include <type_traits>
#include <utility>

#include "analysis/CheckedMath.h"
#include "analysis/ExactStep.h"
#include "analysis/RunInputs.h"

namespace kestrel {

// The building at one point, relative to the ground.
struct State {
    double x = 0;  // displacement, cm
    double v = 0;  // velocity, cm/s
    double a = 0;  // acceleration, cm/s^2
};

// The spring at one point, per unit mass (the energies of a run are sums of these).
struct SpringReading {
    double force = 0;  // restoring force Q / M, cm/s^2
    double work = 0;  // work of Q / M over the step that ended at the point, cm^2/s^2; 0 at point 0
};

// What a stepper is built from.
struct StepSetup {
    double timeStep = 0;  // s: the one the run's steps use (the record's in an earthquake run)
    Building building;    // K, M, h
    DerivedConstants constants;  // for timeStep
    State initial;               // the state at point 0
};

// One step method with its spring. Spring() tells of the spring after the last step (or at
// point 0): a SpringReading, or whatever the stepper's observers read (a copyable value).
template <typename S>
concept Stepper = requires(S& stepper, const S& reader, const State& state, double g) {
    { stepper.Step(state, g, g) } -> std::same_as<State>;
    requires std::copyable<std::remove_cvref_t<decltype(reader.Spring())>>;
};

// What a stepper's Spring() tells, as a value.
template <Stepper S>
using ReadingOf = std::remove_cvref_t<decltype(std::declval<const S&>().Spring())>;

// A spring whose force is proportional to the displacement. The Newmark steppers ask it
// for Q(x)/M in either number type and for its stiffness K/M.
template <typename S>
concept ProportionalSpring = requires(const S& spring, double x, Real checkedX) {
    { spring.StiffnessPerMass() } -> std::same_as<double>;
    { spring.ForcePerMass(x) } -> std::same_as<double>;
    { spring.ForcePerMass(checkedX) } -> std::same_as<Real>;
};

// The building's elastic column: Q = K x.
class LinearSpring {
public:
    explicit LinearSpring(double stiffnessPerMass) : k_(stiffnessPerMass) {}
    double StiffnessPerMass() const { return k_; }
    template <typename Num>
    Num ForcePerMass(Num x) const {
        return x * k_;
    }

private:
    double k_;  // K / M, 1/s^2
};

// D = Ts^2 ((1/6) K/M) + ((C/M) 0.5 Ts + 1): the denominator of the linear acceleration
// step, in the grouping of the program's opening steps (DeriveConstants).
template <typename Num>
Num LinearAccelerationDenominator(Num ts, Num dampingPerMass, Num stiffnessPerMass) {
    return checked::Pow(ts, Num(2)) * ((Num(1) / 6) * stiffnessPerMass) +
           ((dampingPerMass * 0.5 * ts) + 1);
}

namespace detail {

// Spring readings of a spring whose force is proportional to the displacement: the
// trapezoid rule is its exact work.
template <ProportionalSpring SpringModel>
SpringReading ProportionalReading(const SpringModel& spring, double xStart, double xEnd) {
    const double qStart = spring.ForcePerMass(xStart);
    const double qEnd = spring.ForcePerMass(xEnd);
    return {qEnd, (qStart + qEnd) * 0.5 * (xEnd - xStart)};
}

}  // namespace detail

// The program's method: Newmark with gamma 1/2, beta 1/6, the acceleration varying linearly
// over the step. With x^ = x + Ts v + Ts^2 a/3 and v^ = v + Ts a/2 (the predictors):
//     a1 = -[ Q(x^)/M + (C/M) v^ + g1 ] / D,   D = 1 + (C/M) Ts/2 + (K/M) Ts^2/6
//     v1 = v + Ts (a1 + a)/2
//     x1 = x + Ts v + Ts^2 (2a + a1)/6
// in exactly the grouping the program has always used, so that every number written stays
// the same bits. Only the ground acceleration at the end of the step enters.
template <ProportionalSpring SpringModel>
class LinearAccelerationStepper {
public:
    LinearAccelerationStepper(const StepSetup& setup, SpringModel spring)
        : spring_(spring),
          ts_(setup.timeStep),
          tsSquared_(checked::Pow(setup.timeStep, 2.0)),
          third_(1.0 / 3),
          sixth_(1.0 / 6),
          dampingPerMass_(setup.constants.dampingPerMass),
          denominator_(
              LinearAccelerationDenominator(ts_, dampingPerMass_, spring_.StiffnessPerMass())),
          xStart_(setup.initial.x),
          xEnd_(setup.initial.x) {}

    // The formulas take the state by value: a reference would hand its address to the
    // checked twin and keep the state in memory, each step's loads waiting on the last
    // step's stores.
    State Step(const State& p, double /*g0*/, double g1) {
        const double aP = p.a, vP = p.v, xP = p.x;
        const double a = checked::FiniteValue(
            [this, aP, vP, xP, g1]<typename Num>(Num) {
                const Num g = g1;
                return -(spring_.ForcePerMass(Num(tsSquared_) * (Num(third_) * Num(aP)) +
                                              (Num(vP) * ts_ + xP)) +
                         (((Num(aP) * 0.5) * ts_ + vP) * dampingPerMass_ + g)) /
                       denominator_;
            },
            FaultSite::Integration);
        const double v = checked::FiniteValue(
            [this, a, aP, vP]<typename Num>(Num) { return ((Num(a) + aP) * 0.5) * ts_ + vP; },
            FaultSite::Integration);
        const double x = checked::FiniteValue(
            [this, a, aP, vP, xP]<typename Num>(Num) {
                return Num(tsSquared_) * ((2 * Num(aP) + a) * sixth_) + (Num(vP) * ts_ + xP);
            },
            FaultSite::Integration);
        xStart_ = xP;
        xEnd_ = x;
        return State{x, v, a};
    }

    SpringReading Spring() const { return detail::ProportionalReading(spring_, xStart_, xEnd_); }

private:
    SpringModel spring_;
    double ts_;
    double tsSquared_;
    double third_;
    double sixth_;
    double dampingPerMass_;
    double denominator_;
    double xStart_;  // the last step's displacements
    double xEnd_;
};

// Newmark with gamma 1/2, beta 1/4 (the average acceleration method, unconditionally
// stable, second order):
//     a1 = -[ Q(x + Ts v + Ts^2 a/4)/M + (C/M)(v + Ts a/2) + g1 ] / D4,
//     D4 = 1 + (C/M) Ts/2 + (K/M) Ts^2/4
//     v1 = v + Ts (a + a1)/2
//     x1 = x + Ts v + Ts^2 (a + a1)/4
template <ProportionalSpring SpringModel>
class AverageAccelerationStepper {
public:
    AverageAccelerationStepper(const StepSetup& setup, SpringModel spring)
        : spring_(spring),
          ts_(setup.timeStep),
          dampingPerMass_(setup.constants.dampingPerMass),
          denominator_(1 + dampingPerMass_ * ts_ * 0.5 +
                       spring_.StiffnessPerMass() * ts_ * ts_ * 0.25),
          xStart_(setup.initial.x),
          xEnd_(setup.initial.x) {}

    State Step(const State& p, double /*g0*/, double g1) {
        State n;
        n.a = checked::Value(
            [&]<typename Num>(Num) {
                const Num ts = ts_, a = p.a, v = p.v, x = p.x, g = g1;
                return -(spring_.ForcePerMass(x + ts * v + ts * ts * 0.25 * a) +
                         dampingPerMass_ * (v + ts * 0.5 * a) + g) /
                       denominator_;
            },
            FaultSite::Integration);
        n.v = checked::Value(
            [&]<typename Num>(Num) {
                const Num ts = ts_, a = p.a, a1 = n.a, v = p.v;
                return v + ts * 0.5 * (a + a1);
            },
            FaultSite::Integration);
        n.x = checked::Value(
            [&]<typename Num>(Num) {
                const Num ts = ts_, a = p.a, a1 = n.a, v = p.v, x = p.x;
                return x + ts * v + ts * ts * 0.25 * (a + a1);
            },
            FaultSite::Integration);
        xStart_ = p.x;
        xEnd_ = n.x;
        return n;
    }

    SpringReading Spring() const { return detail::ProportionalReading(spring_, xStart_, xEnd_); }

private:
    SpringModel spring_;
    double ts_;
    double dampingPerMass_;
    double denominator_;
    double xStart_;
    double xEnd_;
};

// The exact step for a ground acceleration linear between the points (ExactStep.h), for
// the building's elastic column: w = sqrt(K/M), the building's h. The acceleration it
// returns is the relative one in equilibrium at the step's end,
//     a1 = -(2 h w v1 + w^2 x1) - g1.
class ExactStepper {
public:
    explicit ExactStepper(const StepSetup& setup);

    State Step(const State& p, double g0, double g1) {
        State n;
        n.x = checked::Value(
            [&]<typename Num>(Num) {
                const Num x = p.x, v = p.v, gStart = g0, gEnd = g1;
                return (x * k_.a11 + v * k_.a12) + (gStart * k_.b11 + gEnd * k_.b12);
            },
            FaultSite::Integration);
        n.v = checked::Value(
            [&]<typename Num>(Num) {
                const Num x = p.x, v = p.v, gStart = g0, gEnd = g1;
                return (x * k_.a21 + v * k_.a22) + (gStart * k_.b21 + gEnd * k_.b22);
            },
            FaultSite::Integration);
        n.a = checked::Value(
            [&]<typename Num>(Num) {
                const Num x = n.x, v = n.v;
                return (x * minusW2_ + v * minus2hw_) - g1;
            },
            FaultSite::Integration);
        xStart_ = p.x;
        xEnd_ = n.x;
        return n;
    }

    SpringReading Spring() const { return detail::ProportionalReading(spring_, xStart_, xEnd_); }

private:
    LinearSpring spring_;
    ExactStepMatrix k_;
    double minusW2_;   // -w^2
    double minus2hw_;  // -2 h w
    double xStart_;
    double xEnd_;
};

}  // namespace kestrel
