// "応答スペクトル": boxes of the periods and dampings, the quantity and the axes, the chart
// with the building's mark, the readout and the comparison with the building's run.
#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cmath>

#include "runtime/Conversions.h"
#include "study/ResponseSpectrum.h"
#include "study/StudyFiles.h"
#include "ui/FaultMessages.h"
#include "ui/FormLayout.h"
#include "ui/StudyChart.h"
#include "ui/StudyTabs.h"

namespace kestrel {

namespace {

// The five quantities in the order of the selector.
struct Quantity {
    const char* caption;  // the selector's item
    const char* axis;     // the value axis's title
    const char* unit;
};
constexpr Quantity kQuantities[] = {
    {QT_TRANSLATE_NOOP("kestrel::SpectrumTab", "Sd 相対変位"),
     QT_TRANSLATE_NOOP("kestrel::SpectrumTab", "Sd 相対変位(cm)"), "cm"},
    {QT_TRANSLATE_NOOP("kestrel::SpectrumTab", "Sv 相対速度"),
     QT_TRANSLATE_NOOP("kestrel::SpectrumTab", "Sv 相対速度(cm/s)"), "cm/s"},
    {QT_TRANSLATE_NOOP("kestrel::SpectrumTab", "Sa 絶対加速度"),
     QT_TRANSLATE_NOOP("kestrel::SpectrumTab", "Sa 絶対加速度(cm/s2)"), "cm/s2"},
    {QT_TRANSLATE_NOOP("kestrel::SpectrumTab", "pSv 擬似速度 ωSd"),
     QT_TRANSLATE_NOOP("kestrel::SpectrumTab", "pSv 擬似速度(cm/s)"), "cm/s"},
    {QT_TRANSLATE_NOOP("kestrel::SpectrumTab", "pSa 擬似加速度 ω²Sd"),
     QT_TRANSLATE_NOOP("kestrel::SpectrumTab", "pSa 擬似加速度(cm/s2)"), "cm/s2"},
};
constexpr int kQuantityCount = static_cast<int>(std::size(kQuantities));

const std::vector<double>& Values(const SpectrumCurves& c, int quantity) {
    switch (quantity) {
        case 0:
            return c.sd;
        case 1:
            return c.sv;
        case 2:
            return c.sa;
        case 3:
            return c.psv;
        default:
            return c.psa;
    }
}

// Colours of the dampings in list order, repeated when the list is longer.
const QColor kCurveColors[] = {QColor(0, 90, 200),   QColor(220, 100, 0), QColor(0, 150, 70),
                               QColor(150, 40, 160), QColor(120, 90, 40), QColor(0, 160, 170),
                               QColor(200, 40, 90),  QColor(90, 90, 90)};

QString Utf8(const std::string& s) {
    return QString::fromStdString(s);
}

QLineEdit* Box(const QString& text, int width) {
    auto* box = new QLineEdit(text);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setFixedWidth(width);
    return box;
}

}  // namespace

struct SpectrumTab::Result {
    ResponseSpectrum spectrum;
    std::optional<double> period;                   // the building's undamped period T_n, s
    double dampedPeriod = 0;                        // its damped period T_d, s
    QString dampingText;                            // the building's damping, % as typed
    std::optional<std::array<double, 5>> atPeriod;  // the spectra there with its damping
    std::optional<std::array<double, 3>>
        peaks;        // its run's displacement, velocity, acceleration peaks
    QString runNote;  // why there are no peaks
    // How much of the record the run covered, when not the whole: its peaks are of that part.
    QString coverage;
    std::optional<std::size_t> buildingCurve;  // the curve of the building's damping
};

SpectrumTab::SpectrumTab() {
    txtPeriodMin = Box(QStringLiteral("0.02"), 70);
    txtPeriodMax = Box(QStringLiteral("10"), 70);
    txtPeriodCount = Box(QStringLiteral("200"), 60);
    txtDampings = Box(QString(), 150);
    txtDampings->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    cboQuantity = new QComboBox;
    for (const Quantity& q : kQuantities) cboQuantity->addItem(tr(q.caption));
    chkLogPeriod = new QCheckBox(tr("周期を対数軸(&L)"));
    chkLogPeriod->setChecked(true);
    chkLogValue = new QCheckBox(tr("値を対数軸(&O)"));
    chart = new StudyChartView;
    SetChartMinimum(chart, 46, 22);  // the axes and the legend drawn whole
    lblReadout = NewReadout();
    lblCompare = new QLabel(QStringLiteral(" "));
    lblCompare->setWordWrap(true);
    lblCompare->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblNoRecord = NewNotice();

    const std::pair<QObject*, const char*> names[] = {
        {txtPeriodMin, "txtPeriodMin"},     {txtPeriodMax, "txtPeriodMax"},
        {txtPeriodCount, "txtPeriodCount"}, {txtDampings, "txtDampings"},
        {cboQuantity, "cboQuantity"},       {chkLogPeriod, "chkLogPeriod"},
        {chkLogValue, "chkLogValue"},       {chart, "chtSpectrum"},
        {lblReadout, "lblReadout"},         {lblCompare, "lblCompare"},
        {lblNoRecord, "lblNoRecord"},
    };
    for (const auto& [object, name] : names) object->setObjectName(QString::fromLatin1(name));

    auto* boxes = new QHBoxLayout;
    AddLabelledBox(boxes, tr("周期(s)(&T)："), txtPeriodMin);
    boxes->addWidget(new QLabel(tr("～")));
    boxes->addWidget(txtPeriodMax);
    boxes->addSpacing(8);
    AddLabelledBox(boxes, tr("点数(&N)："), txtPeriodCount);
    boxes->addSpacing(16);
    AddLabelledBox(boxes, tr("減衰定数(%)(&D)："), txtDampings);
    boxes->addStretch(1);

    auto* view = new QHBoxLayout;
    AddLabelledBox(view, tr("表示する量(&Q)："), cboQuantity);
    view->addSpacing(16);
    view->addWidget(chkLogPeriod);
    view->addWidget(chkLogValue);
    view->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblNoRecord);
    layout->addLayout(boxes);
    layout->addLayout(view);
    layout->addWidget(chart, 1);
    layout->addWidget(lblReadout);
    layout->addWidget(lblCompare);

