// Where the playback draws: the graphs and the building figure, in twips of a picture
// box's drawing area (origin at its top-left corner, x to the right, y downwards).
#pragma once

#include <array>

#include "analysis/RunInputs.h"  // ExcitationCase

namespace kestrel {

// A straight line from (x1, y1) to (x2, y2), in twips.
struct TwipLine {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
};

// The four graphs, top to bottom; each tick extends them in this order.
enum GraphIndex : int {
    kInputGraph,         // pctCac: input acceleration (or displacement)
    kAccelerationGraph,  // pctAcc
    kVelocityGraph,      // pctVel
    kDisplacementGraph,  // pctDis
    kGraphCount,
};

namespace graph {

inline constexpr double LeftMargin = 500;   // x of point 0 and of the vertical axis
inline constexpr double PlotWidth = 6500;   // x span of all the points of a run
inline constexpr double ZeroLine = 1027.5;  // y of the value 0, half of the 2055 height
inline constexpr double HalfHeight = 900;   // distance from the zero line reached by +/- peak

inline constexpr TwipLine VerticalAxis{500, 120, 500, 1935};
inline constexpr TwipLine HorizontalAxis{250, 1027.5, 7100, 1027.5};

}  // namespace graph

namespace figure {

inline constexpr double BaseX = 1745;  // column base, on the ground line
inline constexpr double BaseY = 3120;
inline constexpr double TopY = 1500;   // column top
inline constexpr double MassY = 1200;  // centre of the mass circle
inline constexpr double MassRadius = 300;

// The fixed ground: the ground line and 26 hatching strokes below it, 120 twips apart.
inline constexpr int GroundLineCount = 27;
constexpr std::array<TwipLine, GroundLineCount> GroundLines() {
    std::array<TwipLine, GroundLineCount> lines{};
    lines[0] = {120, 3120, 3360, 3120};
    for (int k = 1; k < GroundLineCount; ++k) {
        const double x = 120.0 + 120.0 * k;  // 240 to 3240
        lines[k] = {x, 3120, x - 120, 3360};
    }
    return lines;
}

}  // namespace figure

// Twips of sideways shift of the building top per centimetre of response displacement.
constexpr double SwayScale(ExcitationCase c) {
    switch (c) {
        case ExcitationCase::InitialDisplacement:
            return 100;
        case ExcitationCase::InitialVelocity:
            return 400;
        case ExcitationCase::SteadyAcceleration:
        case ExcitationCase::SteadyDisplacement:
            return 300;
        case ExcitationCase::Earthquake:
            return 50;
    }
    return 0;
}

}  // namespace kestrel
