#include "playback/PlaybackPace.h"

#include <algorithm>

namespace kestrel {

PlaybackPace::PlaybackPace(int pointIntervalMs) : pointIntervalMs_(std::max(pointIntervalMs, 1)) {}

int PlaybackPace::FrameIntervalMs() const {
    return std::max(pointIntervalMs_, kMinFrameIntervalMs);
}

int PlaybackPace::PointAt(std::int64_t elapsedMs, int startPoint, int lastPoint) const {
    if (startPoint >= lastPoint) return lastPoint;
    if (elapsedMs <= 0) return startPoint;
    // Counted in 64 bits: a long pause cannot wrap the point around.
    const std::int64_t advanced = elapsedMs / pointIntervalMs_;
    const std::int64_t left = static_cast<std::int64_t>(lastPoint) - startPoint;
    return startPoint + static_cast<int>(std::min(advanced, left));
}

}  // namespace kestrel
