#include "ui/StudyChart.h"

#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgGenerator>
#include <QTableWidget>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <sstream>

#include "runtime/Conversions.h"
#include "runtime/UiFont.h"
#include "ui/StudyTabs.h"

namespace kestrel {

StudyChartView::StudyChartView(QWidget* parent) : QChartView(parent) {
    // A view lets go of, but does not delete, the chart it had before its new one: its
    // default chart is deleted here.
    QChart* first = chart();
    setChart(MakeStudyChart());
    delete first;
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

void SetChartMinimum(StudyChartView* view, double widthInLines, double heightInLines) {
    const int line = QFontMetrics(UiFont()).height();
    view->setMinimumSize(static_cast<int>(std::ceil(widthInLines * line)),
                         static_cast<int>(std::ceil(heightInLines * line)));
}

QLabel* NewReadout() {
    auto* label = new QLabel(QStringLiteral(" "));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setMinimumHeight(2 * QFontMetrics(UiFont()).height());
    return label;
}

QLabel* NewNotice() {
    auto* label = new QLabel;
    label->setStyleSheet(QStringLiteral("color: #c00000;"));
    label->setWordWrap(true);
    label->hide();
    return label;
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

// The power of ten of a step (-1 for 0.2, 2 for 500).
int StepExponent(double step) {
    return static_cast<int>(std::floor(std::log10(step) + 1e-9));
}

// The step after `step` in the series 1, 2, 5, 10, 20, ...
double NextStep(double step) {
    const double magnitude = std::pow(10.0, StepExponent(step));
    const double f = step / magnitude;
    return (f < 1.5 ? 2 : f < 3 ? 5 : 10) * magnitude;
}

// The label of the tick k * step.
QString TickText(double k, double step, bool exponentForm) {
    if (k == 0) return QStringLiteral("0");
    const double value = k * step;
    const int e = StepExponent(step);
    if (!exponentForm) return QString::number(value, 'f', std::max(0, -e));
    const int digits = static_cast<int>(std::floor(std::log10(std::abs(value)) + 1e-9)) - e;
    const QString text = QString::number(value, 'e', std::max(0, digits));  // "2.5e-07"
    const qsizetype at = text.indexOf(QLatin1Char('e'));
    return text.left(at) + QLatin1Char('e') + QString::number(text.mid(at + 1).toInt());
}

std::vector<AxisTick> TicksOf(double min, double max, double step) {
    const double first = std::ceil(min / step - 1e-9);
    const double last = std::floor(max / step + 1e-9);
    std::vector<AxisTick> ticks;
    if (!(last >= first) || last - first > 1000) return ticks;
    const double largest = std::max(std::abs(first), std::abs(last)) * step;
    const bool exponentForm = StepExponent(step) < -4 || largest >= 1e6;
    for (double k = first; k <= last; ++k) {
        // Within the range also where the step's rounding put the end tick just outside.
        ticks.push_back({std::clamp(k * step, min, max), TickText(k, step, exponentForm)});
    }
    return ticks;
}

// Qt Charts' room around each axis label (its label padding, on either side).
constexpr double kLabelPadding = 5;

// A linear axis whose ticks are labelled by LinearTicks: categories ending at each tick,
// labelled on their end value. The labels are chosen again when the plot is resized.
class TickAxis : public QCategoryAxis {
public:
    explicit TickAxis(QChart* chart) : chart_(chart) {
        setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        QObject::connect(chart, &QChart::plotAreaChanged, this, [this] { Relabel(); });
    }

    // The range is set; its ticks are multiples of `step`.
    void SetStep(double step) {
        step_ = step;
        shownStep_ = 0;
        Relabel();
    }

private:
    void Relabel() {
        const bool vertical = orientation() == Qt::Vertical;
        // The share of the axis Qt Charts gives each label is at least this long: its
        // vertical axes span the chart down to the bottom of the plot and more, its
        // horizontal ones the plot's width and more.
        const QRectF plot = chart_->plotArea();
        double length = vertical ? plot.bottom() : plot.width();
        if (!(length > 0)) length = vertical ? 200 : 400;  // before the first layout
        const QFontMetricsF metrics(labelsFont());
        // A label is cut to "..." when it is taller (on a vertical axis) or wider than its
        // share of the axis. Finer ticks than those shown are taken with some room to spare,
        // so that the labels cannot flip between two steps as the plot settles.
        const auto fits = [&](const std::vector<AxisTick>& ticks) {
            double slot = length / static_cast<double>(ticks.size() + 1) - 2 * kLabelPadding;
            if (shownStep_ > 0 && ticks.size() >= 2 &&
                ticks[1].value - ticks[0].value < shownStep_ * 0.99) {
                slot /= 1.15;
            }
            if (vertical) return slot >= metrics.height() + 2;
            double widest = 0;
            for (const AxisTick& t : ticks)
                widest = std::max(widest, metrics.horizontalAdvance(t.text));
            return slot >= widest + metrics.averageCharWidth();
        };
        const std::vector<AxisTick> ticks = LinearTicks(min(), max(), step_, fits);
        QStringList texts;
        for (const AxisTick& t : ticks) texts << t.text;
        if (texts == categoriesLabels() && startValue() == min()) return;
        for (const QString& label : categoriesLabels()) remove(label);
        setStartValue(min());
        for (const AxisTick& t : ticks) append(t.text, t.value);
        shownStep_ = ticks.size() >= 2 ? ticks[1].value - ticks[0].value : 0;
    }

    QChart* chart_;
    double step_ = 1;
    double shownStep_ = 0;  // the step of the ticks shown, 0 before any
};

}  // namespace

std::vector<AxisTick> LinearTicks(double min, double max, double step,
                                  const std::function<bool(const std::vector<AxisTick>&)>& fits) {
    if (!std::isfinite(min) || !std::isfinite(max) || !(max > min) || !(step > 0) ||
        !std::isfinite(step)) {
        return {};
    }
    std::vector<AxisTick> ticks = TicksOf(min, max, step);
    for (int larger = 0; larger < 60 && !fits(ticks); ++larger) {
        step = NextStep(step);
        std::vector<AxisTick> fewer = TicksOf(min, max, step);
        if (fewer.size() < 2) break;  // never down to one label
        ticks = std::move(fewer);
    }
    return ticks;
}

void RemoveAxis(QChart* chart, Qt::Alignment alignment) {
    if (QAbstractAxis* old = AxisAt(chart, alignment)) {
        chart->removeAxis(old);
        old->deleteLater();
    }
}

void SetLinearRange(QAbstractAxis* axis, double min, double max, bool widen) {
    auto* a = dynamic_cast<TickAxis*>(axis);
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
    a->setRange(min, max);
    a->SetStep(step);
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
            axis = new TickAxis(chart);
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

int FitTableToContents(QTableWidget* table) {
    table->resizeRowsToContents();
    table->setFixedHeight(table->verticalHeader()->length() +
                          table->horizontalHeader()->sizeHint().height() + 2 * table->frameWidth());
    // The columns share the width equally; a cell draws its text inside a margin.
    const int margin = table->fontMetrics().height();
    int widest = table->horizontalHeader()->minimumSectionSize();
    for (int column = 0; column < table->columnCount(); ++column) {
        widest = std::max(widest, table->horizontalHeader()->sectionSizeHint(column));
        for (int row = 0; row < table->rowCount(); ++row) {
            widest = std::max(
                widest,
                table->sizeHintForIndex(table->model()->index(row, column)).width() + margin);
        }
    }
    return table->verticalHeader()->sizeHint().width() + table->columnCount() * widest +
           2 * table->frameWidth();
}

QString ShortNumber(double value) {
    if (!std::isfinite(value)) return QStringLiteral("-");
    if (value == 0) return QStringLiteral("0");
    return QString::number(value, 'g', 5);
}

namespace {

constexpr int kCaptionMargin = 6;

// The caption's font: the window font at the widget's pixel size, so that it is drawn the
// same size in a PNG image and in an SVG drawing.
QFont CaptionFont(const QWidget* widget) {
    QFont font = UiFont();
    font.setPixelSize(QFontInfo(widget->font()).pixelSize());
    return font;
}

// The height of the strip the caption takes under a widget of the width: the caption
// wrapped to that width with a margin around it; 0 without a caption.
int CaptionHeight(const QString& caption, const QFont& font, int width) {
    if (caption.isEmpty()) return 0;
    const QRect room(0, 0, std::max(width - 2 * kCaptionMargin, 1), 1 << 20);
    return QFontMetrics(font).boundingRect(room, Qt::TextWordWrap, caption).height() +
           2 * kCaptionMargin;
}

void DrawCaption(QPainter& painter, const QString& caption, const QFont& font, const QRect& strip,
                 const QColor& background) {
    if (caption.isEmpty()) return;
    painter.fillRect(strip, background);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(
        strip.adjusted(kCaptionMargin, kCaptionMargin, -kCaptionMargin, -kCaptionMargin),
        Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, caption);
}

}  // namespace

QByteArray WidgetPng(QWidget* widget, const QString& caption) {
    const QPixmap picture = widget->grab();
    const QFont font = CaptionFont(widget);
    const QSize size = widget->size();
    const int strip = CaptionHeight(caption, font, size.width());
    const qreal ratio = picture.devicePixelRatio();
    QImage image(QSize(size.width(), size.height() + strip) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    const QColor background = widget->palette().color(QPalette::Window);
    image.fill(background);
    {
        QPainter painter(&image);
        painter.drawPixmap(0, 0, picture);
        DrawCaption(painter, caption, font, QRect(0, size.height(), size.width(), strip),
                    background);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray WidgetSvg(QWidget* widget, const QString& title, const QString& caption) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QFont font = CaptionFont(widget);
    const QSize size = widget->size();
    const int strip = CaptionHeight(caption, font, size.width());
    const QSize whole(size.width(), size.height() + strip);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(whole);
    svg.setViewBox(QRect(QPoint(0, 0), whole));
    svg.setTitle(title);
    svg.setDescription(caption);
    {
        QPainter painter(&svg);
        widget->render(&painter, QPoint(), QRegion(),
                       QWidget::DrawWindowBackground | QWidget::DrawChildren);
        DrawCaption(painter, caption, font, QRect(0, size.height(), size.width(), strip),
                    widget->palette().color(QPalette::Window));
    }
    return bytes;
}

QByteArray CsvBytesOf(const std::function<std::optional<StudyError>(std::ostream&)>& write,
                      QString& why) {
    std::ostringstream out;
    if (const auto error = write(out)) {
        why = QString::fromStdString(error->message);
        return {};
    }
    const std::string bytes = out.str();
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString RecordCaption(const StudyInputs& inputs) {
    if (!inputs.record) return {};
    QString text = StudyTab::tr("地震波 %1").arg(inputs.recordName);
    if (std::isfinite(inputs.record->timeStep())) {
        text += QStringLiteral(", Δt = %1 s")
                    .arg(QString::fromStdString(NumberText(inputs.record->timeStep())));
    }
    return text;
}

namespace {

// A box of the run as the run read it: its leading number, as the program writes numbers.
QString ReadText(const std::string& text) {
    return QString::fromStdString(NumberText(LeadingNumber(text)));
}

}  // namespace

QString ExcitationCaption(const StudyInputs& inputs) {
    const RunTexts& t = inputs.run->texts;
    const QString step = QStringLiteral("Δt = %1 s").arg(ReadText(t.timeStep));
    switch (inputs.run->excitation()) {
        case ExcitationCase::InitialDisplacement:
            return JoinCaption(
                {StudyTab::tr("初期変位 %1 cm").arg(ReadText(t.firstDisplacement)), step});
        case ExcitationCase::InitialVelocity:
            return JoinCaption(
                {StudyTab::tr("初期速度 %1 cm/s").arg(ReadText(t.firstVelocity)), step});
        case ExcitationCase::SteadyAcceleration:
            return JoinCaption(
                {StudyTab::tr("定常波(加速度) 周期 %1 s, 最大値 %2 cm/s2")
                     .arg(ReadText(t.accelerationPeriod), ReadText(t.accelerationMax)),
                 step});
        case ExcitationCase::SteadyDisplacement:
            return JoinCaption(
                {StudyTab::tr("定常波(変位) 周期 %1 s, 最大値 %2 cm")
                     .arg(ReadText(t.displacementPeriod), ReadText(t.displacementMax)),
                 step});
        case ExcitationCase::Earthquake:
            break;
    }
    return RecordCaption(inputs);  // a record's own time step is the run's
}

QString BuildingCaption(const StudyInputs& inputs) {
    const ModelTexts& model = inputs.run->texts.model;
    return StudyTab::tr("建物 K = %1 kN/cm, M = %2 kg, h = %3 %")
        .arg(ReadText(model.stiffness), ReadText(model.mass), ReadText(model.damping));
}

QString NoRecordNotice(const StudyInputs& inputs) {
    QString excitation;
    switch (inputs.run->excitation()) {
        case ExcitationCase::InitialDisplacement:
            excitation = StudyTab::tr("初期変位");
            break;
        case ExcitationCase::InitialVelocity:
            excitation = StudyTab::tr("初期速度");
            break;
        case ExcitationCase::SteadyAcceleration:
            excitation = StudyTab::tr("定常波(加速度)");
            break;
        case ExcitationCase::SteadyDisplacement:
            excitation = StudyTab::tr("定常波(変位)");
            break;
        case ExcitationCase::Earthquake:
            excitation = StudyTab::tr("地震波");
            break;
    }
    return StudyTab::tr(
               "この検討には地震波の記録が必要です。検討している解析（%1）には記録がありません。"
               "主画面で外力に「地震波」を選んで解析してから、「再計算」を押して下さい。")
        .arg(excitation);
}

QString JoinCaption(const QStringList& parts) {
    QStringList shown = parts;
    shown.removeAll(QString());
    return shown.join(StudyTab::tr(" ／ "));
}

void StudyTab::FollowPointer(StudyChartView* view) {
    connect(view, &StudyChartView::pointerMoved, this,
            [this](double x, double) { ShowReadout(x); });
    connect(view, &StudyChartView::pointerLeft, this,
            [this] { lblReadout->setText(QStringLiteral(" ")); });
}

}  // namespace kestrel
