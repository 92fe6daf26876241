// What watches a run: each observer is told of point 0 (Start) and then of every point the
// run computes (Observe), in order. The run's loop only steps and tells; what is kept or
// summed is the observers' business. A run is given its observers as template arguments,
// so the calls are direct, never virtual.
//
// Two observers make the response of every run: SeriesRecorder (the series kept for
// playback and the result files) and PeakTracker (the four peaks). Others (energy sums, say)
// are passed to Analyze beside them.
#pragma once

#include <cmath>
#include <cstddef>
#include <memory>
#include <span>

#include "analysis/Steppers.h"

namespace kestrel {

// One computed point of a run. `Reading` is what the stepper tells of its spring there
// (Stepper::Spring): SpringReading for the elastic column, the spring itself for a column
// that may yield (BranchWalkStepper), handed over by value so that the loop keeps it in
// registers.
template <typename Reading>
struct RunPointOf {
    int index = 0;
    double time = 0;    // i x the step time, s
    double ground = 0;  // ground acceleration g(i), cm/s^2
    State relative;     // x, v, a relative to the ground
    // The response acceleration the program shows and writes, cm/s^2: absolute (a + g) in the
    // forced cases from point 1 on; at point 0, and in the free-vibration cases, a as set.
    double acceleration = 0;
    Reading spring;
};
using RunPoint = RunPointOf<SpringReading>;

template <typename O, typename Point = RunPoint>
concept RunObserver = requires(O& observer, const Point& point) {
    observer.Start(point);    // point 0, the state the case set
    observer.Observe(point);  // each later point, once it is complete
};

// The five series of a run, one entry per computed point: time (s), ground acceleration
// (cm/s^2), response acceleration (cm/s^2, as RunPoint::acceleration), relative velocity
// (cm/s) and relative displacement (cm). They live in one block sized to the run's points,
// taken once per run and shared, never changed, by every copy.
class ResponseSeries {
public:
    ResponseSeries() = default;

    int size() const { return static_cast<int>(size_); }
    std::span<const double> time() const { return Column(0); }
    std::span<const double> ground() const { return Column(1); }
    std::span<const double> acceleration() const { return Column(2); }
    std::span<const double> velocity() const { return Column(3); }
    std::span<const double> displacement() const { return Column(4); }

private:
    friend class SeriesRecorder;
    static constexpr std::size_t kColumns = 5;

    std::span<const double> Column(std::size_t c) const {
        return {data_.get() + c * capacity_, size_};
    }

    std::shared_ptr<double[]> data_;  // kColumns x capacity_, column after column
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;  // the points written, 0 .. size_ - 1 of each column
};

class SeriesRecorder {
public:
    // Room for the points of the run, taken at once (and not cleared: only the points
    // written are ever read).
    void Reserve(int points) {
        series_.capacity_ = static_cast<std::size_t>(points > 0 ? points : 0);
        series_.data_ =
            std::make_shared_for_overwrite<double[]>(ResponseSeries::kColumns * series_.capacity_);
        series_.size_ = 0;
        columns_ = series_.data_.get();
    }
    template <typename Reading>
    void Start(const RunPointOf<Reading>& point) {
        Observe(point);
    }
    template <typename Reading>
    void Observe(const RunPointOf<Reading>& point) {
        const std::size_t n = series_.capacity_;
        double* row = columns_ + series_.size_;
        row[0] = point.time;
        row[n] = point.ground;
        row[2 * n] = point.acceleration;
        row[3 * n] = point.relative.v;
        row[4 * n] = point.relative.x;
        ++series_.size_;
    }
    ResponseSeries Take() && { return std::move(series_); }

private:
    ResponseSeries series_;
    double* columns_ = nullptr;
};

// The largest absolute values of the ground acceleration, the response acceleration (as
// shown: absolute in the forced cases), the velocity and the displacement over the points
// from 1 on: point 0, the initial state, never enters.
struct Peaks {
    double ground = 0;        // cm/s^2
    double acceleration = 0;  // cm/s^2
    double velocity = 0;      // cm/s
    double displacement = 0;  // cm
};

class PeakTracker {
public:
    template <typename Reading>
    void Start(const RunPointOf<Reading>& /*point0*/) {}
    template <typename Reading>
    void Observe(const RunPointOf<Reading>& point) {
        Raise(peaks_.ground, point.ground);
        Raise(peaks_.acceleration, point.acceleration);
        Raise(peaks_.velocity, point.relative.v);
        Raise(peaks_.displacement, point.relative.x);
    }
    const Peaks& peaks() const { return peaks_; }

private:
    static void Raise(double& peak, double value) {
        if (std::fabs(value) > peak) peak = std::fabs(value);
    }
    Peaks peaks_;
};

}  // namespace kestrel
