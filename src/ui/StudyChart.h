// The charts of the study window: a chart view that reports the values under the mouse,
// the points a chart may be given (finite, positive on a logarithmic axis), the thinning
// of long series to what the plot can show, the axes, and the chart as an image.
#pragma once

#include <QChartView>
#include <QList>
#include <QPointF>
#include <QString>
#include <functional>
#include <span>
#include <vector>

class QAbstractAxis;
class QAbstractSeries;
class QChart;
class QLabel;
class QLineSeries;
class QTableWidget;

namespace kestrel {

class StudyChartView : public QChartView {
    Q_OBJECT

public:
    // The view of a new chart (MakeStudyChart).
    explicit StudyChartView(QWidget* parent = nullptr);

signals:
    // The mouse is over the plot area at these values of the chart's first axes.
    void pointerMoved(double x, double y);
    // The mouse has left the plot area.
    void pointerLeft();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

// The smallest size of a chart view, in lines of the program's font (its height): the size
// at which the chart's title, axis labels and legend are drawn whole.
void SetChartMinimum(StudyChartView* view, double widthInLines, double heightInLines);

// A readout line under the charts: wrapped where the window is narrow, two lines high
// always so that the charts do not move as its text changes.
QLabel* NewReadout();
// A notice at the top of a tab, in red, wrapped; hidden until it has something to say.
QLabel* NewNotice();

// A new chart in the program's font with the legend at the bottom and small margins.
QChart* MakeStudyChart();

// A new line series with a name and a colour, added to the chart.
QLineSeries* AddLine(QChart* chart, const QString& name, const QColor& color, qreal width = 1.5);

// The points of a curve that a chart can draw: both values finite and, on a logarithmic
// axis, positive. Points that are left out break nothing: the line joins their neighbours.
QList<QPointF> PlotPoints(std::span<const double> x, std::span<const double> y, bool logX = false,
                          bool logY = false);

// The points of a long curve (x ascending) between x0 and x1, with the one point outside
// on either side so that the line reaches the edges. When there are more than four points
// per column of the plot, each column keeps its smallest and largest value in their order,
// so the thinned line covers exactly what the whole one covers. With logX the columns are
// spaced evenly in log x. Non-finite points (and non-positive ones on a logarithmic axis)
// are left out as in PlotPoints.
QList<QPointF> Envelope(std::span<const double> x, std::span<const double> y, double x0, double x1,
                        int columns, bool logX = false, bool logY = false);

// The smallest and largest y of the points; {0, 1} when there are none.
std::pair<double, double> ValueRange(const QList<QPointF>& points);

// The axis of the chart at the alignment, linear or logarithmic, over [min, max], with the
// series attached. An axis of the same kind already there is kept (its graphics stay), one
// of the other kind is replaced. With `widen` the range grows to whole decades on a
// logarithmic axis and to whole ticks on a linear one; without it the range is exact. A
// linear axis has its ticks on round multiples of a round step, counted from 0, labelled
// by LinearTicks as the plot's size allows (again whenever the plot is resized).
QAbstractAxis* SetAxis(QChart* chart, Qt::Alignment alignment, bool log, const QString& title,
                       double min, double max, std::span<QAbstractSeries* const> series,
                       bool widen = true);

// Removes the axis at the alignment, if there is one.
void RemoveAxis(QChart* chart, Qt::Alignment alignment);

// A linear axis's range and round ticks (see SetAxis).
void SetLinearRange(QAbstractAxis* axis, double min, double max, bool widen);

// The ends of an axis's range.
std::pair<double, double> AxisRange(const QAbstractAxis* axis);

// One labelled tick of a linear axis.
struct AxisTick {
    double value = 0;
    QString text;
};

// The labelled ticks of a linear axis over [min, max]: the multiples of `step` (1, 2 or 5
// times a power of ten) inside the range, or, while `fits` says their labels do not fit the
// plot, those of the next larger step of the 1-2-5 series that still has two or more. A
// label shows its value exactly to the step's last digit, "0" for zero (never a rounding
// residue such as -5.55e-17), in exponent form ("2.5e-7", "1.5e6") when the step is below
// 1e-4 or a tick reaches 1e6.
std::vector<AxisTick> LinearTicks(double min, double max, double step,
                                  const std::function<bool(const std::vector<AxisTick>&)>& fits);

// Fixes a table's height to show every row without a scroll bar, and returns the width at
// which every column is as wide as the widest header or text of them all.
int FitTableToContents(QTableWidget* table);

// A short text of a value for readouts and notes: at most five significant digits.
QString ShortNumber(double value);

// The widget drawn into a PNG image, and into an SVG drawing with the title, each with the
// caption under it (wrapped to the widget's width; none when it is empty).
QByteArray WidgetPng(QWidget* widget, const QString& caption);
QByteArray WidgetSvg(QWidget* widget, const QString& title, const QString& caption);

}  // namespace kestrel