    connect(cboQuantity, &QComboBox::currentIndexChanged, this, [this] { Redraw(); });
    connect(chkLogPeriod, &QCheckBox::toggled, this, [this] { Redraw(); });
    connect(chkLogValue, &QCheckBox::toggled, this, [this] { Redraw(); });
    FollowPointer(chart);
}

SpectrumTab::~SpectrumTab() = default;

bool SpectrumTab::HasResult() const {
    return result_ != nullptr;
}

QWidget* SpectrumTab::Charts() {
    return chart;
}

void SpectrumTab::Compute(const StudyInputs& inputs, MessageService& messages) {
    if (!dampingsSet_) {
        txtDampings->setText(Utf8(DefaultDampingListText(inputs.run->texts.model.damping)));
        dampingsSet_ = true;
    }
    result_.reset();
    caption_ = JoinCaption({RecordCaption(inputs), BuildingCaption(inputs)});
    lblNoRecord->setText(NoRecordNotice(inputs));
    lblNoRecord->setVisible(!inputs.record);
    if (!inputs.record) return Redraw();
    const RecordedMotion& record = *inputs.record;
    auto refuse = [&](const StudyError& error) {
        messages.ShowMessage(Utf8(error.message), kOkExclamation, tr("結果の検討"));
        const std::pair<std::string_view, QLineEdit*> boxes[] = {
            {kPeriodMinBox, txtPeriodMin},
            {kPeriodMaxBox, txtPeriodMax},
            {kPeriodCountBox, txtPeriodCount},
            {kDampingListBox, txtDampings},
        };
        for (const auto& [name, box] : boxes) {
            if (error.box == name) box->setFocus();
        }
        Redraw();
    };
    const auto range =
        ParsePeriodRange(txtPeriodMin->text().toStdString(), txtPeriodMax->text().toStdString(),
                         txtPeriodCount->text().toStdString());
    if (!range) return refuse(range.error());
    const auto parsed = ParseDampingList(txtDampings->text().toStdString());
    if (!parsed) return refuse(parsed.error());
    // The building's damping is always a curve when the building is compared: added after
    // the typed ones when the list lacks it.
    std::vector<DampingItem> dampings = *parsed;
    const double h = inputs.dampingRatio;
    std::optional<std::size_t> buildingCurve;
    if (h >= 0 && h < 1) {
        const auto at = std::find_if(dampings.begin(), dampings.end(),
                                     [h](const DampingItem& d) { return d.ratio == h; });
        buildingCurve = static_cast<std::size_t>(at - dampings.begin());
        if (at == dampings.end()) dampings.push_back(DampingItem{NumberText(h * 100), h});
    }
    const std::vector<double> periods = SpectrumPeriods(*range);
    auto spectrum = ComputeResponseSpectrum(record.samples(), record.timeStep(), periods, dampings);
    if (!spectrum) return refuse(spectrum.error());

    auto result = std::make_unique<Result>();
    result->spectrum = std::move(spectrum).value();
    result->buildingCurve = buildingCurve;
    QStringList listed;
    for (const DampingItem& d : result->spectrum.dampings) listed << Utf8(d.text);
    caption_ =
        JoinCaption({caption_, tr("周期 %1～%2 s (%3 点), 減衰定数 h = %4 %")
                                   .arg(Utf8(NumberText(range->min)), Utf8(NumberText(range->max)))
                                   .arg(range->count)
                                   .arg(listed.join(QStringLiteral(", ")))});
    result->dampingText = Utf8(NumberText(h * 100));
    if (inputs.undampedPeriod && h >= 0 && h < 1) {
        // A spectrum's period is that of an undamped oscillator: the building is marked at
        // T_n, not at the damped period T_d the main window shows.
        const double t = *inputs.undampedPeriod;
        result->period = t;
        result->dampedPeriod = inputs.naturalPeriod;
        // The spectra at the building's period with its damping: from the curves when both
        // are there, else computed for that one point.
        const ResponseSpectrum& s = result->spectrum;
        const auto p = std::find(s.periods.begin(), s.periods.end(), t);
        std::size_t d = 0;
        while (d < s.dampings.size() && s.dampings[d].ratio != h) ++d;
        if (p != s.periods.end() && d < s.dampings.size()) {
            const auto i = static_cast<std::size_t>(p - s.periods.begin());
            std::array<double, 5> v{};
            for (int q = 0; q < kQuantityCount; ++q) v[q] = Values(s.curves[d], q)[i];
            result->atPeriod = v;
        } else {
            const double one[] = {t};
            const DampingItem item[] = {{result->dampingText.toStdString(), h}};
            const auto point =
                ComputeResponseSpectrum(record.samples(), record.timeStep(), one, item);
            if (point) {
                std::array<double, 5> v{};
                for (int q = 0; q < kQuantityCount; ++q) v[q] = Values(point->curves[0], q)[0];
                result->atPeriod = v;
            }
        }
    }
    const Response& run = inputs.run->response;
    const double covered = (inputs.run->inputs.pointCount - 2) * record.timeStep();
    const std::size_t samples = record.samples().size();
    const double whole = samples > 0 ? static_cast<double>(samples - 1) * record.timeStep() : 0;
    if (covered < whole - record.timeStep() / 2) {
        result->coverage = tr("（記録 %1 s のうち解析した %2 s まで）")
                               .arg(ShortNumber(whole), ShortNumber(covered));
    }
    if (run.complete()) {
        const Peaks& b = run.peaks();
        result->peaks = std::array<double, 3>{b.displacement, b.velocity, b.acceleration};
    } else {
        result->runNote = FaultMessage(*run.fault());
    }
    result_ = std::move(result);
    Redraw();
}

