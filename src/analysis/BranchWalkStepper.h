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
// The step walks the branches ahead in that direction in path order (WalkSpring), solves
// the line of each and takes the first solution that lies within its branch. A walk crosses
// at most kMaxSpringSegments branches: nothing is iterated, nothing can cycle at a kink.
//
// The spring is the caller's (the run's observers read its force, energies and counters);
// the stepper loads it along its skeleton to the displacement at point 0 when it is built.
// The spring model is a template parameter: no virtual call in the step.
#pragma once

#include "analysis/Hysteresis.h"
#include "analysis/Steppers.h"

namespace kestrel {

template <RestoringForce SpringT>
class BranchWalkStepper {
public:
    BranchWalkStepper(const StepSetup& setup, SpringT& spring)
        : spring_(&spring),
          ts_(setup.timeStep),
          tsSquared_(checked::Pow(setup.timeStep, 2.0)),
          third_(1.0 / 3),
          sixth_(1.0 / 6),
          mass_(setup.building.mass),
          dampingPerMass_(setup.constants.dampingPerMass),
          stiffnessPerMass_(setup.constants.stiffnessPerMass),
          dampingTerm_((dampingPerMass_ * 0.5 * ts_) + 1) {
        spring.StartAt(setup.initial.x);
        workBefore_ = spring.Work();
    }

    // Point 0: the case sets its acceleration against K x0; a column loaded beyond yield
    // holds Q(x0) instead, and the acceleration is put in balance with that. Within the
    // elastic range Q(x0) is K x0 exactly and the state is returned as it came.
    State Start(const State& initial) const {
        State s = initial;
        const double q = spring_->Force();
        if (q != spring_->Stiffness() * initial.x) {
            s.a = checked::Value(
                [&]<typename Num>(Num) {
                    return Num(initial.a) + (Num(initial.x) * stiffnessPerMass_ - Num(q) / mass_);
                },
                FaultSite::InitialState);
        }
        return s;
    }

    State Step(const State& p, double /*g0*/, double g1) {
        const double xHat = checked::Value(
            [&]<typename Num>(Num) {
                const Num a = p.a, v = p.v, x = p.x;
                return Num(tsSquared_) * (Num(third_) * a) + (v * ts_ + x);
            },
            FaultSite::Integration);
        const double vHat = checked::Value(
            [&]<typename Num>(Num) {
                const Num a = p.a, v = p.v;
                return (a * 0.5) * ts_ + v;
            },
            FaultSite::Integration);
        // (C/M) v^ + g1, the part of the load the branches share.
        const double load =
            checked::Value([&]<typename Num>(Num) { return Num(vHat) * dampingPerMass_ + g1; },
                           FaultSite::Integration);
        const double unbalanced =
            (xHat - p.x) * dampingTerm_ - tsSquared_ * sixth_ * (load + spring_->Force() / mass_);
        const int direction = unbalanced < 0 ? -1 : 1;

        workBefore_ = spring_->Work();
        double a1 = 0;
        const double x1 = WalkSpring(*spring_, direction, [&](const SpringSegment& s) {
            const double kM = s.k / mass_;
            a1 = checked::Value(
                [&]<typename Num>(Num) {
                    const Num q = Num(s.q0) + Num(s.k) * (Num(xHat) - s.x0);
                    return -(q / mass_ + load) /
                           (Num(tsSquared_) * (Num(sixth_) * kM) + dampingTerm_);
                },
                FaultSite::Integration);
            return checked::Value(
                [&]<typename Num>(Num) {
                    const Num a = a1, aP = p.a, vP = p.v, xP = p.x;
                    return Num(tsSquared_) * ((2 * aP + a) * sixth_) + (vP * ts_ + xP);
                },
                FaultSite::Integration);
        });

        State n;
        n.a = a1;
        n.x = x1;
        n.v = checked::Value(
            [&]<typename Num>(Num) {
                const Num a = a1, aP = p.a, vP = p.v;
                return ((a + aP) * 0.5) * ts_ + vP;
            },
            FaultSite::Integration);
        return n;
    }

    // Q/M now and the spring's work over the last step, per unit mass.
    SpringReading Spring() const {
        return {spring_->Force() / mass_, (spring_->Work() - workBefore_) / mass_};
    }

private:
    SpringT* spring_;
    double ts_;
    double tsSquared_;
    double third_;
    double sixth_;
    double mass_;              // M, kN s^2/cm
    double dampingPerMass_;    // C/M, 1/s
    double stiffnessPerMass_;  // K/M, 1/s^2
    double dampingTerm_;       // 1 + (C/M) Ts/2
    double workBefore_ = 0;    // the spring's work at the start of the last step, kN cm
};

}  // namespace kestrel
