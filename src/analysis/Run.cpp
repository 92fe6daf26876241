#include "analysis/Run.h"

#include "analysis/Excitation.h"
#include "analysis/Integrator.h"
#include "analysis/Model.h"
#include "runtime/Conversions.h"
#include "runtime/Real.h"

namespace kestrel {

namespace {

// The three model boxes; a mass in kg becomes kN*s^2/cm, a damping in % a ratio. Dividing
// a finite number by 100000 or 100 cannot fault.
void ReadModel(AnalysisState& s, const ModelTexts& texts) {
    s.Stiffness = LeadingNumber(texts.stiffness);
    s.Mass = LeadingNumber(texts.mass) / 100000;
    s.DampingRatio = LeadingNumber(texts.damping) / 100;
}

}  // namespace

std::optional<Fault> ComputeNaturalPeriodFromTexts(AnalysisState& s, const ModelTexts& texts) {
    try {
        ReadModel(s, texts);
        ComputeNaturalPeriod(s);
        return std::nullopt;
    } catch (const FaultError& e) {
        return e.fault();
    }
}

RunResult RunAnalysis(AnalysisState& s, const RunTexts& texts, ExcitationCase c,
                      const RunHooks& hooks) {
    RunResult result;
    try {
        // Opening steps, in the order every run takes them.
        ReadModel(s, texts.model);
        s.TimeStep = LeadingNumber(texts.timeStep);
        s.AnalysisTime = LeadingNumber(texts.analysisTime);
        {
            const FaultScope site(FaultSite::StepCount);
            s.StepCount = RoundToInteger16((Real(s.AnalysisTime) / s.TimeStep + 2).value());
        }
        ComputeNaturalPeriod(s);
        DeriveStepConstants(s);
        ReadForcingParameters(s, c, texts);
        s.CacPeak = s.AccPeak = s.VelPeak = s.DisPeak = 0;
        ClearSeries(s);
        if (hooks.showNaturalPeriod) hooks.showNaturalPeriod(s.NaturalPeriod);

        if (c == ExcitationCase::Earthquake) {
            std::optional<WaveRecord> record;
            if (hooks.loadWaveRecord) record = hooks.loadWaveRecord();
            if (!record) {
                result.status = RunResult::Status::EndedEarly;
                return result;
            }
            ApplyWaveRecord(s, *record);
            // The steps use the record's time step, so the step constant must use it too.
            DeriveStepConstants(s);
        }
        SetInitialState(s, c, texts);
        IntegrateResponse(s, c);
        if (IsForced(c)) FinishForcedSeries(s);

        // Hand-over: playback starts at point 0, nominally at twice real time.
        s.StepIndex = 0;
        const FaultScope site(FaultSite::TimerInterval);
        result.timerIntervalMs = RoundToInteger32((Real(s.TimeStep) * 500).value());
        result.status = RunResult::Status::Completed;
    } catch (const FaultError& e) {
        result.status = RunResult::Status::Faulted;
        result.fault = e.fault();
    }
    return result;
}

}  // namespace kestrel
