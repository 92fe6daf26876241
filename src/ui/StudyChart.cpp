#include "ui/StudyChart.h"

#include <QBuffer>
#include <QChart>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgGenerator>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "runtime/UiFont.h"
#include "ui/StudyTabs.h"

namespace kestrel {

StudyChartView::StudyChartView(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
    setMouseTracking(true);
    setMinimumSize(240, 160);
}

void StudyChartView::mouseMoveEvent(QMouseEvent* event) {
    QChart* c = chart();
    const QPointF at = event->position();
    if (c && !c->axes().isEmpty() && c->plotArea().contains(at)) {
        const QPointF value = c->mapToValue(at);
        emit pointerMoved(value.x(), value.y());
    } else {
        emit pointerLeft();
    }
    QChartView::mouseMoveEvent(event);
}

void StudyChartView::leaveEvent(QEvent* event) {
    emit pointerLeft();
    QChartView::leaveEvent(event);
}

QChart* MakeStudyChart() {
    auto* chart = new QChart;
    QFont font = UiFont();
    chart->setFont(font);
    chart->setTitleFont(font);
    chart->legend()->setFont(font);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setBackgroundRoundness(0);
    return chart;
}

QLineSeries* AddLine(QChart* chart, const QString& name, const QColor& color, qreal width) {
    auto* series = new QLineSeries;
    series->setName(name);
    QPen pen(color);
    pen.setWidthF(width);
    series->setPen(pen);
    chart->addSeries(series);
    return series;
}

namespace {

bool Drawable(double x, double y, bool logX, bool logY) {
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    if (logX && !(x > 0)) return false;
    if (logY && !(y > 0)) return false;
    return true;
}

}  // namespace

QList<QPointF> PlotPoints(std::span<const double> x, std::span<const double> y, bool logX,
                          bool logY) {
    QList<QPointF> points;
    const std::size_t n = std::min(x.size(), y.size());
    points.reserve(static_cast<qsizetype>(n));
    for (std::size_t i = 0; i < n; ++i) {
        if (Drawable(x[i], y[i], logX, logY)) points.append(QPointF(x[i], y[i]));
    }
    return points;
}

QList<QPointF> Envelope(std::span<const double> x, std::span<const double> y, double x0, double x1,
                        int columns, bool logX, bool logY) {
    const std::size_t n = std::min(x.size(), y.size());
    const auto xs = x.first(n);
    // The points inside [x0, x1] and one on either side.
    std::size_t first =
        static_cast<std::size_t>(std::lower_bound(xs.begin(), xs.end(), x0) - xs.begin());
    std::size_t last =
        static_cast<std::size_t>(std::upper_bound(xs.begin(), xs.end(), x1) - xs.begin());
    if (first > 0) --first;
    if (last < n) ++last;
    QList<QPointF> points;
    if (first >= last) return points;
    const std::size_t count = last - first;
    columns = std::max(columns, 1);
    if (count <= static_cast<std::size_t>(columns) * 4 || !(x1 > x0)) {
        points.reserve(static_cast<qsizetype>(count));
        for (std::size_t i = first; i < last; ++i) {
            if (Drawable(x[i], y[i], logX, logY)) points.append(QPointF(x[i], y[i]));
        }
        return points;
    }
    const bool logColumns = logX && x0 > 0;
    const double from = logColumns ? std::log(x0) : x0;
    const double width = ((logColumns ? std::log(x1) : x1) - from) / columns;
    auto columnOf = [&](double v) {
        const double at = logColumns ? std::log(v) : v;
        return static_cast<long>(std::floor((at - from) / width));
    };
    points.reserve(columns * 2 + 4);
    std::size_t i = first;
    while (i < last) {
        if (!Drawable(x[i], y[i], logX, logY)) {
            ++i;
            continue;
        }
        const long column = columnOf(x[i]);
        std::size_t lo = i, hi = i;
        std::size_t j = i + 1;
        for (; j < last; ++j) {
            if (!Drawable(x[j], y[j], logX, logY)) continue;
            if (columnOf(x[j]) != column) break;
            if (y[j] < y[lo]) lo = j;
            if (y[j] > y[hi]) hi = j;
        }
        const std::size_t a = std::min(lo, hi), b = std::max(lo, hi);
        points.append(QPointF(x[a], y[a]));
        if (b != a) points.append(QPointF(x[b], y[b]));
        i = j;
    }
    return points;
}

std::pair<double, double> ValueRange(const QList<QPointF>& points) {
    if (points.isEmpty()) return {0.0, 1.0};
    double lo = points.front().y(), hi = lo;
    for (const QPointF& p : points) {
        lo = std::min(lo, p.y());
        hi = std::max(hi, p.y());
    }
    return {lo, hi};
}

namespace {

QAbstractAxis* AxisAt(QChart* chart, Qt::Alignment alignment) {
    for (QAbstractAxis* axis : chart->axes()) {
        if (axis->alignment() == alignment) return axis;
    }
    return nullptr;
}

// A round step (1, 2 or 5 times a power of ten) that cuts the span into about five.
double RoundStep(double span) {
    const double raw = span / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    const double f = raw / magnitude;
    return (f < 1.5 ? 1 : f < 3 ? 2 : f < 7 ? 5 : 10) * magnitude;
}

}  // namespace

void RemoveAxis(QChart* chart, Qt::Alignment alignment) {
    if (QAbstractAxis* old = AxisAt(chart, alignment)) {
        chart->removeAxis(old);
        old->deleteLater();
    }
}

void SetLinearRange(QAbstractAxis* axis, double min, double max, bool widen) {
    auto* a = qobject_cast<QValueAxis*>(axis);
    if (!a) return;
    if (!std::isfinite(min) || !std::isfinite(max)) min = 0, max = 1;
    if (max <= min) {
        const double pad = min == 0 ? 1.0 : std::abs(min) * 0.1;
        min -= pad;
        max += pad;
    }
    double step = RoundStep(max - min);
    if (!std::isfinite(step) || step <= 0) step = (max - min) / 5;
    if (widen) {
        const double low = std::floor(min / step) * step;
        const double high = std::ceil(max / step) * step;
        if (std::isfinite(low) && std::isfinite(high) && high > low) min = low, max = high;
    }
    // Range and step are changed in the order that never asks for more ticks than either
    // pair gives: the smaller step after the range, the larger one before it.
    a->setTickAnchor(0);
    const bool dynamic = a->tickType() == QValueAxis::TicksDynamic;
    if (dynamic && step >= a->tickInterval()) a->setTickInterval(step);
    a->setRange(min, max);
    a->setTickInterval(step);
    a->setTickType(QValueAxis::TicksDynamic);
}

std::pair<double, double> AxisRange(const QAbstractAxis* axis) {
    if (auto* a = qobject_cast<const QValueAxis*>(axis)) return {a->min(), a->max()};
    if (auto* a = qobject_cast<const QLogValueAxis*>(axis)) return {a->min(), a->max()};
    return {0, 1};
}

QAbstractAxis* SetAxis(QChart* chart, Qt::Alignment alignment, bool log, const QString& title,
                       double min, double max, std::span<QAbstractSeries* const> series,
                       bool widen) {
    QAbstractAxis* axis = AxisAt(chart, alignment);
    const bool isLog = qobject_cast<QLogValueAxis*>(axis) != nullptr;
    if (axis && isLog != log) {
        RemoveAxis(chart, alignment);
        axis = nullptr;
    }
    if (!axis) {
        if (log) {
            auto* a = new QLogValueAxis;
            a->setBase(10);
            a->setLabelFormat(QStringLiteral("%g"));
            a->setMinorTickCount(8);
            axis = a;
        } else {
            auto* a = new QValueAxis;
            a->setLabelFormat(QStringLiteral("%g"));
            axis = a;
        }
        const QFont font = UiFont();
        axis->setLabelsFont(font);
        axis->setTitleFont(font);
        chart->addAxis(axis, alignment);
    }
    axis->setTitleText(title);
    if (log) {
        if (!(min > 0) || !std::isfinite(min)) min = 1e-3;
        if (!(max > min) || !std::isfinite(max)) max = min * 10;
        if (widen) {
            min = std::pow(10.0, std::floor(std::log10(min)));
            max = std::pow(10.0, std::ceil(std::log10(max)));
            if (max <= min) max = min * 10;
        }
        axis->setRange(min, max);
    } else {
        SetLinearRange(axis, min, max, widen);
    }
    for (QAbstractSeries* s : series) s->attachAxis(axis);
    return axis;
}

QString ShortNumber(double value) {
    if (!std::isfinite(value)) return QStringLiteral("-");
    if (value == 0) return QStringLiteral("0");
    return QString::number(value, 'g', 5);
}

QByteArray WidgetPng(QWidget* widget) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    widget->grab().save(&buffer, "PNG");
    return bytes;
}

QByteArray WidgetSvg(QWidget* widget, const QString& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(widget->size());
    svg.setViewBox(QRect(QPoint(0, 0), widget->size()));
    svg.setTitle(title);
    {
        QPainter painter(&svg);
        widget->render(&painter, QPoint(), QRegion(),
                       QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    return bytes;
}

void StudyTab::FollowPointer(StudyChartView* view) {
    connect(view, &StudyChartView::pointerMoved, this,
            [this](double x, double) { ShowReadout(x); });
    connect(view, &StudyChartView::pointerLeft, this,
            [this] { lblReadout->setText(QStringLiteral(" ")); });
}

}  // namespace kestrel
