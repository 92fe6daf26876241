// The pace of a playback that keeps the main playback's time without drawing every point:
// the main playback shows one point every playbackIntervalMs (half a step's real duration,
// at least a millisecond, as its timer runs); a playback that draws more per point (the study
// window's, with its charts) shows a frame at most every kMinFrameIntervalMs and, at each
// frame, the point the time has reached, skipping those between.
#pragma once

#include <cstdint>

namespace kestrel {

// The least time between two frames, ms.
inline constexpr int kMinFrameIntervalMs = 10;

class PlaybackPace {
public:
    // The run's playbackIntervalMs; below 1 it is taken as 1, as the main playback's timer.
    explicit PlaybackPace(int pointIntervalMs);

    int PointIntervalMs() const { return pointIntervalMs_; }
    // The time between frames: one point's, or kMinFrameIntervalMs when that is shorter.
    int FrameIntervalMs() const;
    // The point to show `elapsedMs` after the playback started (or last restarted) at
    // `startPoint`: one point more every PointIntervalMs, never past `lastPoint` (nor before
    // `startPoint` when the clock reads a negative time).
    int PointAt(std::int64_t elapsedMs, int startPoint, int lastPoint) const;

private:
    int pointIntervalMs_ = 1;
};

}  // namespace kestrel
