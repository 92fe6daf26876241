#include "playback/PlaybackDrawing.h"

#include <QPainter>
#include <QPen>

namespace kestrel {

namespace {

constexpr double kTwipsPerPixel = 15.0;

// Sets a painter to take twips, so that every drawing call uses the program's coordinates
// as they stand. Lines are one pixel wide whatever the scale; a coordinate on a whole pixel
// falls on that pixel's centre, so that level lines stay crisp when smoothed.
void UseTwips(QPainter& painter, const QColor& colour, bool smooth) {
    painter.translate(0.5, 0.5);
    painter.scale(1 / kTwipsPerPixel, 1 / kTwipsPerPixel);
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    QPen pen(colour, 1);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
}

void DrawTwipLine(QPainter& painter, const TwipLine& l) {
    painter.drawLine(QPointF(l.x1, l.y1), QPointF(l.x2, l.y2));
}

}  // namespace

QImage MakeSurface(QSize sizePx, qreal devicePixelRatio, const QColor& background) {
    QImage image(sizePx * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(background);
    return image;
}

QRect ExtendGraph(QImage& surface, const GraphSegment& segment, const QColor& foreground) {
    {
        // The axes are drawn over the same pixels at every tick, so they are drawn without
        // smoothing: a smoothed edge drawn again and again would darken.
        QPainter axes(&surface);
        UseTwips(axes, foreground, false);
        DrawTwipLine(axes, graph::VerticalAxis);
        DrawTwipLine(axes, graph::HorizontalAxis);
    }
    QPainter trace(&surface);
    UseTwips(trace, TraceColour, true);
    const QPointF from(segment.x1, segment.y1);
    const QPointF to(segment.x2, segment.y2);
    trace.drawLine(from, to);
    // The segment's pixels, one pixel of smoothing around it.
    const QRectF twips = QRectF(from, to).normalized();
    const QRectF pixels(twips.topLeft() / kTwipsPerPixel, twips.size() / kTwipsPerPixel);
    return pixels.toAlignedRect().adjusted(-2, -2, 2, 2);
}

void DrawBuilding(QImage& surface, float columnTopX, const QColor& background,
                  const QColor& foreground) {
    surface.fill(background);
    QPainter p(&surface);
    UseTwips(p, foreground, true);
    const double top = columnTopX;
    p.drawLine(QPointF(figure::BaseX, figure::BaseY), QPointF(top, figure::TopY));
    p.drawEllipse(QPointF(top, figure::MassY), figure::MassRadius, figure::MassRadius);
}

void DrawLineShapes(QPainter& painter, std::span<const TwipLine> lines, const QColor& colour) {
    painter.save();
    UseTwips(painter, colour, true);
    for (const TwipLine& l : lines) DrawTwipLine(painter, l);
    painter.restore();
}

}  // namespace kestrel
