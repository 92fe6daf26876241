#include "playback/PlaybackDrawing.h"

#include <QPainter>
#include <QPen>
#include <cmath>

namespace kestrel {

namespace {

constexpr double kTwipsPerPixel = 15.0;

// A painter that takes twips: every drawing call uses the program's coordinates as they
// stand. Lines are one pixel wide whatever the scale.
class TwipPainter : public QPainter {
public:
    TwipPainter(QPaintDevice* device, const QColor& colour, bool smooth) : QPainter(device) {
        scale(1 / kTwipsPerPixel, 1 / kTwipsPerPixel);
        setRenderHint(QPainter::Antialiasing, smooth);
        UsePen(colour);
    }
    void UsePen(const QColor& colour) {
        QPen pen(colour, 1);
        pen.setCosmetic(true);
        setPen(pen);
    }
    void DrawTwipLine(const TwipLine& l) { drawLine(QPointF(l.x1, l.y1), QPointF(l.x2, l.y2)); }
};

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
        TwipPainter axes(&surface, foreground, false);
        axes.DrawTwipLine(graph::VerticalAxis);
        axes.DrawTwipLine(graph::HorizontalAxis);
    }
    TwipPainter trace(&surface, TraceColour, true);
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
    TwipPainter p(&surface, foreground, true);
    const double top = columnTopX;
    p.drawLine(QPointF(figure::BaseX, figure::BaseY), QPointF(top, figure::TopY));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(top, figure::MassY), figure::MassRadius, figure::MassRadius);
}

void DrawLineShapes(QPainter& painter, std::span<const TwipLine> lines, const QColor& colour) {
    painter.save();
    painter.scale(1 / kTwipsPerPixel, 1 / kTwipsPerPixel);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(colour, 1);
    pen.setCosmetic(true);
    painter.setPen(pen);
    for (const TwipLine& l : lines) painter.drawLine(QPointF(l.x1, l.y1), QPointF(l.x2, l.y2));
    painter.restore();
}

}  // namespace kestrel
