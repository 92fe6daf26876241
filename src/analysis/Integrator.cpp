#include "analysis/Integrator.h"

#include <cmath>

#include "runtime/Real.h"

namespace kestrel {

namespace {

// The constants of one run's steps. They depend only on the state, so they are computed
// once per run; each is the same value the step formula would compute in place.
struct StepConstants {
    double ts;
    double tsSquared;
    double third;
    double sixth;
    double stiffnessPerMass;
    double dampingPerMass;
    double denominator;
};

StepConstants MakeStepConstants(const AnalysisState& s) {
    const Real ts = s.TimeStep;
    return {ts.value(),         Pow(ts, 2).value(), (Real(1) / 3).value(), (Real(1) / 6).value(),
            s.StiffnessPerMass, s.DampingPerMass,   s.StepDenominator};
}

// The three formulas of a step, written once for two number types: plain double for
// speed, and Real, whose every operation is checked. A step is computed with doubles;
// only when a result is not finite is the same formula computed again with Real, which
// then raises the fault of the exact operation that failed.

// a(i) = -[ (K/M)(x + Ts v + Ts^2 a/3) + (C/M)(v + Ts a/2) + g ] / D
template <typename Num>
Num Acceleration(const StepConstants& k, Num aP, Num vP, Num xP, Num g) {
    return -((Num(k.tsSquared) * (Num(k.third) * aP) + (vP * k.ts + xP)) * k.stiffnessPerMass +
             (((aP * 0.5) * k.ts + vP) * k.dampingPerMass + g)) /
           k.denominator;
}

// v(i) = v + Ts (a(i) + a)/2
template <typename Num>
Num Velocity(const StepConstants& k, Num a, Num aP, Num vP) {
    return ((a + aP) * 0.5) * k.ts + vP;
}

// x(i) = x + Ts v + Ts^2 (2a + a(i))/6
template <typename Num>
Num Displacement(const StepConstants& k, Num a, Num aP, Num vP, Num xP) {
    return Num(k.tsSquared) * ((2 * aP + a) * k.sixth) + (vP * k.ts + xP);
}

// The value of a formula computed with doubles, or the fault its checked twin raises.
template <typename Formula>
double Checked(Formula formula, FaultSite site = FaultSite::Integration) {
    const double fast = formula(double{});
    if (std::isfinite(fast)) return fast;
    const FaultScope scope(site);
    return formula(Real{}).value();
}

double Sin(double x) {
    return std::sin(x);
}

void Advance(AnalysisState& s, int i, const StepConstants& k) {
    const int p = i - 1;
    const double aP = s.AccSeries[p];
    const double vP = s.VelSeries[p];
    const double xP = s.DisSeries[p];
    const double g = s.CacSeries[i];
    const double a =
        Checked([&]<typename Num>(Num) { return Acceleration<Num>(k, aP, vP, xP, g); });
    s.AccSeries[i] = a;
    s.VelSeries[i] = Checked([&]<typename Num>(Num) { return Velocity<Num>(k, a, aP, vP); });
    s.DisSeries[i] =
        Checked([&]<typename Num>(Num) { return Displacement<Num>(k, a, aP, vP, xP); });
}

}  // namespace

void AdvanceStep(AnalysisState& s, int i) {
    const FaultScope site(FaultSite::Integration);
    Advance(s, i, MakeStepConstants(s));
}

void UpdatePeaks(AnalysisState& s, int i) {
    auto raise = [](double value, double& peak) {
        if (std::fabs(value) > peak) peak = std::fabs(value);
    };
    raise(s.CacSeries[i], s.CacPeak);
    raise(s.AccSeries[i], s.AccPeak);
    raise(s.VelSeries[i], s.VelPeak);
    raise(s.DisSeries[i], s.DisPeak);
}

void IntegrateResponse(AnalysisState& s, ExcitationCase c) {
    if (s.StepCount < 1) {
        // The loop's exit test would never be met and the steps would run off the series.
        const FaultScope site(FaultSite::StepRange);
        RaiseFault(FaultKind::OutOfRange);
    }
    const FaultScope site(FaultSite::Integration);
    const StepConstants k = MakeStepConstants(s);
    const bool steady =
        c == ExcitationCase::SteadyAcceleration || c == ExcitationCase::SteadyDisplacement;
    const double halfPeriod = s.ForcingPeriod / 2;  // a finite number halved cannot fault

    s.StepIndex = 1;
    for (int i = 1; i != s.StepCount; ++i) {
        s.TimeSeries[i] = Checked([&]<typename Num>(Num) { return Num(i) * k.ts; });
        if (steady) {
            // g(i) = sin(((Ts pi) i) / (T0 / 2)) A
            s.CacSeries[i] = Checked(
                [&]<typename Num>(Num) {
                    return Sin(((Num(k.ts) * Pi) * i) / halfPeriod) * s.ForcingAmplitude;
                },
                FaultSite::GroundMotion);
        } else if (!IsForced(c)) {
            s.CacSeries[i] = 0;
        }
        Advance(s, i, k);
        if (!IsForced(c)) UpdatePeaks(s, i);
        s.StepIndex = static_cast<float>(i + 1);
    }
    s.StepIndex = s.StepCount;
}

void FinishForcedSeries(AnalysisState& s) {
    const FaultScope site(FaultSite::Integration);
    s.StepIndex = 1;
    for (int i = 1; i < s.StepCount; ++i) {
        const double relative = s.AccSeries[i];
        const double ground = s.CacSeries[i];
        s.AccSeries[i] = Checked([&]<typename Num>(Num) { return Num(relative) + ground; });
        UpdatePeaks(s, i);
    }
    s.StepIndex = s.StepCount;
}

}  // namespace kestrel
