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
#include <vector>

#include "analysis/Steppers.h"

namespace kestrel {

// One computed point of a run.
struct RunPoint {
    int index = 0;
    double time = 0;    // i x the step time, s
    double ground = 0;  // ground acceleration g(i), cm/s^2
    State relative;     // x, v, a relative to the ground
    // The response acceleration the program shows and writes, cm/s^2: absolute (a + g) in the
    // forced cases from point 1 on; at point 0, and in the free-vibration cases, a as set.
    double acceleration = 0;
    SpringReading spring;
};

template <typename O>
concept RunObserver = requires(O& observer, const RunPoint& point) {
    observer.Start(point);    // point 0, the state the case set
    observer.Observe(point);  // each later point, once it is complete
};

// The five series, one entry per point (time, ground acceleration, response acceleration,
// velocity, displacement).
struct ResponseSeries {
    std::vector<double> time;          // s
    std::vector<double> ground;        // cm/s^2
    std::vector<double> acceleration;  // cm/s^2, as RunPoint::acceleration
    std::vector<double> velocity;      // cm/s, relative
    std::vector<double> displacement;  // cm, relative
};

class SeriesRecorder {
public:
    // Room for the points of the run, taken at once.
    void Reserve(int points) {
        const auto n = static_cast<std::size_t>(points > 0 ? points : 0);
        series_.time.reserve(n);
        series_.ground.reserve(n);
        series_.acceleration.reserve(n);
        series_.velocity.reserve(n);
        series_.displacement.reserve(n);
    }
    void Start(const RunPoint& point) { Observe(point); }
    void Observe(const RunPoint& point) {
        series_.time.push_back(point.time);
        series_.ground.push_back(point.ground);
        series_.acceleration.push_back(point.acceleration);
        series_.velocity.push_back(point.relative.v);
        series_.displacement.push_back(point.relative.x);
    }
    ResponseSeries Take() && { return std::move(series_); }

private:
    ResponseSeries series_;
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
    void Start(const RunPoint& /*point0*/) {}
    void Observe(const RunPoint& point) {
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
