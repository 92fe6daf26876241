// The content of one ground-motion wave file as the analysis uses it.
#pragma once

#include <vector>

namespace kestrel {

struct WaveRecord {
    double timeStep = 0;          // s, the first number of the file
    std::vector<double> samples;  // ground accelerations, cm/s^2; sample k is at time k * timeStep

    // N: every number of the file, the time step included.
    int Count() const { return static_cast<int>(samples.size()) + 1; }
};

}  // namespace kestrel
