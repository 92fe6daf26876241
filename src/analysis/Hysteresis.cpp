#include "analysis/Hysteresis.h"

#include <cmath>

namespace kestrel {

bool ValidSpringParameters(const SpringParameters& p) {
    const double dy = p.yieldForce / p.stiffness;
    return std::isfinite(p.stiffness) && p.stiffness > 0 && std::isfinite(p.yieldForce) &&
           p.yieldForce > 0 && p.secondStiffnessRatio >= 0 && p.secondStiffnessRatio < 1 &&
           std::isfinite(dy) && dy > 0;
}

namespace {

// From rest along the skeleton (the first loading follows it in every model), then the
// run's counters start: the work is the strain energy held, nothing has been dissipated.
template <class Spring>
Spring LoadedTo(Spring fresh, double x0) {
    DriveSpringTo(fresh, x0);
    return fresh;
}

}  // namespace

void ElasticSpring::StartAt(double x0) {
    *this = LoadedTo(ElasticSpring(k_), x0);
    StartCounting(StrainEnergy());
}

void BilinearSpring::StartAt(double x0) {
    *this = LoadedTo(BilinearSpring(Parameters()), x0);
    StartCounting(StrainEnergy());
}

void CloughSpring::StartAt(double x0) {
    *this = LoadedTo(CloughSpring(Parameters()), x0);
    StartCounting(StrainEnergy());
}

void OriginSpring::StartAt(double x0) {
    *this = LoadedTo(OriginSpring(Parameters()), x0);
    StartCounting(StrainEnergy());
}

AnySpring MakeSpring(SpringModel model, const SpringParameters& p) {
    switch (model) {
        case SpringModel::Bilinear:
            return BilinearSpring(p);
        case SpringModel::Clough:
            return CloughSpring(p);
        case SpringModel::Origin:
            return OriginSpring(p);
        case SpringModel::Linear:
            break;
    }
    return ElasticSpring(p.stiffness);
}

}  // namespace kestrel