void SpectrumTab::Redraw() {
    QChart* c = chart->chart();
    c->removeAllSeries();
    const int quantity = std::clamp(cboQuantity->currentIndex(), 0, kQuantityCount - 1);
    const bool logX = chkLogPeriod->isChecked();
    const bool logY = chkLogValue->isChecked();
    std::vector<QAbstractSeries*> all;
    QList<QPointF> everything;
    double xMin = 0.02, xMax = 10;
    if (result_) {
        const ResponseSpectrum& s = result_->spectrum;
        if (!s.periods.empty()) {
            xMin = s.periods.front();
            xMax = s.periods.back();
        }
        for (std::size_t d = 0; d < s.curves.size(); ++d) {
            const QList<QPointF> points =
                PlotPoints(s.periods, Values(s.curves[d], quantity), logX, logY);
            QString name = QStringLiteral("h=%1%").arg(Utf8(s.dampings[d].text));
            if (result_->buildingCurve == d) name += tr(" (建物)");
            auto* line = AddLine(c, name, kCurveColors[d % std::size(kCurveColors)]);
            line->replace(points);
            everything += points;
            all.push_back(line);
        }
    }
    // The building: its period, and the peak of its own run for the quantity's kind
    // (displacement, velocity, acceleration).
    if (result_ && result_->period) {
        const double t = *result_->period;
        if (result_->peaks) {
            const double peak = (*result_->peaks)[quantity == 3 ? 1 : quantity == 4 ? 2 : quantity];
            auto* mark = new QScatterSeries;
            mark->setName(tr("建物の応答の最大値 (線形加速度法)"));
            mark->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
            mark->setMarkerSize(9);
            mark->setColor(QColor(200, 0, 0));
            mark->setBorderColor(QColor(120, 0, 0));
            const QList<QPointF> point =
                PlotPoints(std::span(&t, 1), std::span(&peak, 1), logX, logY);
            mark->replace(point);
            c->addSeries(mark);
            everything += point;
            all.push_back(mark);
        }
    }
    auto [yMin, yMax] = ValueRange(everything);
    if (!logY) {
        yMin = std::min(0.0, yMin);
        yMax = yMax > yMin ? yMax * 1.05 : yMin + 1;
    }
    QLineSeries* periodLine = nullptr;
    if (result_ && result_->period && std::isfinite(*result_->period)) {
        // A dashed vertical line at the period, over the whole value axis.
        periodLine =
            AddLine(c, tr("建物の非減衰固有周期 T_n = %1 s").arg(ShortNumber(*result_->period)),
                    QColor(200, 0, 0), 1.0);
        QPen pen = periodLine->pen();
        pen.setStyle(Qt::DashLine);
        periodLine->setPen(pen);
        all.push_back(periodLine);
    }
    SetAxis(c, Qt::AlignBottom, logX, tr("周期(s)"), xMin, xMax, all, false);
    QAbstractAxis* valueAxis =
        SetAxis(c, Qt::AlignLeft, logY, tr(kQuantities[quantity].axis), yMin, yMax, all);
    if (periodLine) {
        const auto [low, high] = AxisRange(valueAxis);
        const double t = *result_->period;
        periodLine->replace(QList<QPointF>{{t, low}, {t, high}});
    }
    ShowComparison();
}

