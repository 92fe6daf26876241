// The playback tick without its window: which point comes next, where its segments and the
// building top go, the texts of the time, the current values and the running extremes,
// and when the playback is over. The window only applies a tick's result to its controls.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "analysis/Analyze.h"
#include "analysis/RunInputs.h"
#include "playback/PlaybackLayout.h"
#include "runtime/Fault.h"

namespace kestrel {

// The running extremes, one box each, in the order a tick updates them.
enum ExtremeIndex : int {
    kCacMax,
    kCacMin,
    kAccMax,
    kAccMin,
    kVelMax,
    kVelMin,
    kDisMax,
    kDisMin,
    kExtremeCount,
};

// The captions above the input graph and above the current input value.
struct InputCaptions {
    const char* graphLabel;    // lblCac
    const char* valueHeading;  // lblCac1
};
// In the displacement-wave case the input is shown as a ground displacement in cm.
InputCaptions InputCaptionsFor(ExcitationCase c);

// One graph segment, from point i to point i + 1, in twips.
struct GraphSegment {
    float x1 = 0;
    float y1 = 0;
    float x2 = 0;
    float y2 = 0;
};

// What a tick shows of point i.
struct TickFrame {
    int index = 0;                                     // i
    std::array<GraphSegment, kGraphCount> segments;    // pctCac, pctAcc, pctVel, pctDis
    float columnTopX = 0;                              // x of the column top and mass centre
    std::string time;                                  // txtTime
    std::array<std::string, kGraphCount> values;       // txtCac, txtAcc, txtVel, txtDis
    std::array<bool, kExtremeCount> extremeChanged{};  // boxes whose text changed
};

struct TickResult {
    enum class Outcome {
        Shown,          // a point was shown; the playback goes on
        ShownLast,      // the last point was shown; the playback is over
        NothingToShow,  // the run has no point (left) to show; the playback is over
        Faulted,        // a value could not be computed; nothing of the tick is shown
    };
    Outcome outcome = Outcome::NothingToShow;
    TickFrame frame;  // Shown and ShownLast only
    Fault fault;      // Faulted only
};

// A playback of one run: its own cursor over the run's points and the running extremes. It
// reads the run and never changes it.
class PlaybackTicker {
public:
    // A fresh playback from point 0: every extreme box back to "0".
    void Reset();

    // Shows the next point i of the run (the response, with the inputs' excitation case and
    // the displacement wave's frequency) and moves on to i + 1. The ticks show points 0 to
    // n - 2 of the n points the response holds; the last segment ends at n - 1. The x axis
    // spans the run's planned points. A fault leaves the cursor and the extremes as they were.
    TickResult Tick(const Response& response, const RunInputs& inputs);

    // The point the next tick shows.
    int NextPoint() const { return next_; }

    // The text of an extreme box, as it stands after the last tick.
    const std::string& ExtremeText(int box) const { return extremes_[box].text; }

private:
    // The extremes are kept as their box texts; value is the number the text stands for,
    // which is what the next comparison is made against.
    struct Extreme {
        std::string text = "0";
        double value = 0;
    };
    std::array<Extreme, kExtremeCount> extremes_;
    int next_ = 0;
};

}  // namespace kestrel
