#include "playback/PlaybackTick.h"

#include <cfloat>
#include <cmath>

#include "runtime/Conversions.h"
#include "runtime/Real.h"

namespace kestrel {

namespace {

// The input value shown for point i: the ground acceleration, or in the displacement-wave
// case the ground displacement it comes from (acceleration / omega^2).
Real InputValue(const AnalysisState& s, ExcitationCase c, int i) {
    if (c == ExcitationCase::SteadyDisplacement) {
        return Real(s.CacSeries[i]) / Pow(s.ForcingOmega, 2);
    }
    return s.CacSeries[i];
}

// x of point k: the whole run always spans the same width.
double PlotXOf(int k, int stepCount) {
    return (Real(graph::LeftMargin) + Real(k) * (Real(graph::PlotWidth) / stepCount)).value();
}

// y of a value scaled by the peak of its series: +peak at 127.5, -peak at 1927.5. A series
// without a peak (all zero) cannot be scaled and is drawn along the zero line.
double PlotYOf(double value, double peak) {
    if (peak == 0) return graph::ZeroLine;
    return (Real(graph::ZeroLine) - Real(value) / peak * graph::HalfHeight).value();
}

// The free-vibration cases have no input: their input trace runs along the zero line.
double InputPlotYOf(const AnalysisState& s, ExcitationCase c, int k) {
    if (!IsForced(c)) return graph::ZeroLine;
    return PlotYOf(s.CacSeries[k], s.CacPeak);
}

// Drawing takes single-precision coordinates; a value beyond their range is an overflow.
float Coordinate(double v) {
    if (std::fabs(v) > FLT_MAX) RaiseFault(FaultKind::Overflow);
    return static_cast<float>(v);
}

// Writes the plot-table entries of point k.
void PlotPoint(const AnalysisState& s, PlotTables& t, ExcitationCase c, int k) {
    t.PlotX[k] = PlotXOf(k, s.StepCount);
    t.CacPlotY[k] = InputPlotYOf(s, c, k);
    t.AccPlotY[k] = PlotYOf(s.AccSeries[k], s.AccPeak);
    t.VelPlotY[k] = PlotYOf(s.VelSeries[k], s.VelPeak);
    t.DisPlotY[k] = PlotYOf(s.DisSeries[k], s.DisPeak);
}

}  // namespace

Series& PlotTables::PlotY(int graph) {
    switch (graph) {
        case kInputGraph:
            return CacPlotY;
        case kAccelerationGraph:
            return AccPlotY;
        case kVelocityGraph:
            return VelPlotY;
        default:
            return DisPlotY;
    }
}

InputCaptions InputCaptionsFor(ExcitationCase c) {
    if (c == ExcitationCase::SteadyDisplacement) return {"入力変位", "入力変位(cm)"};
    return {"入力加速度", "入力加速度(cm/s2)"};
}

void PlaybackTicker::Reset() {
    extremes_ = {};
}

TickResult PlaybackTicker::Tick(AnalysisState& s, PlotTables& tables, ExcitationCase c) {
    const FaultScope site(FaultSite::Playback);
    TickResult result;
    try {
        const int i = RoundToInteger32(s.StepIndex);
        // A run of a single point has no segment to show; nor is there one past the end.
        if (i < 0 || i + 1 >= s.StepCount) return result;

        // Coordinates of point i, the building shift at i, then point i + 1.
        PlotPoint(s, tables, c, i);
        tables.FigureShift[i] = (Real(s.DisSeries[i]) * SwayScale(c)).value();
        PlotPoint(s, tables, c, i + 1);

        TickFrame& frame = result.frame;
        frame.index = i;
        for (int g = 0; g < kGraphCount; ++g) {
            const Series& y = tables.PlotY(g);
            frame.segments[g] = {Coordinate(tables.PlotX[i]), Coordinate(y[i]),
                                 Coordinate(tables.PlotX[i + 1]), Coordinate(y[i + 1])};
        }
        frame.columnTopX = Coordinate((Real(figure::BaseX) + tables.FigureShift[i]).value());

        // Time and current values; the time comes from the index, not from TimeSeries.
        const double values[kGraphCount] = {InputValue(s, c, i).value(), s.AccSeries[i],
                                            s.VelSeries[i], s.DisSeries[i]};
        frame.time = NumberText((Real(i) * s.TimeStep).value());
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

        s.StepIndex = static_cast<float>(i + 1);
        result.outcome = s.StepIndex == s.StepCount - 1 ? TickResult::Outcome::ShownLast
                                                        : TickResult::Outcome::Shown;
    } catch (const FaultError& e) {
        result = {};
        result.outcome = TickResult::Outcome::Faulted;
        result.fault = e.fault();
    }
    return result;
}

}  // namespace kestrel
