// "フーリエスペクトル": the smoothing box, the log-log chart of the record's Fourier
// amplitude with the building's natural frequency and transfer function, the readout.
#include <QChart>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

#include "runtime/Conversions.h"
#include "study/FourierSpectrum.h"
#include "study/StudyFiles.h"
#include "ui/FormLayout.h"
#include "ui/StudyChart.h"
#include "ui/StudyTabs.h"

namespace kestrel {

namespace {

// Columns of the thinned curves: more than a screen's width of points adds nothing.
constexpr int kColumns = 1200;

QString Utf8(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

struct FourierTab::Result {
    FourierSpectrum spectrum;
    std::vector<std::optional<double>> transfer;  // empty without a building
    std::vector<double> transferValues;           // the same, NaN where there is none
    std::optional<double> period;                 // the building's undamped period T_n, s
    double dampedPeriod = 0;                      // its damped period T_d, s
    double dampingRatio = 0;
};

FourierTab::FourierTab() {
    txtSmoothing = new QLineEdit(QStringLiteral("0.2"));
    txtSmoothing->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtSmoothing->setFixedWidth(70);
    chart = new StudyChartView;
    SetChartMinimum(chart, 46, 22);  // the axes and the legend drawn whole
    lblReadout = NewReadout();
    lblNote = new QLabel(QStringLiteral(" "));
    lblNote->setWordWrap(true);
    lblSmoothing = new QLabel;
    lblSmoothing->setStyleSheet(QStringLiteral("color: #d00000;"));
    lblSmoothing->setWordWrap(true);
    lblSmoothing->hide();
    lblNoRecord = NewNotice();
    lblNoRecord->setObjectName(QStringLiteral("lblNoRecord"));
    txtSmoothing->setObjectName(QStringLiteral("txtSmoothing"));
    lblSmoothing->setObjectName(QStringLiteral("lblSmoothing"));
    chart->setObjectName(QStringLiteral("chtFourier"));
    lblReadout->setObjectName(QStringLiteral("lblReadout"));
    lblNote->setObjectName(QStringLiteral("lblNote"));

    auto* boxes = new QHBoxLayout;
    AddLabelledBox(boxes, tr("平滑化 Parzen ウィンドウの幅(Hz)(&W)："), txtSmoothing);
    boxes->addWidget(new QLabel(tr("（空欄または 0 で平滑化なし）")));
    boxes->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblNoRecord);
    layout->addLayout(boxes);
    layout->addWidget(lblSmoothing);
    layout->addWidget(chart, 1);
    layout->addWidget(lblReadout);
    layout->addWidget(lblNote);

    FollowPointer(chart);
}

FourierTab::~FourierTab() = default;

bool FourierTab::HasResult() const {
    return result_ != nullptr;
}

QWidget* FourierTab::Charts() {
    return chart;
}

void FourierTab::Compute(const StudyInputs& inputs, MessageService& messages) {
    result_.reset();
    lblSmoothing->hide();
    caption_ = JoinCaption({RecordCaption(inputs), BuildingCaption(inputs)});
    lblNoRecord->setText(NoRecordNotice(inputs));
    lblNoRecord->setVisible(!inputs.record);
    if (!inputs.record) return Redraw();
    auto refuse = [&](const StudyError& error) {
        messages.ShowMessage(Utf8(error.message), kOkExclamation, tr("結果の検討"));
        if (error.box == kSmoothingBox) txtSmoothing->setFocus();
        Redraw();
    };
    const auto bandwidth = ParseSmoothingBandwidth(txtSmoothing->text().toStdString());
    if (!bandwidth) return refuse(bandwidth.error());
    auto spectrum =
        ComputeFourierSpectrum(inputs.record->samples(), inputs.record->timeStep(), *bandwidth);
    if (!spectrum) return refuse(spectrum.error());
    caption_ = JoinCaption(
        {caption_, *bandwidth
                       ? tr("平滑化 Parzen ウィンドウ %1 Hz").arg(Utf8(NumberText(**bandwidth)))
                       : tr("平滑化なし")});
    auto result = std::make_unique<Result>();
    result->spectrum = std::move(spectrum).value();
    result->dampingRatio = inputs.dampingRatio;
    // A width that reaches no neighbouring frequency: said beside the box, not drawn.
    const std::string note = SmoothingNote(result->spectrum);
    lblSmoothing->setText(Utf8(note));
    lblSmoothing->setVisible(!note.empty());
    if (inputs.undampedPeriod && inputs.dampingRatio >= 0 && inputs.dampingRatio < 1) {
        // |H(f)| is written with the undamped circular frequency w_n = 2π/T_n.
        result->period = inputs.undampedPeriod;
        result->dampedPeriod = inputs.naturalPeriod;
        result->transfer = TransferFunction(result->spectrum.frequencies, *inputs.undampedPeriod,
                                            inputs.dampingRatio);
        result->transferValues.reserve(result->transfer.size());
        for (const auto& v : result->transfer) {
            result->transferValues.push_back(v.value_or(std::numeric_limits<double>::quiet_NaN()));
        }
    }
    result_ = std::move(result);
    Redraw();
}

void FourierTab::Redraw() {
    QChart* c = chart->chart();
    c->removeAllSeries();
    std::vector<QAbstractSeries*> left, right;
    QList<QPointF> amplitudes, transfer;
    double fMin = 0.1, fMax = 50;
    lblNote->setText(QStringLiteral(" "));
    if (result_) {
        const FourierSpectrum& s = result_->spectrum;
        if (!s.frequencies.empty()) {
            fMin = s.frequencies.front();
            fMax = s.frequencies.back();
        }
        const bool smoothed = !s.smoothed.empty() && s.smooths;
        auto* raw = AddLine(c, tr("フーリエ振幅"),
                            smoothed ? QColor(150, 170, 210) : QColor(0, 90, 200), 1.0);
        raw->replace(Envelope(s.frequencies, s.amplitude, fMin, fMax, kColumns, true, true));
        amplitudes += raw->points();
        left.push_back(raw);
        if (smoothed) {
            auto* line = AddLine(c, tr("平滑化 (Parzen %1 Hz)").arg(ShortNumber(s.bandwidth)),
                                 QColor(0, 70, 180), 2.0);
            line->replace(Envelope(s.frequencies, s.smoothed, fMin, fMax, kColumns, true, true));
            amplitudes += line->points();
            left.push_back(line);
        }
        if (!result_->transferValues.empty()) {
            auto* line = AddLine(c, tr("伝達関数 |H(f)| (右軸)"), QColor(220, 90, 0));
            line->replace(
                Envelope(s.frequencies, result_->transferValues, fMin, fMax, kColumns, true, true));
            transfer = line->points();
            right.push_back(line);
        }
    }
    auto [aMin, aMax] = ValueRange(amplitudes);
    if (amplitudes.isEmpty()) aMin = 1e-3, aMax = 1;
    if (result_ && result_->period) {
        const double f = 1 / *result_->period;
        auto* line = AddLine(c, tr("建物の非減衰固有振動数 1/T_n = %1 Hz").arg(ShortNumber(f)),
                             QColor(200, 0, 0), 1.0);
        QPen pen = line->pen();
        pen.setStyle(Qt::DashLine);
        line->setPen(pen);
        // From the bottom decade to the top one, so it crosses the whole plot.
        const double low = std::pow(10.0, std::floor(std::log10(aMin)));
        const double high = std::pow(10.0, std::ceil(std::log10(aMax)));
        if (std::isfinite(f) && f > 0) line->replace(QList<QPointF>{{f, low}, {f, high}});
        left.push_back(line);
        lblNote->setText(tr("建物：非減衰固有周期 T_n = %1 s (1/T_n = %2 "
                            "Hz)、減衰固有周期 T_d = %3 s、h = %4 %")
                             .arg(ShortNumber(*result_->period), ShortNumber(f),
                                  ShortNumber(result_->dampedPeriod),
                                  ShortNumber(result_->dampingRatio * 100)));
    }
    std::vector<QAbstractSeries*> all = left;
    all.insert(all.end(), right.begin(), right.end());
    SetAxis(c, Qt::AlignBottom, true, tr("振動数(Hz)"), fMin, fMax, all, false);
    SetAxis(c, Qt::AlignLeft, true, tr("フーリエ振幅(cm/s)"), aMin, aMax, left);
    if (!right.empty()) {
        const auto [hMin, hMax] = ValueRange(transfer);
        QAbstractAxis* axis =
            SetAxis(c, Qt::AlignRight, true, tr("伝達関数 |H(f)|"), hMin, hMax, right);
        // The left axis's grid is the plot's; a second one would only clutter it.
        axis->setGridLineVisible(false);
        axis->setMinorGridLineVisible(false);
    } else {
        RemoveAxis(c, Qt::AlignRight);
    }
}

void FourierTab::ShowReadout(double frequency) {
    if (!result_ || result_->spectrum.frequencies.empty() || !(frequency > 0)) return;
    const FourierSpectrum& s = result_->spectrum;
    const auto at = std::lower_bound(s.frequencies.begin(), s.frequencies.end(), frequency);
    std::size_t i = static_cast<std::size_t>(at - s.frequencies.begin());
    if (i == s.frequencies.size() ||
        (i > 0 && frequency / s.frequencies[i - 1] < s.frequencies[i] / frequency)) {
        --i;
    }
    QString text = tr("振動数 %1 Hz (周期 %2 s)　振幅 %3 cm/s")
                       .arg(ShortNumber(s.frequencies[i]), ShortNumber(1 / s.frequencies[i]),
                            ShortNumber(s.amplitude[i]));
    if (!s.smoothed.empty() && s.smooths) {
        text += tr("　平滑化 %1 cm/s").arg(ShortNumber(s.smoothed[i]));
    }
    if (!result_->transferValues.empty()) {
        text += tr("　|H| %1").arg(ShortNumber(result_->transferValues[i]));
    }
    lblReadout->setText(text);
}

QByteArray FourierTab::CsvBytes(QString& why) const {
    if (!result_) return {};
    return CsvBytesOf(
        [this](std::ostream& out) {
            return WriteFourierCsv(out, result_->spectrum, result_->transfer);
        },
        why);
}

}  // namespace kestrel
