// Drawing onto the picture boxes' surfaces: axes, traces kept from tick to tick, the
// building cleared and redrawn, the ground, and clipping at the box's edge.
#include <gtest/gtest.h>

#include <QPainter>

#include "playback/PlaybackDrawing.h"

namespace kestrel {
namespace {

// Looks for a pixel near (x, y), in pixels: smoothing spreads a thin line over two.
bool Near(const QImage& image, int x, int y, bool (*test)(QColor)) {
    for (int dx = -1; dx <= 1; ++dx) {
        for (int dy = -1; dy <= 1; ++dy) {
            if (test(image.pixelColor(x + dx, y + dy))) return true;
        }
    }
    return false;
}
bool Trace(QColor c) {
    return c.blue() > 200 && c.red() < 150;
}
bool Ink(QColor c) {
    return c.value() < 200;
}
bool Black(QColor c) {
    return c.value() < 100;
}

TEST(PlaybackDrawing, GraphKeepsEverySegmentAndRedrawsTheAxes) {
    QImage surface = MakeSurface(QSize(485, 133), 1.0, Qt::white);
    const QRect first = ExtendGraph(surface, {500, 1927.5f, 2000, 127.5f}, Qt::black);
    ExtendGraph(surface, {2000, 127.5f, 3500, 1027.5f}, Qt::black);
    // Twips / 15: both segments are there, the first one where it was reported.
    EXPECT_TRUE(Near(surface, 58, 98, Trace));   // (875, 1477.5)
    EXPECT_TRUE(Near(surface, 183, 38, Trace));  // (2750, 577.5)
    EXPECT_TRUE(first.contains(QRect(33, 8, 101, 121)));
    // Axes: x 500 from y 120 to 1935, y 1027.5 from x 250 to 7100.
    for (int y : {8, 40, 128}) EXPECT_TRUE(Black(surface.pixelColor(33, y))) << y;
    for (int x : {17, 300, 472}) EXPECT_TRUE(Near(surface, x, 68, Black)) << x;
    EXPECT_FALSE(Ink(surface.pixelColor(33, 131)));
    EXPECT_FALSE(Ink(surface.pixelColor(478, 68)));
}

TEST(PlaybackDrawing, BuildingIsClearedRedrawnAndClipped) {
    QImage surface = MakeSurface(QSize(229, 229), 1.0, Qt::white);
    DrawBuilding(surface, 2245, Qt::white, Qt::black);  // 5 cm at 100 twips/cm
    EXPECT_TRUE(Near(surface, 133, 154, Black));        // column middle (1995, 2310)
    DrawBuilding(surface, 1745, Qt::white, Qt::black);  // upright: nothing of the last remains
    EXPECT_FALSE(Ink(surface.pixelColor(133, 154)));
    for (int y : {110, 150, 200}) EXPECT_TRUE(Near(surface, 116, y, Black)) << y;
    EXPECT_TRUE(Near(surface, 116, 60, Black));  // top of the mass, radius 300
    EXPECT_TRUE(Near(surface, 96, 80, Ink) && Near(surface, 136, 80, Ink));
    EXPECT_FALSE(Ink(surface.pixelColor(116, 80)));  // an outline only

    // Beyond the box's edge, and far beyond: clipped, the base still drawn.
    for (float top : {3545.0f, 1.0e7f, -3.0e38f}) {
        DrawBuilding(surface, top, Qt::white, Qt::black);
        EXPECT_TRUE(Near(surface, 117, 207, Ink)) << top;
    }

    QPainter painter(&surface);
    DrawLineShapes(painter, figure::GroundLines(), Qt::black);
    painter.end();
    for (int x : {10, 100, 220}) EXPECT_TRUE(Black(surface.pixelColor(x, 208))) << x;
    EXPECT_TRUE(Near(surface, 12, 216, Ink));  // stroke from (240, 3120) to (120, 3360)
}

}  // namespace
}  // namespace kestrel
