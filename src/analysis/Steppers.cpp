#include "analysis/Steppers.h"

#include <cmath>

namespace kestrel {

ExactStepper::ExactStepper(const StepSetup& setup)
    : spring_(setup.constants.stiffnessPerMass), xStart_(setup.initial.x), xEnd_(setup.initial.x) {
    const double omega = std::sqrt(setup.constants.stiffnessPerMass);
    const double h = setup.building.dampingRatio;
    k_ = ExactStepMatrixFor(omega, h, setup.timeStep);
    minusW2_ = -(omega * omega);
    minus2hw_ = -((2 * h) * omega);
}

}  // namespace kestrel
