// Drawing onto the picture boxes' surfaces: axes, traces kept from tick to tick, the
// building cleared and redrawn, the ground, and clipping at the box's edge.
#include <gtest/gtest.h>

#include <QPainter>

#include "playback/PlaybackDrawing.h"

namespace kestrel {
namespace {

const QColor kBack = Qt::white;
const QColor kFore = Qt::black;

// The drawing areas, in pixels: a graph and the figure inside their 2-pixel borders.
const QSize kGraphArea(485, 133);
const QSize kFigureArea(229, 229);

bool IsTrace(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return c.blue() > 200 && c.red() < 150 && c.green() < 150;
}
bool IsForeground(const QImage& image, int x, int y) {
    return image.pixelColor(x, y).value() < 100;
}
// Any drawing at all, however faint its smoothed edge.
bool IsInk(const QImage& image, int x, int y) {
    return image.pixelColor(x, y).value() < 200;
}
bool IsBackground(const QImage& image, int x, int y) {
    return image.pixelColor(x, y) == kBack;
}
// A pixel near (x, y) that passes the test: smoothing spreads a thin line over two pixels.
template <typename Test>
bool Near(const QImage& image, int x, int y, Test test) {
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (test(image, x + dx, y + dy)) return true;
        }
    }
    return false;
}

TEST(PlaybackDrawing, GraphKeepsEverySegmentAndRedrawsTheAxes) {
    QImage surface = MakeSurface(kGraphArea, 1.0, kBack);
    // A rising segment, then a falling one: twips / 15 gives the pixels.
    const QRect first = ExtendGraph(surface, {500, 1927.5f, 2000, 127.5f}, kFore);
    ExtendGraph(surface, {2000, 127.5f, 3500, 1027.5f}, kFore);

    // The first segment's middle, (1250, 1027.5) twips, crosses the horizontal axis; a
    // quarter along it, (875, 1477.5), is trace only.
    EXPECT_TRUE(Near(surface, 58, 98, IsTrace));
    EXPECT_TRUE(Near(surface, 183, 38, IsTrace));  // second segment, (2750, 577.5)
    EXPECT_TRUE(first.contains(QPoint(58, 98)));
    EXPECT_TRUE(first.contains(QPoint(33, 128)) && first.contains(QPoint(133, 8)));

    // Axes: x 500 from y 120 to 1935; y 1027.5 from x 250 to 7100. Not smoothed.
    for (int y : {8, 40, 128}) EXPECT_TRUE(IsForeground(surface, 33, y)) << y;
    for (int x : {17, 300, 472}) EXPECT_TRUE(Near(surface, x, 68, IsForeground)) << x;
    EXPECT_TRUE(IsBackground(surface, 33, 131));
    EXPECT_TRUE(IsBackground(surface, 480, 68));
    EXPECT_TRUE(IsBackground(surface, 400, 20));
}

TEST(PlaybackDrawing, BuildingIsClearedAndDrawnAtItsShift) {
    QImage surface = MakeSurface(kFigureArea, 1.0, kBack);
    // Shifted 500 twips to the right, then back upright: nothing of the first may remain.
    DrawBuilding(surface, 2245, kBack, kFore);
    EXPECT_TRUE(Near(surface, 133, 154, IsForeground));  // column middle (1995, 2310)
    EXPECT_TRUE(Near(surface, 150, 60, IsForeground));   // top of the mass (2245, 900)

    DrawBuilding(surface, 1745, kBack, kFore);
    EXPECT_TRUE(IsBackground(surface, 133, 154));
    EXPECT_TRUE(IsBackground(surface, 150, 60));
    // Upright: column at x 1745 from y 3120 up to 1500, mass centred at (1745, 1200).
    for (int y : {110, 150, 200}) EXPECT_TRUE(Near(surface, 116, y, IsForeground)) << y;
    EXPECT_TRUE(Near(surface, 116, 60, IsForeground));  // top of the circle
    EXPECT_TRUE(Near(surface, 96, 80, IsInk));   // left of the circle
    EXPECT_TRUE(Near(surface, 136, 80, IsInk));  // right of the circle
    EXPECT_TRUE(IsBackground(surface, 116, 80));        // the circle is an outline
}

TEST(PlaybackDrawing, FarShiftsAreClippedAtTheEdge) {
    QImage surface = MakeSurface(kFigureArea, 1.0, kBack);
    // 36 cm at 50 twips/cm: the mass centre at 3545, beyond the box; then far beyond.
    for (float top : {3545.0f, 1.0e7f, -3.0e38f}) {
        DrawBuilding(surface, top, kBack, kFore);
        EXPECT_EQ(surface.size(), kFigureArea);
        EXPECT_TRUE(Near(surface, 117, 207, IsInk)) << top;  // the column's base
    }
}

TEST(PlaybackDrawing, GroundLinesAreTheFixedShapes) {
    QImage surface = MakeSurface(kFigureArea, 1.0, kBack);
    QPainter painter(&surface);
    const auto ground = figure::GroundLines();
    DrawLineShapes(painter, ground, kFore);
    painter.end();
    // The ground line at y 3120 from x 120 to 3360, and strokes down-left to y 3360.
    for (int x : {10, 100, 220}) EXPECT_TRUE(Near(surface, x, 208, IsForeground)) << x;
    EXPECT_TRUE(Near(surface, 12, 216, IsForeground));  // stroke from (240, 3120) to (120, 3360)
    EXPECT_TRUE(IsBackground(surface, 116, 150));       // no building drawn
    EXPECT_EQ(ground.front().x1, 120);
    EXPECT_EQ(ground.back().x1, 3240);
}

}  // namespace
}  // namespace kestrel
