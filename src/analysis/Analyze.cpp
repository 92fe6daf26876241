#include "analysis/Analyze.h"

#include "runtime/Real.h"

namespace kestrel {

State InitialStateOf(const RunInputs& inputs, const DerivedConstants& constants,
                     double groundAtZero) {
    const FaultScope site(FaultSite::InitialState);
    const Real cm = constants.dampingPerMass;
    const Real km = constants.stiffnessPerMass;
    const Real g0 = groundAtZero;
    State s;
    s.x = inputs.initialDisplacement;
    s.v = inputs.initialVelocity;
    switch (inputs.excitation) {
        case ExcitationCase::InitialDisplacement:
        case ExcitationCase::InitialVelocity:
            s.a = ((-cm) * s.v - Real(s.x) * km).value();
            break;
        case ExcitationCase::SteadyAcceleration:
        case ExcitationCase::SteadyDisplacement:
            s.a = (((-cm) * s.v - Real(s.x) * km) - g0).value();
            break;
        case ExcitationCase::Earthquake:
            s.a = (((-g0) - Real(s.v) * cm) - Real(s.x) * km).value();
            break;
    }
    return s;
}

StepSetup PrepareSteps(const RunInputs& inputs, const GroundMotion& motion) {
    StepSetup setup;
    setup.timeStep = StepTimeOf(inputs, motion);
    setup.building = inputs.building;
    setup.constants = std::holds_alternative<RecordedMotion>(motion)
                          ? DeriveConstants(inputs.building, setup.timeStep)
                          : inputs.constants;
    setup.initial = InitialStateOf(inputs, setup.constants, GroundAt(motion, 0));
    program::RequirePoints(inputs.pointCount);
    return setup;
}

Response Analyze(const RunInputs& inputs, const GroundMotion& motion, StepperKind kind) {
    switch (kind) {
        case StepperKind::AverageAcceleration:
            return AnalyzeWith(inputs, motion, [](const StepSetup& setup) {
                return AverageAccelerationStepper<LinearSpring>(
                    setup, LinearSpring(setup.constants.stiffnessPerMass));
            });
        case StepperKind::Exact:
            return AnalyzeWith(inputs, motion,
                               [](const StepSetup& setup) { return ExactStepper(setup); });
        case StepperKind::LinearAcceleration:
            break;
    }
    return AnalyzeWith(inputs, motion, [](const StepSetup& setup) {
        return LinearAccelerationStepper<LinearSpring>(
            setup, LinearSpring(setup.constants.stiffnessPerMass));
    });
}

}  // namespace kestrel
