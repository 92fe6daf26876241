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
    InelasticRecorder(const SpringT& spring, const RunInputs& inputs, InelasticSeries& series)
        : spring_(spring),
          energies_(spring, inputs.building.mass, inputs.constants.dampingCoefficient),
          series_(series),
          mass_(inputs.building.mass),
          rowLimit_(std::max(0, inputs.pointCount - 2)) {
        series.Reserve(std::clamp(inputs.pointCount, 0, program::kMaxPointCount));
    }

    void Start(const RunPoint& point) {
        energies_.Start(point);
        maxDisplacement_ = std::fabs(point.relative.x);
        Record(point);
    }

    void Observe(const RunPoint& point) {
        energies_.Observe(point);
        maxDisplacement_ = std::max(maxDisplacement_, std::fabs(point.relative.x));
        peakForce_ = std::max(peakForce_, std::fabs(spring_.Force()));
        Record(point);
    }

    // Completed from the series once the run has ended.
    InelasticSummary Summary(const SpringParameters& p) const {
        InelasticSummary s;
        s.yieldForce = p.yieldForce;
        s.yieldDisplacement = p.yieldForce / p.stiffness;
        s.peakForce = peakForce_;
        s.ductility = maxDisplacement_ / s.yieldDisplacement;
        s.lastRow = row_;
        s.balanceError = energies_.BalanceError();
        if (row_ < 0) return s;
        s.residualDisplacement = rowDisplacement_;
        s.plasticOffset = rowDisplacement_ - rowForce_ / p.stiffness;
        s.cumulativePlasticRatio = rowPlastic_ / s.yieldDisplacement;
        s.energies = rowEnergies_;
        const double input = rowEnergies_.input;
        if (input > 0) {
            s.hystereticShare = rowEnergies_.hysteretic / input;
            // sqrt(2 E_I / M) without forming 2 E_I / M, which may overflow when sqrt does not.
            s.equivalentVelocity = std::sqrt(2.0) * (std::sqrt(input) / std::sqrt(mass_));
        }
        return s;
    }

private:
    void Record(const RunPoint& point) {
        const Energies& e = energies_.now();
        series_.Append(spring_.Force(), e, point.index > 0 && spring_.Yielding());
        if (point.index <= rowLimit_) {
            row_ = point.index;
            rowDisplacement_ = point.relative.x;
            rowForce_ = spring_.Force();
            rowPlastic_ = spring_.PlasticDeformation();
            rowEnergies_ = e;
        }
    }

    const SpringT& spring_;
    EnergyObserver<SpringT> energies_;
    InelasticSeries& series_;
    double mass_;
    int rowLimit_;
    double maxDisplacement_ = 0;
    double peakForce_ = 0;
    int row_ = -1;
    double rowDisplacement_ = 0;
    double rowForce_ = 0;
    double rowPlastic_ = 0;  // the plastic deformation, cm
    Energies rowEnergies_;
};

template <RestoringForce SpringT>
InelasticResponse RunModel(const RunInputs& inputs, const GroundMotion& motion,
                           const InelasticParameters& parameters, const SpringParameters& p,
                           SpringT spring) {
    InelasticSeries series;
    InelasticRecorder<SpringT> recorder(spring, inputs, series);
    Response response = AnalyzeWith(
        inputs, motion,
        [&](const StepSetup& setup) { return BranchWalkStepper<SpringT>(setup, spring); },
        recorder);
    const InelasticSummary summary = recorder.Summary(p);
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
