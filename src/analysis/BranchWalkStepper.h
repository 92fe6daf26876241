// The linear acceleration method (Newmark, gamma 1/2, beta 1/6) on a column that may yield:
// the fourth stepper, beside those of Steppers.h, for any restoring-force model of
// Hysteresis.h.
//
// With the predictors of the elastic run, x^ = x + Ts v + Ts^2 a/3 and v^ = v + Ts a/2, the
// step's end is x1 = x^ + Ts^2/6 a1 and v1 = v^ + Ts/2 a1, and its equation
//     a1 + (C/M) v1 + Q(x1)/M = -g1
// is linear on every branch Q = q0 + k (x - x0) of the spring:
//     a1 = -[ (q0 + k (x^ - x0))/M + (C/M) v^ + g1 ] / (1 + (C/M) Ts/2 + (k/M) Ts^2/6).
// The left side minus the right grows with x1 along the spring's path in either direction
// (every branch has k >= 0), so the step moves one way only, and which way is known at its
// start whatever the branches' stiffness: the sign of the unbalanced force there,
//     (x^ - x)(1 + (C/M) Ts/2) - Ts^2/6 ((C/M) v^ + g1 + Q(x)/M).
// The step walks the branches ahead in that direction in path order (as WalkSpring), solves
// the line of each and takes the first solution that lies within its branch. A walk crosses
// at most kMaxSpringSegments branches: nothing is iterated, nothing can cycle at a kink.
//
// The stepper holds the spring and tells the run's observers of it by value (Spring()): an
// elastic-plastic run keeps the spring's state in registers from step to step, as the elastic
// run keeps its own, and nothing outside the loop holds its address. The spring model is a
// template parameter: no virtual call in the step.
#pragma once

#include <limits>
#include <utility>

#include "analysis/Hysteresis.h"
#include "analysis/Steppers.h"

namespace kestrel {

template <RestoringForce SpringT>
class BranchWalkStepper {
public:
    // The spring as the run starts: loaded to the displacement at point 0 (StartAt).
    BranchWalkStepper(const StepSetup& setup, const SpringT& spring)
        : spring_(spring),
          ts_(setup.timeStep),
          tsSquared_(checked::Pow(setup.timeStep, 2.0)),
          third_(1.0 / 3),
          sixth_(1.0 / 6),
          mass_(setup.building.mass),
          inverseMass_(1 / setup.building.mass),
          dampingPerMass_(setup.constants.dampingPerMass),
          stiffnessPerMass_(setup.constants.stiffnessPerMass),
          dampingTerm_((dampingPerMass_ * 0.5 * ts_) + 1) {}

    // Point 0: the case sets its acceleration against K x0; a column loaded beyond yield
    // holds Q(x0) instead, and the acceleration is put in balance with that. Within the
    // elastic range Q(x0) is K x0 exactly and the state is returned as it came.
    State Start(const State& initial) const {
        State s = initial;
        const double q = spring_.Force();
        if (q != spring_.Stiffness() * initial.x) {
            s.a = checked::Value(
                [a = initial.a, x = initial.x, q, k = stiffnessPerMass_,
                 m = mass_]<typename Num>(Num) { return Num(a) + (Num(x) * k - Num(q) / m); },
                FaultSite::InitialState);
        }
        return s;
    }

    // Always inlined into the run's loop. The formulas capture numbers only: a captured
    // reference or `this` would hand an address to the checked twin and keep the state and
    // the spring in memory from step to step. Their operands are finite, so a result that is
    // not finite is an overflow the checked twin raises (checked::FiniteValue).
    [[gnu::always_inline]] State Step(const State& p, double /*g0*/, double g1) {
        const double aP = p.a, vP = p.v, xP = p.x;
        const double ts = ts_, ts2 = tsSquared_, third = third_, sixth = sixth_;
        const double cm = dampingPerMass_, im = inverseMass_;
        const double xHat = checked::FiniteValue(
            [ts, ts2, third, aP, vP, xP]<typename Num>(Num) {
                return Num(ts2) * (Num(third) * Num(aP)) + (Num(vP) * ts + xP);
            },
            FaultSite::Integration);
        const double vHat = checked::FiniteValue(
            [ts, aP, vP]<typename Num>(Num) { return (Num(aP) * 0.5) * ts + vP; },
            FaultSite::Integration);
        // (C/M) v^ + g1, the part of the load the branches share.
        const double load =
            checked::FiniteValue([cm, vHat, g1]<typename Num>(Num) { return Num(vHat) * cm + g1; },
                                 FaultSite::Integration);
        const double unbalanced =
            (xHat - xP) * dampingTerm_ - ts2 * sixth * (load + spring_.Force() * im);
        const int direction = unbalanced < 0 ? -1 : 1;

        // The walk of WalkSpring (Hysteresis.h), written out so that it is compiled into the
        // step: the branches ahead in path order, each solved, the first solution within its
        // branch taken, at most kMaxSpringSegments of them.
        double a1 = 0, x1 = 0;
        for (int n = 1;; ++n) {
            const SpringSegment s = spring_.Segment(direction);
            const double d = InverseDenominator(s.k);
            const double q0 = s.q0, k = s.k, x0 = s.x0;
            a1 = checked::FiniteValue(
                [im, q0, k, x0, xHat, load, d]<typename Num>(Num) {
                    const Num q = Num(q0) + Num(k) * (Num(xHat) - x0);
                    return -(q * im + load) * d;
                },
                FaultSite::Integration);
            x1 = checked::FiniteValue(
                [ts, ts2, sixth, a1, aP, vP, xP]<typename Num>(Num) {
                    return Num(ts2) * ((2 * Num(aP) + a1) * sixth) + (Num(vP) * ts + xP);
                },
                FaultSite::Integration);
            if (!s.Passes(x1) || n == kMaxSpringSegments) {
                spring_.MoveTo(s, x1);
                break;
            }
            spring_.MoveTo(s, s.xEnd);
        }

        const double v1 = checked::FiniteValue(
            [ts, a1, aP, vP]<typename Num>(Num) { return ((Num(a1) + aP) * 0.5) * ts + vP; },
            FaultSite::Integration);
        return State{x1, v1, a1};
    }

    // The spring after the last step (at point 0, as it came): its force, work, energies and
    // counters.
    const SpringT& Spring() const { return spring_; }

private:
    // 1 / (1 + (C/M) Ts/2 + (k/M) Ts^2/6) of a branch's slope k (kN/cm). A run meets few
    // slopes over and over (K and p K; a Clough or origin-oriented line for a while), so
    // the last two are kept.
    double InverseDenominator(double k) {
        if (k == slopes_[0]) return inverses_[0];
        if (k != slopes_[1]) {
            slopes_[1] = k;
            inverses_[1] = 1 / (tsSquared_ * (sixth_ * (k * inverseMass_)) + dampingTerm_);
        }
        std::swap(slopes_[0], slopes_[1]);
        std::swap(inverses_[0], inverses_[1]);
        return inverses_[0];
    }

    SpringT spring_;
    double ts_;
    double tsSquared_;
    double third_;
    double sixth_;
    double mass_;         // M, kN s^2/cm
    double inverseMass_;  // 1/M
    // The slopes met last and their InverseDenominator; NaN matches no slope.
    double slopes_[2] = {std::numeric_limits<double>::quiet_NaN(),
                         std::numeric_limits<double>::quiet_NaN()};
    double inverses_[2] = {0, 0};
    double dampingPerMass_;    // C/M, 1/s
    double stiffnessPerMass_;  // K/M, 1/s^2
    double dampingTerm_;       // 1 + (C/M) Ts/2
};

}  // namespace kestrel
