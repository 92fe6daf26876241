// "所要耐力スペクトル": the boxes of the oscillators, "計算" with its progress bar and "中止",
// the charts of Cy, R (beside the equal-displacement, equal-energy and short-period rules)
// and V_E against the period, the building's mark and the readout.
#include "ui/StrengthTab.h"

#include <QChart>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <system_error>
#include <thread>

#include "runtime/Conversions.h"
#include "study/StrengthSpectrum.h"
#include "study/StudyFiles.h"
#include "ui/FormLayout.h"
#include "ui/StudyChart.h"

namespace kestrel {

namespace {

// Colours of the ductilities in list order, repeated when the list is longer (the spectrum
// tab's colours).
const QColor kCurveColors[] = {QColor(0, 90, 200),   QColor(220, 100, 0), QColor(0, 150, 70),
                               QColor(150, 40, 160), QColor(120, 90, 40), QColor(0, 160, 170),
                               QColor(200, 40, 90),  QColor(90, 90, 90)};
const QColor kBuildingColor(200, 0, 0);

// How often the progress bar follows the computation.
constexpr int kPollMs = 50;

QString Utf8(const std::string& s) {
    return QString::fromStdString(s);
}

QColor CurveColor(std::size_t i) {
    return kCurveColors[i % std::size(kCurveColors)];
}

QLineEdit* Box(const QString& text, int width, bool right = true) {
    auto* box = new QLineEdit(text);
    box->setAlignment((right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    box->setFixedWidth(width);
    return box;
}

void Dash(QLineSeries* line, Qt::PenStyle style) {
    QPen pen = line->pen();
    pen.setStyle(style);
    line->setPen(pen);
}

// Leaves a series out of the legend (a second line of a rule already named there).
void Unlisted(QChart* c, QAbstractSeries* series) {
    for (QLegendMarker* marker : c->legend()->markers(series)) marker->setVisible(false);
}

}  // namespace

struct StrengthTab::Result {
    StrengthSpectrum spectrum;
    std::shared_ptr<const SteppedRun> run;  // the run whose record it is
    std::optional<double> period;           // the building's undamped period T_n, s
    QString caption;
};

// One computation: the record it reads (held through the run), the settings, and what the
// thread hands back. The thread writes `outcome` and then sets `done`; the tab reads
// `outcome` only after it has seen `done` and joined the thread.
struct StrengthTab::Job {
    std::shared_ptr<const SteppedRun> run;
    const RecordedMotion* record = nullptr;
    StrengthSettings settings;
    std::optional<double> period;
    QString caption;
    std::atomic<bool> cancel{false};
    std::atomic<double> fraction{0};
    std::atomic<bool> done{false};
    std::optional<StudyResult<StrengthSpectrum>> outcome;
    std::thread thread;

    ~Job() {
        cancel = true;
        if (thread.joinable()) thread.join();
    }

    void Run() {
        StrengthProgress progress;
        progress.report = [this](double f) { fraction.store(f, std::memory_order_relaxed); };
        progress.cancel = &cancel;
        try {
            outcome.emplace(
                ComputeStrengthSpectrum(record->samples(), record->timeStep(), settings, progress));
        } catch (const std::exception&) {
            // Out of memory or threads: told like any refusal, never thrown off the thread.
            outcome.emplace(
                StudyError{"", StrengthTab::tr("所要耐力スペクトルを計算できません。\n"
                                               "計算に必要なメモリまたはスレッドが足りません。")
                                   .toStdString()});
        }
        done.store(true, std::memory_order_release);
    }
};

StrengthTab::StrengthTab() {
    txtDamping = Box(QStringLiteral("5"), 50);
    txtDuctilities = Box(QStringLiteral("1, 2, 4"), 110, false);
    txtSecondStiffness = Box(QStringLiteral("0"), 50);
    txtPeriodMin = Box(QStringLiteral("0.05"), 60);
    txtPeriodMax = Box(QStringLiteral("5"), 60);
    txtPeriodCount = Box(QStringLiteral("100"), 50);
    cmdCompute = new QPushButton(tr("計算(&A)"));
    cmdCompute->setEnabled(false);
    progress = new QProgressBar;
    progress->setRange(0, 1000);
    progress->setTextVisible(false);
    progress->setFixedWidth(160);
    progress->hide();
    cmdStop = new QPushButton(tr("中止(&S)"));
    cmdStop->hide();
    lblStatus = new QLabel(QStringLiteral(" "));
    lblStatus->setWordWrap(true);
    chkLogPeriod = new QCheckBox(tr("周期を対数軸(&R)"));
    chkLogPeriod->setChecked(true);
    cyChart = new StudyChartView;
    rChart = new StudyChartView;
    veChart = new StudyChartView;
    lblReadout = NewReadout();
    lblNoRecord = NewNotice();
    poll_ = new QTimer(this);
    poll_->setInterval(kPollMs);

    const std::pair<QObject*, const char*> names[] = {
        {lblNoRecord, "lblNoRecord"},
        {txtDamping, "txtStrengthDamping"},
        {txtDuctilities, "txtDuctilities"},
        {txtSecondStiffness, "txtSecondStiffness"},
        {txtPeriodMin, "txtStrengthPeriodMin"},
        {txtPeriodMax, "txtStrengthPeriodMax"},
        {txtPeriodCount, "txtStrengthPeriodCount"},
        {cmdCompute, "cmdStrengthCompute"},
        {progress, "prgStrength"},
        {cmdStop, "cmdStrengthStop"},
        {lblStatus, "lblStrengthStatus"},
        {chkLogPeriod, "chkStrengthLogPeriod"},
        {cyChart, "chtCy"},
        {rChart, "chtReduction"},
        {veChart, "chtEnergy"},
        {lblReadout, "lblReadout"},
    };
    for (const auto& [object, name] : names) object->setObjectName(QString::fromLatin1(name));

    auto* boxes = new QHBoxLayout;
    AddLabelledBox(boxes, tr("減衰定数(%)(&H)："), txtDamping);
    boxes->addSpacing(12);
    AddLabelledBox(boxes, tr("塑性率 μ(&Y)："), txtDuctilities);
    boxes->addSpacing(12);
    AddLabelledBox(boxes, tr("第2剛性比 p(&B)："), txtSecondStiffness);
    boxes->addSpacing(12);
    AddLabelledBox(boxes, tr("周期(s)(&I)："), txtPeriodMin);
    boxes->addWidget(new QLabel(tr("～")));
    boxes->addWidget(txtPeriodMax);
    boxes->addSpacing(8);
    AddLabelledBox(boxes, tr("点数(&J)："), txtPeriodCount);
    boxes->addStretch(1);

    auto* commands = new QHBoxLayout;
    commands->addWidget(cmdCompute);
    commands->addWidget(progress);
    commands->addWidget(cmdStop);
    commands->addSpacing(8);
    commands->addWidget(lblStatus, 1);
    commands->addSpacing(8);
    commands->addWidget(chkLogPeriod);

    lblNote = new QLabel(QStringLiteral(" "));
    lblNote->setWordWrap(true);
    lblNote->setObjectName(QStringLiteral("lblStrengthNote"));
    charts_ = new QWidget;
    auto* inside = new QVBoxLayout(charts_);
    inside->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    inside->addLayout(row, 1);
    inside->addWidget(lblNote);
    StudyChartView* const views[] = {cyChart, rChart, veChart};
    for (int i = 0; i < 3; ++i) {
        SetChartMinimum(views[i], 23, 22);  // the axes and the legend drawn whole
        row->addWidget(views[i], 1);
        connect(views[i], &StudyChartView::pointerMoved, this,
                [this, i](double, double) { pointerChart_ = i; });
        FollowPointer(views[i]);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblNoRecord);
    layout->addLayout(boxes);
    layout->addLayout(commands);
    layout->addWidget(charts_, 1);
    layout->addWidget(lblReadout);

    for (QLineEdit* box : {txtDamping, txtDuctilities, txtSecondStiffness, txtPeriodMin,
                           txtPeriodMax, txtPeriodCount}) {
        connect(box, &QLineEdit::textChanged, this, [this] { InputsChanged(); });
        connect(box, &QLineEdit::returnPressed, this, [this] {
            if (cmdCompute->isEnabled()) cmdCompute_Click();
        });
    }
    connect(cmdCompute, &QPushButton::clicked, this, &StrengthTab::cmdCompute_Click);
    connect(cmdStop, &QPushButton::clicked, this, &StrengthTab::cmdStop_Click);
    connect(chkLogPeriod, &QCheckBox::toggled, this, [this] { Redraw(); });
    connect(poll_, &QTimer::timeout, this, &StrengthTab::Poll);
    Redraw();
}

StrengthTab::~StrengthTab() {
    // The thread reads the run's record and writes into the job: both outlive it.
    job_.reset();
}

bool StrengthTab::HasResult() const {
    return result_ != nullptr;
}

bool StrengthTab::IsComputing() const {
    return job_ != nullptr;
}

QWidget* StrengthTab::Charts() {
    return charts_;
}

void StrengthTab::Compute(const StudyInputs& inputs, MessageService& messages) {
    messages_ = &messages;
    if (!dampingSet_) {
        txtDamping->setText(Utf8(DefaultStrengthDampingText(inputs.run->texts.model.damping)));
        dampingSet_ = true;
    }
    const bool stopped = job_ != nullptr;
    StopJob();
    const bool cleared = result_ && result_->run != inputs.run;
    if (cleared) result_.reset();
    inputs_ = inputs;
    lblNoRecord->setText(NoRecordNotice(inputs));
    lblNoRecord->setVisible(!inputs.record);
    cmdCompute->setEnabled(inputs.record != nullptr);
    caption_ =
        result_ ? result_->caption : JoinCaption({RecordCaption(inputs), BuildingCaption(inputs)});
    if (!inputs.record) {
        lblStatus->setText(QStringLiteral(" "));
    } else if (stopped) {
        lblStatus->setText(tr("「再計算」で計算を中止しました。「計算」で計算し直して下さい。"));
    } else if (!result_) {
        lblStatus->setText(cleared ? tr("解析が変わったため、結果を消しました。"
                                        "「計算」で計算し直して下さい。")
                                   : tr("「計算」で計算します。"));
    }
    Redraw();
}

void StrengthTab::InputsChanged() {
    const bool stopped = job_ != nullptr;
    StopJob();
    if (stopped) {
        lblStatus->setText(tr("入力が変わったため、計算を中止しました。"));
    } else if (result_) {
        lblStatus->setText(
            tr("入力が変わったため、結果を消しました。"
               "「計算」で計算し直して下さい。"));
    }
    if (result_) {
        result_.reset();
        if (inputs_) caption_ = JoinCaption({RecordCaption(*inputs_), BuildingCaption(*inputs_)});
        Redraw();
    }
}

void StrengthTab::cmdCompute_Click() {
    if (!inputs_ || !inputs_->record || job_ || !messages_) return;
    StrengthTexts texts;
    texts.damping = txtDamping->text().toStdString();
    texts.ductilities = txtDuctilities->text().toStdString();
    texts.secondStiffnessRatio = txtSecondStiffness->text().toStdString();
    texts.periodMin = txtPeriodMin->text().toStdString();
    texts.periodMax = txtPeriodMax->text().toStdString();
    texts.periodCount = txtPeriodCount->text().toStdString();
    auto settings = ReadStrengthSettings(texts);
    if (!settings) {
        const StudyError error = settings.error();
        lblStatus->setText(tr("入力を確かめて下さい。"));
        messages_->ShowMessage(Utf8(error.message), kOkExclamation, tr("結果の検討"));
        const std::pair<std::string_view, QLineEdit*> boxes[] = {
            {kStrengthDampingBox, txtDamping},
            {kDuctilityListBox, txtDuctilities},
            {kSecondStiffnessBox, txtSecondStiffness},
            {kPeriodMinBox, txtPeriodMin},
            {kPeriodMaxBox, txtPeriodMax},
            {kPeriodCountBox, txtPeriodCount},
        };
        for (const auto& [name, box] : boxes) {
            if (error.box == name) box->setFocus();
        }
        return;
    }
    auto job = std::make_unique<Job>();
    job->run = inputs_->run;
    job->record = inputs_->record;
    job->settings = std::move(settings).value();
    job->period = inputs_->undampedPeriod;
    const StrengthSettings& s = job->settings;
    QStringList ductilities;
    for (const DuctilityItem& d : s.ductilities) ductilities << Utf8(d.text);
    job->caption = JoinCaption(
        {RecordCaption(*inputs_), BuildingCaption(*inputs_),
         tr("減衰定数 h = %1 %, 塑性率 μ = %2, 第2剛性比 p = %3, 周期 %4～%5 s (%6 点)")
             .arg(Utf8(NumberText(s.damping * 100)), ductilities.join(QStringLiteral(", ")),
                  Utf8(NumberText(s.secondStiffnessRatio)),
                  Utf8(NumberText(s.periods.empty() ? 0 : s.periods.front())),
                  Utf8(NumberText(s.periods.empty() ? 0 : s.periods.back())))
             .arg(s.periods.size())});
    Job* running = job.get();
    try {
        job->thread = std::thread([running] { running->Run(); });
    } catch (const std::system_error&) {
        messages_->ShowMessage(tr("所要耐力スペクトルを計算できません。\n"
                                  "計算のためのスレッドを作れませんでした。"),
                               kOkExclamation, tr("結果の検討"));
        return;
    }
    job_ = std::move(job);
    result_.reset();
    caption_ = JoinCaption({RecordCaption(*inputs_), BuildingCaption(*inputs_)});
    lblStatus->setText(tr("計算しています…"));
    ShowComputing(true);
    poll_->start();
    Redraw();
}

void StrengthTab::cmdStop_Click() {
    if (!job_) return;
    StopJob();
    lblStatus->setText(tr("計算を中止しました。"));
}

void StrengthTab::StopJob() {
    if (!job_) return;
    job_.reset();  // cancels, and waits for the thread: the search stops between blocks
    poll_->stop();
    ShowComputing(false);
    emit computationEnded();
}

void StrengthTab::ShowComputing(bool on) {
    progress->setValue(0);
    progress->setVisible(on);
    cmdStop->setVisible(on);
    cmdCompute->setEnabled(!on && inputs_ && inputs_->record);
    if (on) cmdStop->setFocus();
}

void StrengthTab::Poll() {
    if (!job_) {
        poll_->stop();
        return;
    }
    progress->setValue(static_cast<int>(job_->fraction.load(std::memory_order_relaxed) * 1000));
    if (!job_->done.load(std::memory_order_acquire)) return;
    std::unique_ptr<Job> job = std::move(job_);
    job->thread.join();
    poll_->stop();
    ShowComputing(false);
    StudyResult<StrengthSpectrum>& outcome = *job->outcome;
    if (!outcome) {
        const StudyError& error = outcome.error();
        lblStatus->setText(tr("計算できませんでした。"));
        if (error.box != kStrengthCancelled && messages_) {
            messages_->ShowMessage(Utf8(error.message), kOkExclamation, tr("結果の検討"));
            const std::pair<std::string_view, QLineEdit*> boxes[] = {
                {kDuctilityListBox, txtDuctilities},
                {kPeriodMinBox, txtPeriodMin},
            };
            for (const auto& [name, box] : boxes) {
                if (error.box == name) box->setFocus();
            }
        }
    } else {
        auto result = std::make_unique<Result>();
        result->spectrum = std::move(outcome).value();
        result->run = job->run;
        result->period = job->period;
        result->caption = job->caption;
        caption_ = result->caption;
        result_ = std::move(result);
        lblStatus->setText(QStringLiteral(" "));
        cmdCompute->setFocus();
    }
    Redraw();
    emit computationEnded();
}

void StrengthTab::Redraw() {
    const bool logX = chkLogPeriod->isChecked();
    const StrengthSpectrum* s = result_ ? &result_->spectrum : nullptr;
    double xMin = 0.05, xMax = 5;
    if (s && !s->periods.empty()) {
        xMin = s->periods.front();
        xMax = s->periods.back();
    }
    const std::optional<double> period =
        result_ && result_->period && std::isfinite(*result_->period) ? result_->period
                                                                      : std::nullopt;
    const std::optional<BuildingYield> yield =
        result_ && period && buildingYield ? buildingYield() : std::nullopt;

    // One chart: its curves, a value axis from 0 over them, the building's period dashed.
    auto draw = [&](StudyChartView* view, const QString& title, auto&& addCurves) {
        QChart* c = view->chart();
        c->removeAllSeries();
        std::vector<QAbstractSeries*> all;
        QList<QPointF> everything;
        if (s) addCurves(c, all, everything);
        auto [low, high] = ValueRange(everything);
        low = std::min(0.0, low);
        high = high > low ? high * 1.05 : low + 1;
        QLineSeries* periodLine = nullptr;
        if (period) {
            periodLine = AddLine(c, QStringLiteral("T_n = %1 s").arg(ShortNumber(*period)),
                                 kBuildingColor, 1.0);
            Dash(periodLine, Qt::DashLine);
            all.push_back(periodLine);
        }
        SetAxis(c, Qt::AlignBottom, logX, tr("周期(s)"), xMin, xMax, all, false);
        QAbstractAxis* valueAxis = SetAxis(c, Qt::AlignLeft, false, title, low, high, all);
        if (periodLine) {
            const auto [bottom, top] = AxisRange(valueAxis);
            periodLine->replace(QList<QPointF>{{*period, bottom}, {*period, top}});
        }
    };
    auto curves = [&](QChart* c, std::vector<QAbstractSeries*>& all, QList<QPointF>& everything,
                      auto values, bool elastic) {
        for (std::size_t i = 0; i < s->curves.size(); ++i) {
            if (!elastic && s->ductilities[i].ratio == 1) continue;
            auto* line = AddLine(c, tr("μ=%1").arg(Utf8(s->ductilities[i].text)), CurveColor(i));
            line->replace(PlotPoints(s->periods, values(s->curves[i]), logX));
            everything += line->points();
            all.push_back(line);
        }
    };

    draw(cyChart, tr("降伏せん断力係数 Cy"),
         [&](QChart* c, std::vector<QAbstractSeries*>& all, QList<QPointF>& everything) {
             curves(
                 c, all, everything, [](const StrengthCurves& k) { return std::span(k.cy); }, true);
             if (yield) {
                 auto* mark = new QScatterSeries;
                 mark->setName(tr("建物の降伏点"));
                 mark->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
                 mark->setMarkerSize(9);
                 mark->setColor(kBuildingColor);
                 mark->setBorderColor(QColor(120, 0, 0));
                 const QList<QPointF> point =
                     PlotPoints(std::span(&*period, 1), std::span(&yield->cy, 1), logX);
                 mark->replace(point);
                 c->addSeries(mark);
                 everything += point;
                 all.push_back(mark);
             }
         });

    // R of each ductility above 1 (R = 1 for μ = 1 is the short-period rule itself), with the
    // rules as horizontal lines in the colour of their ductility, told in the note under the
    // charts rather than in the legend, which has no room for them.
    draw(rChart, tr("強度低減係数 R"),
         [&](QChart* c, std::vector<QAbstractSeries*>& all, QList<QPointF>& everything) {
             curves(
                 c, all, everything, [](const StrengthCurves& k) { return std::span(k.r); }, false);
             auto rule = [&](const QString& name, double value, const QColor& color,
                             Qt::PenStyle style) {
                 QLineSeries* line = AddLine(c, name, color, 1.0);
                 Dash(line, style);
                 line->replace(QList<QPointF>{{xMin, value}, {xMax, value}});
                 Unlisted(c, line);
                 everything += line->points();
                 all.push_back(line);
             };
             rule(tr("R = 1 (短周期)"), 1, QColor(60, 60, 60), Qt::DashDotLine);
             for (std::size_t i = 0; i < s->ductilities.size(); ++i) {
                 const double mu = s->ductilities[i].ratio;
                 if (mu == 1) continue;
                 rule(tr("変位一定則 R = μ"), mu, CurveColor(i), Qt::DashLine);
                 rule(tr("エネルギー一定則 R = √(2μ−1)"), std::sqrt(2 * mu - 1), CurveColor(i),
                      Qt::DotLine);
             }
         });

    draw(veChart, tr("エネルギー入力 V_E(cm/s)"),
         [&](QChart* c, std::vector<QAbstractSeries*>& all, QList<QPointF>& everything) {
             curves(
                 c, all, everything, [](const StrengthCurves& k) { return std::span(k.ve); }, true);
         });

    // What the legends have no room for: the building's marks and the rules' lines.
    QString note;
    if (result_ && period) {
        note = tr("赤の破線：建物の非減衰固有周期 T_n = %1 s").arg(ShortNumber(*period));
        if (yield) {
            note += tr("、赤の四角：建物の降伏点 Cy = %1, μ = %2 (弾塑性応答)")
                        .arg(ShortNumber(yield->cy), ShortNumber(yield->ductility));
        }
        note += tr("。");
    } else if (result_) {
        note = tr("建物固有周期を計算できないため、建物の印はありません。");
    }
    note +=
        tr("R の図の横線 (μ ごとの色)：破線は変位一定則 R = μ、点線はエネルギー一定則 "
           "R = √(2μ−1)、灰色の一点鎖線は短周期の R = 1。");
    lblNote->setText(note);
}

void StrengthTab::ShowReadout(double period) {
    if (!result_ || result_->spectrum.periods.empty() || !(period > 0)) return;
    const StrengthSpectrum& s = result_->spectrum;
    // The nearest period on the log scale.
    std::size_t best = 0;
    for (std::size_t i = 1; i < s.periods.size(); ++i) {
        if (std::abs(std::log(s.periods[i] / period)) <
            std::abs(std::log(s.periods[best] / period)))
            best = i;
    }
    const char* names[] = {"Cy", "R", "V_E"};
    const int chart = std::clamp(pointerChart_, 0, 2);
    QString text =
        tr("周期 %1 s　%2").arg(ShortNumber(s.periods[best]), QString::fromLatin1(names[chart]));
    for (std::size_t i = 0; i < s.curves.size(); ++i) {
        const StrengthCurves& k = s.curves[i];
        const double value = chart == 0 ? k.cy[best] : chart == 1 ? k.r[best] : k.ve[best];
        text += tr("　μ=%1: %2").arg(Utf8(s.ductilities[i].text), ShortNumber(value));
    }
    if (chart == 2) text += QStringLiteral(" (cm/s)");
    lblReadout->setText(text);
}

QByteArray StrengthTab::CsvBytes(QString& why) const {
    if (!result_) return {};
    return CsvBytesOf(
        [this](std::ostream& out) { return WriteStrengthCsv(out, result_->spectrum); }, why);
}

}  // namespace kestrel
