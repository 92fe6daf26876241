// The pace of the study window's playback: frames at least 10 ms apart, and the point each
// frame shows keeping the main playback's time (one point per playbackIntervalMs).
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "playback/PlaybackPace.h"

namespace kestrel {
namespace {

TEST(PlaybackPaceTest, FramesKeepTheMainPlaybacksTime) {
    constexpr std::int64_t kLong = std::numeric_limits<std::int64_t>::max();
    const struct {
        int pointMs;  // the run's playbackIntervalMs
        int frameMs;  // expected time between frames
        std::int64_t elapsed;
        int start, last;
        int shown;  // expected point
    } cases[] = {
        // Δt = 0.01 s: a point every 5 ms, a frame every 10 ms shows every second point.
        {5, 10, 10, 0, 1000, 2},
        {5, 10, 1234, 0, 1000, 246},
        // Δt = 0.05 s: a point every 25 ms, each frame one point; the time within a point
        // does not move it.
        {25, 25, 24, 0, 100, 0},
        {25, 25, 25, 0, 100, 1},
        {25, 25, 251, 40, 100, 50},
        // A step so short that the main playback's timer runs at its 1 ms floor.
        {0, 10, 10, 0, 100, 10},
        {-3, 10, 7, 5, 100, 12},
        // Never past the last point, nor before the start; a long pause does not wrap.
        {5, 10, 100000, 0, 199, 199},
        {5, 10, kLong, 3, 199, 199},
        {5, 10, -50, 7, 199, 7},
        {5, 10, 20, 199, 199, 199},
        {5, 10, 20, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const PlaybackPace pace(c.pointMs);
        EXPECT_EQ(pace.FrameIntervalMs(), c.frameMs) << c.pointMs;
        EXPECT_EQ(pace.PointAt(c.elapsed, c.start, c.last), c.shown)
            << c.pointMs << " ms, " << c.elapsed << " ms from " << c.start;
    }
}

}  // namespace
}  // namespace kestrel
