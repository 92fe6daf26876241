#include "analysis/Model.h"

#include <algorithm>

#include "runtime/Real.h"

namespace kestrel {

void ComputeNaturalPeriod(AnalysisState& s) {
    Real r;
    {
        const FaultScope site(FaultSite::MassStiffnessRatio);
        const Real q = Real(s.Mass) / s.Stiffness;
        r = Pow(q, 0.5) * TwoPi;
    }
    const FaultScope site(FaultSite::DampingFactor);
    const Real damping = 1 - Pow(s.DampingRatio, 2);
    const Real root = Pow(damping, 0.5);
    s.NaturalPeriod = (r / root).value();
}

void DeriveStepConstants(AnalysisState& s) {
    const FaultScope site(FaultSite::StepConstants);
    const Real h = s.DampingRatio;
    const Real m = s.Mass;
    const Real ts = s.TimeStep;
    s.DampingCoefficient = (Pow(Real(s.Stiffness) / m, 0.5) * ((h + h) * m)).value();
    s.DampingPerMass = (Real(s.DampingCoefficient) / m).value();
    s.StiffnessPerMass = (Real(s.Stiffness) / m).value();
    s.StepDenominator = (Pow(ts, 2) * ((Real(1) / 6) * s.StiffnessPerMass) +
                         ((Real(s.DampingPerMass) * 0.5 * ts) + 1))
                            .value();
}

void ClearSeries(AnalysisState& s) {
    for (Series* series : {&s.TimeSeries, &s.CacSeries, &s.AccSeries, &s.VelSeries, &s.DisSeries}) {
        std::fill_n(series->data(), SeriesLength, 0.0);
    }
    s.StepIndex = static_cast<float>(MaxSeriesIndex + 1);
}

}  // namespace kestrel
