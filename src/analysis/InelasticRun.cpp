#include "analysis/InelasticRun.h"

#include <algorithm>
#include <cmath>

#include "analysis/BranchWalkStepper.h"

namespace kestrel {

SpringParameters SpringParametersOf(const Building& building, const InelasticParameters& p) {
    return {building.stiffness, p.yieldCoefficient * building.mass * kStandardGravity,
            p.secondStiffnessRatio};
}

std::optional<InelasticRefusal> RefusalOf(const Building& building, const InelasticParameters& p) {
    if (!(std::isfinite(p.yieldCoefficient) && p.yieldCoefficient > 0)) {
        return InelasticRefusal::YieldCoefficient;
    }
    if (!(p.secondStiffnessRatio >= 0 && p.secondStiffnessRatio < 1)) {
        return InelasticRefusal::SecondStiffnessRatio;
    }
    if (!(building.mass > 0) || !ValidSpringParameters(SpringParametersOf(building, p))) {
        return InelasticRefusal::Building;
    }
    return std::nullopt;
}

double InelasticResponse::SkeletonForce(double x) const {
    const double dy = spring_.yieldForce / spring_.stiffness;
    const double a = std::fabs(x);
    if (a <= dy) return spring_.stiffness * x;
    return std::copysign(
        spring_.yieldForce + spring_.secondStiffnessRatio * spring_.stiffness * (a - dy), x);
}

void InelasticSeries::Reserve(int points) {
    capacity_ = static_cast<std::size_t>(points > 0 ? points : 0);
    // The flags after the columns, in whole doubles.
    const std::size_t flags = (capacity_ + sizeof(double) - 1) / sizeof(double);
    data_ = std::make_shared_for_overwrite<double[]>(kColumns * capacity_ + flags);
    size_ = 0;
}

namespace {

// Beside the series and the peaks of every run: the spring's force, the energies, the
// yielding flags, and what the summary takes at the last row.
template <RestoringForce SpringT>
class InelasticRecorder {
public:
    InelasticRecorder(const RunInputs& inputs, InelasticSeries& series)
        : energies_(inputs.building.mass, inputs.constants.dampingCoefficient),
          series_(series),
          mass_(inputs.building.mass),
          rowLimit_(std::max(0, inputs.pointCount - 2)) {
        series.Reserve(std::clamp(inputs.pointCount, 0, program::kMaxPointCount));
    }

    void Start(const RunPointOf<SpringT>& point) {
        energies_.Start(point);
        Record(point);
    }

    void Observe(const RunPointOf<SpringT>& point) {
        energies_.Observe(point);
        peakForce_ = std::max(peakForce_, std::fabs(point.spring.Force()));
        Record(point);
    }

    // Completed from the series once the run has ended: μ and the row's values are read back
    // from them rather than kept at every point (the step loop has registers for fewer
    // numbers than it would carry).
    InelasticSummary Summary(const SpringParameters& p, const Response& response) const {
        InelasticSummary s;
        s.yieldForce = p.yieldForce;
        s.yieldDisplacement = p.yieldForce / p.stiffness;
        s.balanceError = energies_.BalanceError();
        // An observer that faults at a point keeps it out of every series alike.
        const int row = std::min(rowLimit_, series_.size() - 1);
        s.lastRow = row;
        if (row < 0) return s;
        s.peakForce = peakForce_;
        // |x| from point 0 on: the response's peak (from point 1 on) and point 0.
        const double maxDisplacement =
            std::max(std::fabs(response.displacement()[0]), response.peaks().displacement);
        s.ductility = maxDisplacement / s.yieldDisplacement;
        const auto at = [row](std::span<const double> column) {
            return column[static_cast<std::size_t>(row)];
        };
        const double force = at(series_.force());
        s.residualDisplacement = at(response.displacement());
        s.plasticOffset = s.residualDisplacement - force / p.stiffness;
        s.cumulativePlasticRatio = rowPlastic_ / s.yieldDisplacement;
        s.energies = Energies{at(series_.input()), at(series_.kinetic()), at(series_.damping()),
                              at(series_.strain()), at(series_.hysteretic())};
        const double input = s.energies.input;
        if (input > 0) {
            s.hystereticShare = s.energies.hysteretic / input;
            // sqrt(2 E_I / M) without forming 2 E_I / M, which may overflow when sqrt does not.
            s.equivalentVelocity = std::sqrt(2.0) * (std::sqrt(input) / std::sqrt(mass_));
        }
        return s;
    }

private:
    void Record(const RunPointOf<SpringT>& point) {
        const SpringT& spring = point.spring;
        series_.Append(spring.Force(), energies_.now(), point.index > 0 && spring.Yielding());
        // The plastic deformation is not a series: kept up to the row.
        if (point.index <= rowLimit_) rowPlastic_ = spring.PlasticDeformation();
    }

    EnergyObserver<SpringT> energies_;
    InelasticSeries& series_;
    double mass_;
    int rowLimit_;
    double peakForce_ = 0;   // |Q| from point 1 on, as the response's peaks, kN
    double rowPlastic_ = 0;  // the plastic deformation at the row, cm
};

template <RestoringForce SpringT>
InelasticResponse RunModel(const RunInputs& inputs, const GroundMotion& motion,
                           const InelasticParameters& parameters, const SpringParameters& p,
                           SpringT spring) {
    InelasticSeries series;
    InelasticRecorder<SpringT> recorder(inputs, series);
    Response response = AnalyzeWith(
        inputs, motion,
        [&](const StepSetup& setup) {
            spring.StartAt(setup.initial.x);
            return BranchWalkStepper<SpringT>(setup, spring);
        },
        recorder);
    const InelasticSummary summary = recorder.Summary(p, response);
    return InelasticResponse(parameters, p, std::move(response), std::move(series), summary);
}

}  // namespace

std::variant<InelasticResponse, InelasticRefusal> RunInelastic(const RunInputs& inputs,
                                                               const GroundMotion& motion,
                                                               const InelasticParameters& p) {
    if (const std::optional<InelasticRefusal> refusal = RefusalOf(inputs.building, p)) {
        return *refusal;
    }
    const SpringParameters spring = SpringParametersOf(inputs.building, p);
    return std::visit(
        [&](auto model) -> std::variant<InelasticResponse, InelasticRefusal> {
            return RunModel(inputs, motion, p, spring, model);
        },
        MakeSpring(p.model, spring));
}

}  // namespace kestrel
