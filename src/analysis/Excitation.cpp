#include "analysis/Excitation.h"

#include <cstddef>

#include "runtime/Conversions.h"
#include "runtime/Real.h"

namespace kestrel {

void ReadForcingParameters(AnalysisState& s, ExcitationCase c, const RunTexts& texts) {
    const FaultScope site(FaultSite::ForcingParameters);
    if (c == ExcitationCase::SteadyAcceleration) {
        s.ForcingPeriod = LeadingNumber(texts.accelerationPeriod);
        s.ForcingAmplitude = LeadingNumber(texts.accelerationMax);
    } else if (c == ExcitationCase::SteadyDisplacement) {
        s.ForcingPeriod = LeadingNumber(texts.displacementPeriod);
        const Real omega = Real(TwoPi) / s.ForcingPeriod;
        s.ForcingOmega = omega.value();
        s.ForcingAmplitude = ((Real(LeadingNumber(texts.displacementMax)) * omega) * omega).value();
    }
}

void ApplyWaveRecord(AnalysisState& s, const WaveRecord& record) {
    // The file's numbers would occupy slots 0..N-1 before the time step is dropped, and
    // the shift touches slot N + 2.
    if (record.Count() + 2 > MaxSeriesIndex) {
        const FaultScope site(FaultSite::WaveRecord);
        RaiseFault(FaultKind::OutOfRange);
    }
    s.StepIndex = static_cast<float>(record.Count());
    s.TimeStep = record.timeStep;
    for (std::size_t k = 0; k < record.samples.size(); ++k) {
        s.CacSeries[static_cast<int>(k)] = record.samples[k];
    }
    // Slots N-1 .. N+2 hold 0 after the shift; the series were cleared, so they already do.
    for (int k = record.Count() - 1; k <= record.Count() + 2; ++k) s.CacSeries[k] = 0;
}

void SetInitialState(AnalysisState& s, ExcitationCase c, const RunTexts& texts) {
    const FaultScope site(FaultSite::InitialState);
    const Real cm = s.DampingPerMass;
    const Real km = s.StiffnessPerMass;
    s.TimeSeries[0] = 0;
    switch (c) {
        case ExcitationCase::InitialDisplacement:
        case ExcitationCase::InitialVelocity: {
            const bool displaced = c == ExcitationCase::InitialDisplacement;
            s.DisSeries[0] = displaced ? LeadingNumber(texts.firstDisplacement) : 0.0;
            s.VelSeries[0] = displaced ? 0.0 : LeadingNumber(texts.firstVelocity);
            s.CacSeries[0] = 0;
            s.AccSeries[0] = ((-cm) * s.VelSeries[0] - Real(s.DisSeries[0]) * km).value();
            break;
        }
        case ExcitationCase::SteadyAcceleration:
        case ExcitationCase::SteadyDisplacement:
            s.DisSeries[0] = 0;
            s.VelSeries[0] = 0;
            s.CacSeries[0] = 0;
            s.AccSeries[0] =
                (((-cm) * s.VelSeries[0] - Real(s.DisSeries[0]) * km) - s.CacSeries[0]).value();
            break;
        case ExcitationCase::Earthquake:
            // CacSeries[0] already holds the record's first sample.
            s.DisSeries[0] = 0;
            s.VelSeries[0] = 0;
            s.AccSeries[0] =
                (((-Real(s.CacSeries[0])) - Real(s.VelSeries[0]) * cm) - Real(s.DisSeries[0]) * km)
                    .value();
            break;
    }
}

}  // namespace kestrel
