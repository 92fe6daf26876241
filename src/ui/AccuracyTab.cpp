// "解法の精度": the three displacements and the two errors against time with a zoom, the
// table of peaks and method properties, the period elongation against Δt/T, and the red
// line past the stability limit.
#include <QChart>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

#include "runtime/Conversions.h"
#include "study/MethodComparison.h"
#include "study/StudyFiles.h"
#include "study/StudyInputs.h"
#include "ui/FaultMessages.h"
#include "ui/FormLayout.h"
#include "ui/StudyChart.h"
#include "ui/StudyTabs.h"

namespace kestrel {

namespace {

const QColor kLinearColor(0, 90, 200);
const QColor kExactColor(20, 20, 20);
const QColor kAverageColor(0, 150, 70);

QString Utf8(const std::string& s) {
    return QString::fromStdString(s);
}

// Method minus exact over the points both have.
std::vector<double> Difference(const std::vector<double>& method,
                               const std::vector<double>& exact) {
    const std::size_t n = std::min(method.size(), exact.size());
    std::vector<double> d(n);
    for (std::size_t i = 0; i < n; ++i) d[i] = method[i] - exact[i];
    return d;
}

// The elongation chart's Δt/T axis ends at most here; a larger current Δt/T is marked at
// the right edge with its value.
constexpr double kElongationAxisEnd = 1.2;

QLineEdit* RangeBox() {
    auto* box = new QLineEdit;
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setFixedWidth(70);
    return box;
}

}  // namespace

struct AccuracyTab::Result {
    MethodComparison m;
    std::vector<double> linearError;   // linear - exact
    std::vector<double> averageError;  // average - exact
    // The series of the time charts, refilled for the range shown.
    QLineSeries* linear = nullptr;
    QLineSeries* exact = nullptr;
    QLineSeries* average = nullptr;
    QLineSeries* linearErr = nullptr;
    QLineSeries* averageErr = nullptr;
};

AccuracyTab::AccuracyTab() {
    lblStability = new QLabel;
    lblStability->setStyleSheet(QStringLiteral("color: #d00000;"));
    lblStability->setWordWrap(true);
    lblStability->hide();
    txtFrom = RangeBox();
    txtTo = RangeBox();
    cmdRange = new QPushButton(tr("範囲を表示(&V)"));
    cmdWhole = new QPushButton(tr("全体を表示(&E)"));
    response = new StudyChartView;
    errors = new StudyChartView;
    elongation = new StudyChartView;
    // The smallest sizes at which each chart's axes and legend are drawn whole.
    SetChartMinimum(response, 34, 15);
    SetChartMinimum(errors, 34, 14);
    SetChartMinimum(elongation, 30, 16);
    response->setRubberBand(QChartView::HorizontalRubberBand);
    errors->setRubberBand(QChartView::HorizontalRubberBand);
    table = new QTableWidget(7, 3);
    table->setHorizontalHeaderLabels({tr("線形加速度法"), tr("厳密解"), tr("平均加速度法")});
    table->setVerticalHeaderLabels({
        tr("最大変位(cm)"),
        tr("最大値の誤差(%)"),
        QStringLiteral("Δt/T"),
        tr("安定限界 Δt/T"),
        tr("周期の伸び(%)"),
        tr("見かけの減衰定数(%)"),
        tr("発散した時刻(s)"),
    });
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setMinimumSectionSize(90);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    table->setMinimumWidth(FitTableToContents(table));
    lblReadout = NewReadout();

    const std::pair<QObject*, const char*> names[] = {
        {lblStability, "lblStability"}, {txtFrom, "txtFrom"},          {txtTo, "txtTo"},
        {cmdRange, "cmdRange"},         {cmdWhole, "cmdWhole"},        {response, "chtResponse"},
        {errors, "chtErrors"},          {elongation, "chtElongation"}, {table, "tblAccuracy"},
        {lblReadout, "lblReadout"},
    };
    for (const auto& [object, name] : names) object->setObjectName(QString::fromLatin1(name));

    auto* range = new QHBoxLayout;
    AddLabelledBox(range, tr("表示する時刻(s)(&F)："), txtFrom);
    range->addWidget(new QLabel(tr("～")));
    range->addWidget(txtTo);
    range->addWidget(cmdRange);
    range->addWidget(cmdWhole);
    range->addWidget(new QLabel(tr("（グラフ上を左右にドラッグして拡大、右クリックで縮小）")));
    range->addStretch(1);

    charts_ = new QWidget;
    auto* left = new QVBoxLayout;
    left->addWidget(response, 3);
    left->addWidget(errors, 2);
    auto* right = new QVBoxLayout;
    right->addWidget(table);
    right->addWidget(elongation, 1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addLayout(right, 2);
    auto* inside = new QVBoxLayout(charts_);
    inside->setContentsMargins(0, 0, 0, 0);
    inside->addWidget(lblStability);
    inside->addLayout(columns, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(range);
    layout->addWidget(charts_, 1);
    layout->addWidget(lblReadout);

    connect(cmdRange, &QPushButton::clicked, this, &AccuracyTab::ApplyRangeBoxes);
    connect(txtFrom, &QLineEdit::returnPressed, this, &AccuracyTab::ApplyRangeBoxes);
    connect(txtTo, &QLineEdit::returnPressed, this, &AccuracyTab::ApplyRangeBoxes);
    connect(cmdWhole, &QPushButton::clicked, this, [this] { ShowTimeRange(0, 0); });
    FollowPointer(response);
    FollowPointer(errors);
}

AccuracyTab::~AccuracyTab() = default;

bool AccuracyTab::HasResult() const {
    return result_ != nullptr;
}

QWidget* AccuracyTab::Charts() {
    return charts_;
}

QString AccuracyTab::Caption() const {
    if (!result_ || result_->m.time.empty()) return caption_;
    return JoinCaption({caption_, tr("表示 %1～%2 s")
                                      .arg(QString::fromStdString(NumberText(from_)),
                                           QString::fromStdString(NumberText(to_)))});
}

void AccuracyTab::Compute(const StudyInputs& inputs, MessageService& /*messages*/) {
    result_.reset();
    caption_ = JoinCaption({ExcitationCaption(inputs), BuildingCaption(inputs)});
    const SteppedRun& run = *inputs.run;
    auto result = std::make_unique<Result>();
    result->m = CompareMethods(run.inputs, run.motion, run.response);
    const MethodComparison& m = result->m;
    result->linearError = Difference(m.linear.displacement, m.exact.displacement);
    result->averageError = Difference(m.average.displacement, m.exact.displacement);
    result_ = std::move(result);
    // Decided from the spectral radius: past the limit, and also a step at which the
    // method no longer swings (a decaying numerical oscillation of period 2Δt).
    lblStability->hide();
    if (const std::string note = LinearStepNote(m); !note.empty()) {
        lblStability->setText(Utf8(note));
        lblStability->show();
    } else if (m.runFault) {
        lblStability->setText(FaultMessage(*m.runFault));
        lblStability->show();
    }
    DrawTimeCharts();
    FillTable();
    DrawElongation();
}

void AccuracyTab::DrawTimeCharts() {
    response->chart()->removeAllSeries();
    errors->chart()->removeAllSeries();
    std::vector<QAbstractSeries*> top, bottom;
    if (result_) {
        // The exact solution drawn last, thin, over the two methods.
        Result& r = *result_;
        QChart* c = response->chart();
        // The legend's names, shorter where the chart is narrow.
        r.linear = AddLine(c, tr("線形加速度法", "legend"), kLinearColor, 2.0);
        r.average = AddLine(c, tr("平均加速度法 (Newmark β=1/4)"), kAverageColor, 2.0);
        r.exact = AddLine(c, tr("厳密解", "legend"), kExactColor, 1.0);
        top = {r.linear, r.average, r.exact};
        c = errors->chart();
        r.averageErr = AddLine(c, tr("平均加速度法 − 厳密解"), kAverageColor);
        r.linearErr = AddLine(c, tr("線形加速度法 − 厳密解"), kLinearColor);
        bottom = {r.averageErr, r.linearErr};
    }
    const double end = result_ && !result_->m.time.empty() ? result_->m.time.back() : 1;
    QAbstractAxis* x1 =
        SetAxis(response->chart(), Qt::AlignBottom, false, tr("時刻(s)"), 0, end, top, false);
    SetAxis(response->chart(), Qt::AlignLeft, false, tr("相対変位(cm)"), -1, 1, top);
    QAbstractAxis* x2 =
        SetAxis(errors->chart(), Qt::AlignBottom, false, tr("時刻(s)"), 0, end, bottom, false);
    SetAxis(errors->chart(), Qt::AlignLeft, false, tr("誤差(cm)"), -1, 1, bottom);
    // A zoom by the mouse changes an axis: both charts follow it, after the zoom is done.
    for (QAbstractAxis* axis : {x1, x2}) {
        auto* valueAxis = static_cast<QValueAxis*>(axis);
        disconnect(valueAxis, &QValueAxis::rangeChanged, this, nullptr);
        connect(valueAxis, &QValueAxis::rangeChanged, this, [this](qreal min, qreal max) {
            if (syncing_) return;
            QTimer::singleShot(0, this, [this, min, max] { ShowTimeRange(min, max); });
        });
    }
    ShowTimeRange(0, 0);
}

void AccuracyTab::ShowTimeRange(double from, double to) {
    if (!result_ || result_->m.time.empty()) {
        txtFrom->clear();
        txtTo->clear();
        return;
    }
    Result& r = *result_;
    const std::vector<double>& time = r.m.time;
    const double first = time.front(), last = time.back();
    if (!(from < to)) from = first, to = last;
    from = std::max(from, first);
    to = std::min(to, last);
    if (!(from < to)) from = first, to = last;
    if (!(from < to)) to = from + 1;  // a single point
    from_ = from;
    to_ = to;
    const int columns = static_cast<int>(std::max(response->chart()->plotArea().width(), 1000.0));
    auto fill = [&](QLineSeries* series, const std::vector<double>& values) {
        const auto points = Envelope(std::span(time).first(std::min(time.size(), values.size())),
                                     values, from, to, columns);
        series->replace(points);
        return points;
    };
    const QList<QPointF> top = fill(r.linear, r.m.linear.displacement) +
                               fill(r.exact, r.m.exact.displacement) +
                               fill(r.average, r.m.average.displacement);
    const QList<QPointF> bottom =
        fill(r.linearErr, r.linearError) + fill(r.averageErr, r.averageError);
    syncing_ = true;
    auto setRanges = [&](StudyChartView* view, const QList<QPointF>& points) {
        QChart* c = view->chart();
        // The values within the range only (the envelope has one point beyond each edge).
        double lo = 0, hi = 0;
        bool any = false;
        for (const QPointF& p : points) {
            if (p.x() < from || p.x() > to) continue;
            lo = any ? std::min(lo, p.y()) : p.y();
            hi = any ? std::max(hi, p.y()) : p.y();
            any = true;
        }
        if (!any || hi <= lo) {
            const double pad = any && lo != 0 ? std::abs(lo) * 0.1 : 1;
            lo -= pad;
            hi += pad;
        }
        for (QAbstractAxis* axis : c->axes(Qt::Horizontal)) SetLinearRange(axis, from, to, false);
        for (QAbstractAxis* axis : c->axes(Qt::Vertical)) SetLinearRange(axis, lo, hi, true);
    };
    setRanges(response, top);
    setRanges(errors, bottom);
    syncing_ = false;
    txtFrom->setText(QString::fromStdString(NumberText(from)));
    txtTo->setText(QString::fromStdString(NumberText(to)));
}

void AccuracyTab::ApplyRangeBoxes() {
    const auto from = StudyNumber(txtFrom->text().toStdString());
    const auto to = StudyNumber(txtTo->text().toStdString());
    // A range that cannot be read shows the whole run.
    if (!from || !to) return ShowTimeRange(0, 0);
    ShowTimeRange(*from, *to);
}

void AccuracyTab::FillTable() {
    table->clearContents();
    auto set = [this](int row, int column, const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, column, item);
    };
    if (!result_) return;
    const MethodComparison& m = result_->m;
    const MethodSeries* series[] = {&m.linear, &m.exact, &m.average};
    const QString none = QStringLiteral("—");
    for (int column = 0; column < 3; ++column) {
        const MethodSeries& s = *series[column];
        set(0, column, ShortNumber(s.peak));
        set(1, column, column == 1 || !s.peakError ? none : ShortNumber(*s.peakError * 100));
        // Past the stability limit the run grows without bound even when the analysis time
        // ends before its numbers overflow: "no divergence" would mislead there, it is growing.
        const bool unstable = column == 0 && !m.linearProperties.stable;
        set(6, column,
            s.divergedAt  ? ShortNumber(*s.divergedAt)
            : column == 1 ? none
            : unstable    ? tr("増大中")
                          : tr("発散なし"));
    }
    const QString ratio = QString::number(m.stepRatio, 'f', 3);
    set(2, 0, ratio);
    set(2, 1, none);
    set(2, 2, ratio);
    // The limit for the damping at hand: w_n Δt = 2√3, that is Δt/T = √3/π·√(1−h²).
    // The formula is shown where it fits; with damping it goes to the tip.
    const QString limit = QString::number(m.stabilityLimit, 'f', 3);
    set(3, 0,
        !std::isfinite(m.stabilityLimit) ? none
        : m.dampingRatio == 0            ? QStringLiteral("√3/π = %1").arg(limit)
                                         : limit);
    table->item(3, 0)->setToolTip(tr("ω_n·Δt ≦ 2√3、すなわち Δt/T ≦ √3/π·√(1−h²) = %1 (h = %2 %)")
                                      .arg(limit, ShortNumber(m.dampingRatio * 100)));
    set(3, 1, none);
    set(3, 2, tr("無条件安定"));
    // A vibration that does not swing has no period: its elongation and damping are "—".
    const StepProperties* properties[] = {&m.linearProperties, nullptr, &m.averageProperties};
    for (int column : {0, 2}) {
        const StepProperties& p = *properties[column];
        const QString missing = p.stable ? none : tr("不安定");
        set(4, column, p.HasPeriod() ? ShortNumber(p.periodElongation) : missing);
        set(5, column, p.HasPeriod() ? ShortNumber(p.apparentDamping * 100) : missing);
    }
    set(4, 1, QStringLiteral("0"));
    set(5, 1, ShortNumber(m.dampingRatio * 100));
    table->setMinimumWidth(FitTableToContents(table));
}

void AccuracyTab::DrawElongation() {
    QChart* c = elongation->chart();
    c->removeAllSeries();
    const double h = result_ ? result_->m.dampingRatio : 0;
    const double ratio = result_ ? result_->m.stepRatio : 0;
    std::vector<QAbstractSeries*> all;
    QList<QPointF> everything;
    if (h >= 0 && h < 1) {
        const struct {
            StepMethod method;
            QString name;
            QColor color;
        } curves[] = {{StepMethod::LinearAcceleration, tr("線形加速度法"), kLinearColor},
                      {StepMethod::AverageAcceleration, tr("平均加速度法"), kAverageColor}};
        for (const auto& curve : curves) {
            std::vector<double> x, y;
            for (const ElongationPoint& p : ElongationCurve(curve.method, h, 0.6, 241)) {
                x.push_back(p.stepRatio);
                y.push_back(p.periodElongation);
            }
            auto* line = AddLine(c, curve.name, curve.color, 2.0);
            line->replace(PlotPoints(x, y));
            everything += line->points();
            all.push_back(line);
        }
    }
    QLineSeries* now = nullptr;
    double xMax = 0.6;
    double nowAt = ratio;
    if (result_ && std::isfinite(ratio) && ratio > 0) {
        xMax = std::clamp(ratio * 1.05, 0.6, kElongationAxisEnd);
        // The current Δt/T with its value: a dashed line, and the point of each method that
        // is stable; past the axis's end, a thicker line at the right edge and "→" after the
        // value.
        const bool beyond = ratio > xMax;
        nowAt = std::min(ratio, xMax);
        now = AddLine(
            c,
            tr("現在の Δt/T = %1%2")
                .arg(QString::number(ratio, 'g', 3), beyond ? QStringLiteral(" →") : QString()),
            QColor(200, 0, 0), beyond ? 2.5 : 1.0);
        QPen pen = now->pen();
        pen.setStyle(Qt::DashLine);
        now->setPen(pen);
        all.push_back(now);
        auto* marks = new QScatterSeries;
        marks->setMarkerSize(8);
        marks->setColor(QColor(200, 0, 0));
        marks->setBorderColor(QColor(200, 0, 0));
        for (const StepProperties* p :
             {&result_->m.linearProperties, &result_->m.averageProperties}) {
            if (!beyond && p->HasPeriod() && std::isfinite(p->periodElongation)) {
                marks->append(ratio, p->periodElongation);
                everything.append(QPointF(ratio, p->periodElongation));
            }
        }
        c->addSeries(marks);
        c->legend()->markers(marks).value(0)->setVisible(false);
        all.push_back(marks);
    }
    const auto [yMin, yMax] = ValueRange(everything);
    SetAxis(c, Qt::AlignBottom, false, QStringLiteral("Δt/T"), 0, xMax, all, false);
    QAbstractAxis* y =
        SetAxis(c, Qt::AlignLeft, false, tr("周期の伸び(%)"), std::min(0.0, yMin), yMax, all);
    if (now) {
        const auto [low, high] = AxisRange(y);
        now->replace(QList<QPointF>{{nowAt, low}, {nowAt, high}});
    }
}

void AccuracyTab::ShowReadout(double time) {
    if (!result_ || result_->m.time.empty()) return;
    const Result& r = *result_;
    const std::vector<double>& t = r.m.time;
    const auto at = std::lower_bound(t.begin(), t.end(), time);
    std::size_t i = static_cast<std::size_t>(at - t.begin());
    if (i == t.size() || (i > 0 && time - t[i - 1] < t[i] - time)) --i;
    auto value = [i](const std::vector<double>& v) {
        return i < v.size() ? ShortNumber(v[i]) : QStringLiteral("—");
    };
    lblReadout->setText(tr("時刻 %1 s　線形加速度法 %2 cm　厳密解 %3 cm　平均加速度法 %4 cm"
                           "　誤差：線形 %5 cm、平均 %6 cm")
                            .arg(ShortNumber(t[i]), value(r.m.linear.displacement),
                                 value(r.m.exact.displacement), value(r.m.average.displacement),
                                 value(r.linearError), value(r.averageError)));
}

QByteArray AccuracyTab::CsvBytes(QString& why) const {
    if (!result_) return {};
    return CsvBytesOf([this](std::ostream& out) { return WriteAccuracyCsv(out, result_->m); }, why);
}

}  // namespace kestrel
