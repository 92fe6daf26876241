// Arbitrary box texts, excitation case and record through the analysis core: it must never
// crash, never let a value that is not finite into a response, keep its counts and peaks
// consistent, put each point at i x the step time over the ground motion's own g(i), and run
// the other two step methods on the same inputs as safely.
//
// Input: the first byte picks the case; then one line per box, in the order of RunTexts;
// the lines after those are a record (its time step, then at most 3000 samples).
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"

namespace {

using namespace kestrel;
using namespace kestrel::fuzz;

bool Same(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

void CheckResponse(const Response& r) {
    const int n = r.completedPoints();
    Require(n >= 0 && (n == 0 || n <= r.pointCount()));
    Require(!r.complete() || n == r.pointCount());
    for (const auto series :
         {r.time(), r.ground(), r.acceleration(), r.velocity(), r.displacement()}) {
        Require(static_cast<int>(series.size()) == n);
        for (const double v : series) Require(std::isfinite(v));
    }
    Peaks peaks;
    for (int i = 1; i < n; ++i) {
        peaks.ground = std::max(peaks.ground, std::fabs(r.ground()[i]));
        peaks.acceleration = std::max(peaks.acceleration, std::fabs(r.acceleration()[i]));
        peaks.velocity = std::max(peaks.velocity, std::fabs(r.velocity()[i]));
        peaks.displacement = std::max(peaks.displacement, std::fabs(r.displacement()[i]));
    }
    Require(Same(peaks.ground, r.peaks().ground) &&
            Same(peaks.acceleration, r.peaks().acceleration) &&
            Same(peaks.velocity, r.peaks().velocity) &&
            Same(peaks.displacement, r.peaks().displacement));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto excitation = static_cast<ExcitationCase>(data[0] % 5);
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const RunOutcome now = RunOfLines(rest, excitation);
    Require(now.fault.has_value() == (now.status == RunOutcome::Status::Faulted));
    if (now.response) {
        CheckResponse(*now.response);
        Require(now.response->complete() || now.fault == now.response->fault());
    }
    if (now.status == RunOutcome::Status::Completed) Require(now.response->complete());

    if (!now.response || !now.motion) return 0;
    const Response& r = *now.response;
    for (int i = 0; i < r.completedPoints(); ++i) {
        // Point 0 is at time 0 whatever the sign of the step; point i at i x the step.
        Require(Same(r.time()[i], i == 0 ? 0.0 : static_cast<double>(i) * r.stepTime()));
        Require(Same(r.ground()[i], GroundAt(*now.motion, i)));
    }
    if (now.status == RunOutcome::Status::Completed) {
        Require(r.pointCount() == now.inputs->pointCount);
        for (const StepperKind kind : {StepperKind::AverageAcceleration, StepperKind::Exact}) {
            const Response other = Analyze(*now.inputs, *now.motion, kind);
            CheckResponse(other);
            Require(other.pointCount() == r.pointCount());
        }
    }
    return 0;
}
