#include "analysis/ProgramLimits.h"

#include "runtime/Conversions.h"
#include "runtime/Fault.h"
#include "runtime/Real.h"

namespace kestrel::program {

std::int16_t PointCount(double analysisTime, double timeStep) {
    const FaultScope site(FaultSite::StepCount);
    return RoundToInteger16((Real(analysisTime) / timeStep + 2).value());
}

void RequirePoints(int pointCount) {
    if (pointCount < 1 || pointCount > kMaxPointCount) {
        const FaultScope site(FaultSite::StepRange);
        RaiseFault(FaultKind::OutOfRange);
    }
}

void RequireRecordLength(std::size_t samples) {
    if (samples > kMaxRecordSamples) {
        const FaultScope site(FaultSite::WaveRecord);
        RaiseFault(FaultKind::OutOfRange);
    }
}

std::int32_t PlaybackIntervalMs(double timeStep) {
    const FaultScope site(FaultSite::TimerInterval);
    return RoundToInteger32((Real(timeStep) * 500).value());
}

}  // namespace kestrel::program