void SpectrumTab::ShowReadout(double period) {
    if (!result_ || result_->spectrum.periods.empty() || !(period > 0)) return;
    const ResponseSpectrum& s = result_->spectrum;
    // The nearest period on the log scale.
    std::size_t best = 0;
    for (std::size_t i = 1; i < s.periods.size(); ++i) {
        if (std::abs(std::log(s.periods[i] / period)) <
            std::abs(std::log(s.periods[best] / period)))
            best = i;
    }
    const int quantity = std::clamp(cboQuantity->currentIndex(), 0, kQuantityCount - 1);
    QString text = tr("周期 %1 s").arg(ShortNumber(s.periods[best]));
    for (std::size_t d = 0; d < s.curves.size(); ++d) {
        text +=
            tr("　h=%1%: %2")
                .arg(Utf8(s.dampings[d].text), ShortNumber(Values(s.curves[d], quantity)[best]));
    }
    text += QStringLiteral(" (%1)").arg(QString::fromUtf8(kQuantities[quantity].unit));
    lblReadout->setText(text);
}

void SpectrumTab::ShowComparison() {
    lblCompare->setStyleSheet(QString());
    if (!result_) {
        lblCompare->setText(QStringLiteral(" "));
        return;
    }
    const Result& r = *result_;
    if (!r.period) {
        lblCompare->setText(tr("建物固有周期を計算できないため、建物の印はありません。"));
        return;
    }
    QString text =
        tr("建物 (非減衰固有周期 T_n = %1 s、減衰固有周期 T_d = %2 s、h = %3 "
           "%) のスペクトル値 / 時刻歴応答 (線形加速度法) の最大値%4：")
            .arg(ShortNumber(*r.period), ShortNumber(r.dampedPeriod), r.dampingText, r.coverage);
    if (!r.peaks || !r.atPeriod) {
        lblCompare->setStyleSheet(QStringLiteral("color: #c00000;"));
        lblCompare->setText(text + tr("\n建物の応答を計算できません。") +
                            r.runNote.section(QLatin1Char('\n'), 0, 0));
        return;
    }
    text += QLatin1Char('\n');
    const char* names[] = {"Sd", "Sv", "Sa"};
    const char* units[] = {"cm", "cm/s", "cm/s2"};
    for (int q = 0; q < 3; ++q) {
        const double spectrum = (*r.atPeriod)[q];
        const double peak = (*r.peaks)[q];
        const double difference = peak - spectrum;
        const QString sign = difference >= 0 ? QStringLiteral("+") : QString();
        QString relative;
        if (spectrum != 0) {
            relative = QStringLiteral(", %1%2 %")
                           .arg(sign, QString::number(difference / spectrum * 100, 'f', 2));
        }
        text += tr("%1 %2 / %3 %4 (差 %5%6%7)")
                    .arg(QString::fromLatin1(names[q]), ShortNumber(spectrum), ShortNumber(peak),
                         QString::fromLatin1(units[q]), sign, ShortNumber(difference), relative);
        if (q < 2) text += tr("　　");
    }
    lblCompare->setText(text);
}

QByteArray SpectrumTab::CsvBytes(QString& why) const {
    if (!result_) return {};
    return CsvBytesOf(
        [this](std::ostream& out) { return WriteSpectrumCsv(out, result_->spectrum); }, why);
}

}  // namespace kestrel
