// Arbitrary box texts, excitation case, record and spring through the elastic-plastic run:
// it must never crash, refuse exactly the parameters RefusalOf refuses, keep every series as
// long as the points it completed, let no value that is not finite into them, keep the force
// of a yielding model within Qy + p K max |x|, and give a summary taken where it says.
//
// Input: the first byte picks the case, the second the model; then a line for Cy and one for
// p, one line per box in the order of RunTexts, and the lines after those are a record (its
// time step, then at most 3000 samples).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>

#include "FuzzSupport.h"
#include "analysis/InelasticRun.h"

namespace {

using namespace kestrel;
using namespace kestrel::fuzz;

void CheckRun(const InelasticResponse& r, bool linear) {
    const int n = r.completedPoints();
    const Response& s = r.response();
    Require(n >= 0 && (n == 0 || n <= r.pointCount()) && (!r.complete() || n == r.pointCount()));
    double xMax = 0;
    for (const auto series :
         {s.displacement(), s.velocity(), s.acceleration(), r.force(), r.inputEnergy(),
          r.kineticEnergy(), r.dampingEnergy(), r.strainEnergy(), r.hystereticEnergy()}) {
        Require(static_cast<int>(series.size()) == n);
        for (const double v : series) Require(std::isfinite(v));
    }
    Require(static_cast<int>(r.yielding().size()) == n);
    for (int i = 0; i < n; ++i) {
        Require(r.yielding()[i] <= 1 && (i > 0 || r.yielding()[i] == 0));
        xMax = std::max(xMax, std::fabs(s.displacement()[i]));
        // |Q| <= Qy + p K max|x| in every model (a little more for the rounding of a kink).
        const SpringParameters& p = r.spring();
        const double bound = p.yieldForce + p.secondStiffnessRatio * p.stiffness * xMax;
        Require(linear || std::fabs(r.force()[i]) <= bound * (1 + 1e-9) + 1e-300);
    }
    const InelasticSummary& sum = r.summary();
    Require(sum.lastRow == (n == 0 ? -1 : std::min(std::max(0, r.pointCount() - 2), n - 1)));
    Require(!std::isnan(sum.balanceError) && sum.balanceError >= 0);
    Require(sum.equivalentVelocity >= 0);  // infinite only beyond the range of double
    if (n > 0) Require(sum.ductility == xMax / sum.yieldDisplacement);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const auto excitation = static_cast<ExcitationCase>(data[0] % 5);
    InelasticParameters parameters;
    parameters.model = static_cast<SpringModel>(data[1] % 4);
    std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
    parameters.yieldCoefficient = LeadingNumber(NextLine(rest));
    parameters.secondStiffnessRatio = LeadingNumber(NextLine(rest));
    const RunOutcome elastic = RunOfLines(rest, excitation);
    if (!elastic.inputs || !elastic.motion) return 0;

    const auto result = RunInelastic(*elastic.inputs, *elastic.motion, parameters);
    const auto refusal = RefusalOf(elastic.inputs->building, parameters);
    if (const auto* r = std::get_if<InelasticResponse>(&result)) {
        Require(!refusal.has_value());
        CheckRun(*r, parameters.model == SpringModel::Linear);
    } else {
        Require(refusal == std::get<InelasticRefusal>(result));
    }
    return 0;
}
