// Drawing the graphs and the building onto a picture box's retained surface: an image of
// the box's drawing area, painted on in twips (15 twips a pixel).
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <span>

#include "playback/PlaybackLayout.h"
#include "playback/PlaybackTick.h"

class QPainter;

namespace kestrel {

// The colour of the four traces: light blue.
inline const QColor TraceColour{0, 0, 255};

// A surface for a drawing area of the given size in pixels, filled with the background.
QImage MakeSurface(QSize sizePx, qreal devicePixelRatio, const QColor& background);

// One tick's drawing on a graph: both axes again in the foreground colour, then the new
// segment in the trace colour. Earlier segments stay as drawn. Returns the pixels (of the
// drawing area) that the segment touched.
QRect ExtendGraph(QImage& surface, const GraphSegment& segment, const QColor& foreground);

// Clears the figure and draws the building with its top at x columnTopX: the column from
// its base to the top, and the mass circle above it. What falls outside is clipped.
void DrawBuilding(QImage& surface, float columnTopX, const QColor& background,
                  const QColor& foreground);

// Fixed line shapes (the ground) drawn over a drawing area whose top-left is at the
// painter's origin.
void DrawLineShapes(QPainter& painter, std::span<const TwipLine> lines, const QColor& colour);

}  // namespace kestrel
