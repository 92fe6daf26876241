// The energies of the relative system of a run, summed point by point as an observer of the
// run (Observers.h), in kN cm:
//
//   input       E_I = -∫ M g dx, g the ground acceleration (trapezoid on each step), from
//               E_I(0) = E_K(0) + E_S(0): what the building holds at point 0 in the
//               free-vibration cases (0 in the others, which start at rest);
//   kinetic     E_K = M v^2 / 2;
//   damping     E_D = ∫ C v dx (trapezoid on each step);
//   strain      E_S, the energy the spring would return unloading to zero force along its
//               unloading line (the model's StrainEnergy);
//   hysteretic  E_H = ∫ Q dx - E_S, the spring's work exact along its branches (Work, which
//               starts at E_S(0): the plastic work of loading the column to x0 before the run
//               is not counted).
//
// E_I = E_K + E_D + E_S + E_H would hold for the exact motion; for the stepped one it holds up
// to the step method's error, which the observer measures as the balance error
//     max over the points |E_I - E_K - E_D - E_S - E_H| / max over the points E_I.
// An energy that leaves the range of double stops the run (Overflow; FaultSite::InitialState
// at point 0, Integration after it): told before the series (AnalyzeWith), the observer keeps
// that point out of the response.
#pragma once

#include <algorithm>
#include <cmath>

#include "analysis/Hysteresis.h"
#include "analysis/Observers.h"
#include "runtime/Fault.h"

namespace kestrel {

struct Energies {
    double input = 0;       // E_I
    double kinetic = 0;     // E_K
    double damping = 0;     // E_D
    double strain = 0;      // E_S
    double hysteretic = 0;  // E_H

    // E_I - E_K - E_D - E_S - E_H.
    double Imbalance() const { return input - kinetic - damping - strain - hysteretic; }
};

// Reads the spring a point carries (BranchWalkStepper tells it by value), so it is told of a
// point after the step that made it.
template <RestoringForce SpringT>
class EnergyObserver {
public:
    // M in kN s^2/cm, C in kN s/cm.
    EnergyObserver(double mass, double dampingCoefficient)
        : mass_(mass), damping_(dampingCoefficient) {}

    void Start(const RunPointOf<SpringT>& point) {
        now_ = Energies{};
        now_.kinetic = 0.5 * mass_ * point.relative.v * point.relative.v;
        now_.strain = point.spring.StrainEnergy();
        now_.input = now_.kinetic + now_.strain;
        now_.hysteretic = point.spring.Work() - now_.strain;
        if (!Finite(now_)) [[unlikely]] {
            Overflow(FaultSite::InitialState);
        }
        maxInput_ = now_.input;
        maxImbalance_ = std::fabs(now_.Imbalance());
        Keep(point);
    }

    void Observe(const RunPointOf<SpringT>& point) {
        const double dx = point.relative.x - x_;
        now_.input -= mass_ * ((g_ + point.ground) * 0.5) * dx;
        now_.damping += damping_ * ((v_ + point.relative.v) * 0.5) * dx;
        now_.kinetic = 0.5 * mass_ * point.relative.v * point.relative.v;
        now_.strain = point.spring.StrainEnergy();
        now_.hysteretic = point.spring.Work() - now_.strain;
        // An energy that is not finite leaves the imbalance not finite: one test per point,
        // and the energies looked at only then.
        const double imbalance = now_.Imbalance();
        if (!std::isfinite(imbalance)) [[unlikely]] {
            if (!Finite(now_)) Overflow(FaultSite::Integration);
        }
        maxInput_ = std::max(maxInput_, now_.input);
        maxImbalance_ = std::max(maxImbalance_, std::fabs(imbalance));
        Keep(point);
    }

    // At the last point told.
    const Energies& now() const { return now_; }
    // The largest E_I so far (at least E_I(0)).
    double maxInput() const { return maxInput_; }
    // The balance error so far: 0 while nothing has moved; infinite if energy appeared
    // while none had come in.
    double BalanceError() const {
        if (maxInput_ > 0) return maxImbalance_ / maxInput_;
        return maxImbalance_ > 0 ? HUGE_VAL : 0;
    }

private:
    // E_S enters E_H, so a strain energy that is not finite is seen there.
    static bool Finite(const Energies& e) {
        return std::isfinite(e.input) && std::isfinite(e.kinetic) && std::isfinite(e.damping) &&
               std::isfinite(e.hysteretic);
    }
    // An energy beyond the range of double (a state at point 0 too large, or a response that
    // has run away): the run stops there.
    [[noreturn, gnu::noinline, gnu::cold]] static void Overflow(FaultSite site) {
        const FaultScope scope(site);
        RaiseFault(FaultKind::Overflow);
    }
    void Keep(const RunPointOf<SpringT>& point) {
        x_ = point.relative.x;
        v_ = point.relative.v;
        g_ = point.ground;
    }

    double mass_;
    double damping_;
    Energies now_;
    double maxInput_ = 0;
    double maxImbalance_ = 0;
    double x_ = 0, v_ = 0, g_ = 0;  // the last point's
};

}  // namespace kestrel
