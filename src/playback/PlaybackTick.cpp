#include "playback/PlaybackTick.h"

#include <cfloat>
#include <cmath>

#include "runtime/Catalogue.h"
#include "runtime/Conversions.h"
#include "runtime/Real.h"

namespace kestrel {

namespace {

// The input value shown for point i: the ground acceleration, or in the displacement-wave
// case the ground displacement it comes from (acceleration / omega^2).
Real InputValue(const Response& r, const RunInputs& in, int i) {
    if (in.excitation == ExcitationCase::SteadyDisplacement) {
        return Real(r.ground()[i]) / Pow(in.forcing.omega, 2);
    }
    return r.ground()[i];
}

// x of point k: the whole run always spans the same width.
double PlotXOf(int k, int pointCount) {
    return (Real(graph::LeftMargin) + Real(k) * (Real(graph::PlotWidth) / pointCount)).value();
}

// y of a value scaled by the peak of its series: +peak at 127.5, -peak at 1927.5. A series
// without a peak (all zero) cannot be scaled and is drawn along the zero line.
double PlotYOf(double value, double peak) {
    if (peak == 0) return graph::ZeroLine;
    return (Real(graph::ZeroLine) - Real(value) / peak * graph::HalfHeight).value();
}

// Where point k goes on the four graphs, in twips.
struct PlotPoint {
    double x = 0;
    std::array<double, kGraphCount> y{};
};

PlotPoint PlotPointOf(const Response& r, const RunInputs& in, int k) {
    const Peaks& peaks = r.peaks();
    PlotPoint p;
    p.x = PlotXOf(k, r.pointCount());
    // The free-vibration cases have no input: their input trace runs along the zero line.
    p.y[kInputGraph] =
        IsForced(in.excitation) ? PlotYOf(r.ground()[k], peaks.ground) : graph::ZeroLine;
    p.y[kAccelerationGraph] = PlotYOf(r.acceleration()[k], peaks.acceleration);
    p.y[kVelocityGraph] = PlotYOf(r.velocity()[k], peaks.velocity);
    p.y[kDisplacementGraph] = PlotYOf(r.displacement()[k], peaks.displacement);
    return p;
}

// Drawing takes single-precision coordinates; a value beyond their range is an overflow.
float Coordinate(double v) {
    if (std::fabs(v) > FLT_MAX) RaiseFault(FaultKind::Overflow);
    return static_cast<float>(v);
}

}  // namespace

InputCaptions InputCaptionsFor(ExcitationCase c) {
    // Marked for the catalogue; the window shows them through MessageIn.
    if (c == ExcitationCase::SteadyDisplacement) {
        return {TrNoop("入力変位").data(), TrNoop("入力変位(cm)").data()};
    }
    return {TrNoop("入力加速度").data(), TrNoop("入力加速度(cm/s2)").data()};
}

void PlaybackTicker::Reset() {
    extremes_ = {};
    next_ = 0;
}

TickResult PlaybackTicker::Tick(const Response& r, const RunInputs& in) {
    const FaultScope site(FaultSite::Playback);
    TickResult result;
    try {
        const int i = next_;
        const int n = r.completedPoints();
        // A run of a single point has no segment to show; nor is there one past the end.
        if (i < 0 || i + 1 >= n) return result;

        // Coordinates of point i, the building shift at i, then point i + 1.
        const PlotPoint from = PlotPointOf(r, in, i);
        const double shift = (Real(r.displacement()[i]) * SwayScale(in.excitation)).value();
        const PlotPoint to = PlotPointOf(r, in, i + 1);

        TickFrame& frame = result.frame;
        frame.index = i;
        for (int g = 0; g < kGraphCount; ++g) {
            frame.segments[g] = {Coordinate(from.x), Coordinate(from.y[g]), Coordinate(to.x),
                                 Coordinate(to.y[g])};
        }
        frame.columnTopX = Coordinate((Real(figure::BaseX) + shift).value());

        // Time and current values; the time comes from the index, not from the time series.
        const double values[kGraphCount] = {InputValue(r, in, i).value(), r.acceleration()[i],
                                            r.velocity()[i], r.displacement()[i]};
        frame.time = NumberText((Real(i) * r.stepTime()).value());
        for (int g = 0; g < kGraphCount; ++g) frame.values[g] = NumberText(values[g]);

        // Extremes: a box takes the value only when it goes beyond what the box shows.
        auto offer = [&](int box, double x, bool beyond) {
            if (!beyond) return;
            Extreme& e = extremes_[box];
            e.text = NumberText(x);
            e.value = StrictNumber(e.text).value_or(x);
            frame.extremeChanged[box] = true;
        };
        for (int g = 0; g < kGraphCount; ++g) {
            const double x = values[g];
            offer(2 * g, x, x > extremes_[2 * g].value);          // largest positive
            offer(2 * g + 1, x, x < extremes_[2 * g + 1].value);  // largest negative
        }

        next_ = i + 1;
        result.outcome =
            next_ == n - 1 ? TickResult::Outcome::ShownLast : TickResult::Outcome::Shown;
    } catch (const FaultError& e) {
        result = {};
        result.outcome = TickResult::Outcome::Faulted;
        result.fault = e.fault();
    }
    return result;
}

}  // namespace kestrel
