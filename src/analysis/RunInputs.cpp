#include "analysis/RunInputs.h"

#include "analysis/ProgramLimits.h"
#include "analysis/Steppers.h"
#include "runtime/Conversions.h"
#include "runtime/Real.h"

namespace kestrel {

namespace {

// The steady wave of a steady case; the displacement wave's amplitude is an acceleration:
// (displacement amplitude x omega) x omega. Raises ForcingParameters.
SteadyForcing ReadForcing(const RunTexts& texts, ExcitationCase excitation) {
    const FaultScope site(FaultSite::ForcingParameters);
    SteadyForcing f;
    if (excitation == ExcitationCase::SteadyAcceleration) {
        f.period = LeadingNumber(texts.accelerationPeriod);
        f.amplitude = LeadingNumber(texts.accelerationMax);
    } else if (excitation == ExcitationCase::SteadyDisplacement) {
        f.period = LeadingNumber(texts.displacementPeriod);
        const Real omega = Real(program::kTwoPi) / f.period;
        f.omega = omega.value();
        f.amplitude = ((Real(LeadingNumber(texts.displacementMax)) * omega) * omega).value();
    }
    return f;
}

}  // namespace

Building ReadBuilding(const ModelTexts& texts) {
    // Dividing a finite number by 100000 or 100 cannot fault.
    return {LeadingNumber(texts.stiffness), LeadingNumber(texts.mass) / 100000,
            LeadingNumber(texts.damping) / 100};
}

double NaturalPeriodOf(const Building& b) {
    Real r;
    {
        const FaultScope site(FaultSite::MassStiffnessRatio);
        const Real q = Real(b.mass) / b.stiffness;
        r = Pow(q, 0.5) * program::kTwoPi;
    }
    const FaultScope site(FaultSite::DampingFactor);
    const Real root = Pow(1 - Pow(b.dampingRatio, 2), 0.5);
    return (r / root).value();
}

DerivedConstants DeriveConstants(const Building& b, double timeStep) {
    const FaultScope site(FaultSite::StepConstants);
    const Real h = b.dampingRatio;
    const Real m = b.mass;
    DerivedConstants c;
    c.dampingCoefficient = (Pow(Real(b.stiffness) / m, 0.5) * ((h + h) * m)).value();
    c.dampingPerMass = (Real(c.dampingCoefficient) / m).value();
    c.stiffnessPerMass = (Real(b.stiffness) / m).value();
    c.denominator =
        LinearAccelerationDenominator<Real>(timeStep, c.dampingPerMass, c.stiffnessPerMass).value();
    return c;
}

FaultOr<RunInputs> ReadRunInputs(const RunTexts& texts, ExcitationCase excitation) {
    try {
        RunInputs in;
        in.excitation = excitation;
        in.building = ReadBuilding(texts.model);
        in.timeStep = LeadingNumber(texts.timeStep);
        in.analysisTime = LeadingNumber(texts.analysisTime);
        in.pointCount = program::PointCount(in.analysisTime, in.timeStep);
        in.naturalPeriod = NaturalPeriodOf(in.building);
        in.constants = DeriveConstants(in.building, in.timeStep);
        in.forcing = ReadForcing(texts, excitation);
        if (excitation == ExcitationCase::InitialDisplacement) {
            in.initialDisplacement = LeadingNumber(texts.firstDisplacement);
        } else if (excitation == ExcitationCase::InitialVelocity) {
            in.initialVelocity = LeadingNumber(texts.firstVelocity);
        }
        return in;
    } catch (const FaultError& e) {
        return e.fault();
    }
}

FaultOr<double> ReadNaturalPeriod(const ModelTexts& texts) {
    try {
        return NaturalPeriodOf(ReadBuilding(texts));
    } catch (const FaultError& e) {
        return e.fault();
    }
}

}  // namespace kestrel
