// A response of three points, 0.01 s apart, made point by point as a run makes one, with the
// values and peaks given: runs no real input gives, for the playback's faults.
#pragma once

#include <array>
#include <utility>

#include "analysis/Analyze.h"

namespace kestrel::test {

inline Response MadeResponse(const std::array<double, 3>& acceleration,
                             const std::array<double, 3>& displacement, const Peaks& peaks) {
    SeriesRecorder series;
    series.Reserve(3);
    for (int i = 0; i < 3; ++i) {
        RunPoint p;
        p.index = i;
        p.time = 0.01 * i;
        p.ground = 100.0 * (i + 1);
        p.acceleration = acceleration[i];
        p.relative.x = displacement[i];
        (i == 0 ? series.Start(p) : series.Observe(p));
    }
    return Response(3, 0.01, std::move(series).Take(), peaks, std::nullopt);
}

}  // namespace kestrel::test
