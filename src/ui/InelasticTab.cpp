// "弾塑性応答": the boxes of the spring, the three charts (displacement, hysteresis loop,
// energies), the table of both runs, the swaying building and the playback in step.
#include "ui/InelasticTab.h"

#include <QAreaSeries>
#include <QChart>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QSlider>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <vector>

#include "playback/PlaybackDrawing.h"
#include "playback/PlaybackLayout.h"
#include "runtime/Conversions.h"
#include "runtime/UiFont.h"
#include "study/InelasticStudy.h"
#include "ui/FormLayout.h"
#include "ui/StudyChart.h"

namespace kestrel {

namespace {

const QColor kElasticColor(120, 120, 120);
const QColor kPlasticColor(0, 90, 200);
const QColor kMarkColor(210, 0, 0);

// The models in the order of the selector.
struct ModelItem {
    SpringModel model;
    const char* caption;
};
constexpr ModelItem kModels[] = {
    {SpringModel::Bilinear, QT_TRANSLATE_NOOP("kestrel::InelasticTab", "バイリニア")},
    {SpringModel::Clough, QT_TRANSLATE_NOOP("kestrel::InelasticTab", "劣化バイリニア (Clough)")},
    {SpringModel::Origin, QT_TRANSLATE_NOOP("kestrel::InelasticTab", "原点指向型")},
};

QString Utf8(const std::string& s) {
    return QString::fromStdString(s);
}

QString ModelCaption(SpringModel model) {
    for (const ModelItem& item : kModels) {
        if (item.model == model) return InelasticTab::tr(item.caption);
    }
    return InelasticTab::tr("弾性");
}

// The building's figure is 3495 twips square, as the main playback's (15 twips a pixel).
constexpr int kFigurePixels = 3495 / 15;
// The farthest the column top sways from its base, twips: the mass circle stays inside.
constexpr double kMaxSway = 1400;

// The points of a time series to draw on `columns` columns of equal point counts: all of
// them when there are few; otherwise, in each column, its smallest and largest value in their
// order, so that the line covers what the whole one covers. The first and last point are
// always kept.
std::vector<int> ColumnIndices(std::span<const double> y, int columns) {
    const int n = static_cast<int>(y.size());
    std::vector<int> kept;
    if (n <= 4 * columns) {
        kept.resize(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) kept[static_cast<std::size_t>(i)] = i;
        return kept;
    }
    kept.reserve(static_cast<std::size_t>(2 * columns + 2));
    kept.push_back(0);
    for (int c = 0; c < columns; ++c) {
        const int from = static_cast<int>(static_cast<long long>(n) * c / columns);
        const int to = static_cast<int>(static_cast<long long>(n) * (c + 1) / columns);
        int lo = from, hi = from;
        for (int i = from; i < to; ++i) {
            if (y[static_cast<std::size_t>(i)] < y[static_cast<std::size_t>(lo)]) lo = i;
            if (y[static_cast<std::size_t>(i)] > y[static_cast<std::size_t>(hi)]) hi = i;
        }
        for (int i : {std::min(lo, hi), std::max(lo, hi)}) {
            if (i > kept.back()) kept.push_back(i);
        }
    }
    if (kept.back() != n - 1) kept.push_back(n - 1);
    return kept;
}

// The points of the loop worth drawing: every reversal of the displacement (the tips of the
// loop) and every point that moved more than 1/2000 of either range from the last one kept,
// far less than a pixel of any plot.
std::vector<int> LoopIndices(std::span<const double> x, std::span<const double> q, double xRange,
                             double qRange) {
    const int n = static_cast<int>(std::min(x.size(), q.size()));
    std::vector<int> kept;
    if (n == 0) return kept;
    const double dx = xRange / 2000, dq = qRange / 2000;
    kept.push_back(0);
    for (int i = 1; i < n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const auto last = static_cast<std::size_t>(kept.back());
        const bool reversal = i + 1 < n && (x[k] - x[k - 1]) * (x[k + 1] - x[k]) < 0;
        if (reversal || i == n - 1 || std::fabs(x[k] - x[last]) > dx ||
            std::fabs(q[k] - q[last]) > dq) {
            kept.push_back(i);
        }
    }
    return kept;
}

// A range [lo, hi] of the finite values, widened by 5 % (and to something when flat).
std::pair<double, double> Padded(std::initializer_list<std::span<const double>> series,
                                 std::initializer_list<double> also = {}) {
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    auto take = [&](double v) {
        if (!std::isfinite(v)) return;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    };
    for (const auto& s : series) {
        for (double v : s) take(v);
    }
    for (double v : also) take(v);
    if (!(lo <= hi)) return {-1, 1};
    const double pad = hi > lo ? (hi - lo) * 0.05 : (lo != 0 ? std::fabs(lo) * 0.1 : 1);
    return {lo - pad, hi + pad};
}

void HideFromLegend(QChart* chart, QAbstractSeries* series) {
    for (QLegendMarker* marker : chart->legend()->markers(series)) marker->setVisible(false);
}

QScatterSeries* AddMark(QChart* chart) {
    auto* mark = new QScatterSeries;
    mark->setMarkerSize(9);
    mark->setColor(kMarkColor);
    mark->setBorderColor(kMarkColor);
    chart->addSeries(mark);
    HideFromLegend(chart, mark);
    return mark;
}

}  // namespace

// A curve that grows with the playback: its points, the ones drawn, and its series.
struct GrowingCurve {
    QLineSeries* series = nullptr;
    std::vector<double> x, y;
    std::vector<int> drawn;  // ascending

    // The drawn points before `point`, then `point` itself (or the curve's last).
    QList<QPointF> Upto(int point) const {
        QList<QPointF> points;
        const int last = std::min(point, static_cast<int>(x.size()) - 1);
        if (last < 0) return points;
        for (int k : drawn) {
            if (k >= last) break;
            const auto i = static_cast<std::size_t>(k);
            if (std::isfinite(x[i]) && std::isfinite(y[i])) points.append(QPointF(x[i], y[i]));
        }
        const auto i = static_cast<std::size_t>(last);
        if (std::isfinite(x[i]) && std::isfinite(y[i])) points.append(QPointF(x[i], y[i]));
        return points;
    }
};

struct InelasticTab::Result {
    Result(std::shared_ptr<const SteppedRun> r, InelasticResponse p)
        : run(std::move(r)), plastic(std::move(p)) {}

    std::shared_ptr<const SteppedRun> run;  // the run studied
    InelasticResponse plastic;
    // The run's building without yielding, for its energies, ductility demand and V_E.
    std::optional<InelasticResponse> elastic;
    std::optional<double> undampedPeriod;
    QString stop;          // InelasticStopMessage
    double swayScale = 0;  // twips of sway per cm
    std::vector<GrowingCurve> curves;
    QScatterSeries* loopMark = nullptr;
    QScatterSeries* timeMark = nullptr;
};

// ---------------------------------------------------------------------------------------
// SwayingBuilding

SwayingBuilding::SwayingBuilding() : columnTopX_(figure::BaseX) {
    setFixedSize(kFigurePixels, kFigurePixels);
}

QSize SwayingBuilding::sizeHint() const {
    return {kFigurePixels, kFigurePixels};
}

void SwayingBuilding::Show(double columnTopX, bool yielding) {
    if (columnTopX == columnTopX_ && yielding == yielding_) return;
    columnTopX_ = columnTopX;
    yielding_ = yielding;
    update();
}

void SwayingBuilding::paintEvent(QPaintEvent*) {
    const QColor back = palette().color(QPalette::Base);
    const QColor fore = palette().color(QPalette::WindowText);
    QImage surface = MakeSurface(size(), devicePixelRatioF(), back);
    DrawBuilding(surface, static_cast<float>(columnTopX_), back, fore);
    QPainter p(this);
    p.drawImage(QPoint(0, 0), surface);
    const auto ground = figure::GroundLines();
    DrawLineShapes(p, ground, fore);
    if (!yielding_) return;
    // The yielding column: a red hinge at its base, drawn in twips as the building is.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(1.0 / 15, 1.0 / 15);
    QPen pen(kMarkColor, 2);
    pen.setCosmetic(true);
    p.setPen(pen);
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(QPointF(figure::BaseX, figure::BaseY - 90), 90, 90);
    p.restore();
    p.setPen(kMarkColor);
    p.drawText(rect().adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignTop, tr("降伏中"));
}

// ---------------------------------------------------------------------------------------
// InelasticTab

InelasticTab::InelasticTab() {
    cboModel = new QComboBox;
    for (const ModelItem& item : kModels) cboModel->addItem(tr(item.caption));
    auto box = [](std::string_view text) {
        auto* b =
            new QLineEdit(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        b->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        b->setFixedWidth(60);
        return b;
    };
    txtYield = box(kDefaultYieldCoefficientText);
    txtRatio = box(kDefaultSecondStiffnessRatioText);
    cmdCompute = new QPushButton(tr("計算(&A)"));
    lblYield = new QLabel;
    lblStop = NewNotice();
    displacement = new StudyChartView;
    loop = new StudyChartView;
    energy = new StudyChartView;
    SetChartMinimum(displacement, 32, 15);
    SetChartMinimum(energy, 32, 15);
    SetChartMinimum(loop, 26, 17);
    table = new QTableWidget(11, 2);
    table->setHorizontalHeaderLabels({tr("弾性"), tr("弾塑性")});
    table->setVerticalHeaderLabels({
        tr("最大変位(cm)"),
        tr("最大速度(cm/s)"),
        tr("最大加速度(cm/s2)"),
        tr("最大復元力(kN)"),
        tr("塑性率 μ"),
        tr("最終変位(cm)"),
        tr("残留変形 δ−Q/K(cm)"),
        tr("累積塑性変形倍率 η"),
        QStringLiteral("E_H / E_I"),
        QStringLiteral("V_E(cm/s)"),
        tr("エネルギー収支の誤差(%)"),
    });
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setWordWrap(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setMinimumSectionSize(70);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    table->setFixedWidth(FitTableToContents(table));
    building = new SwayingBuilding;
    cmdPlay = new QPushButton(tr("再生(&S)"));
    sldTime = new QSlider(Qt::Horizontal);
    sldTime->setRange(0, 0);
    lblTime = new QLabel(QStringLiteral(" "));
    lblTime->setMinimumWidth(QFontMetrics(UiFont()).horizontalAdvance(
        tr("時刻 327.65 s　変位 -88.888 cm　復元力 -8888.8 kN　降伏中")));
    lblReadout = NewReadout();
    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);

    const std::pair<QObject*, const char*> names[] = {
        {cboModel, "cboModel"},
        {txtYield, "txtYield"},
        {txtRatio, "txtRatio"},
        {cmdCompute, "cmdCompute"},
        {lblYield, "lblYield"},
        {lblStop, "lblStop"},
        {displacement, "chtDisplacement"},
        {loop, "chtLoop"},
        {energy, "chtEnergy"},
        {table, "tblInelastic"},
        {building, "picBuilding"},
        {cmdPlay, "cmdPlay"},
        {sldTime, "sldTime"},
        {lblTime, "lblTime"},
        {lblReadout, "lblReadout"},
        {timer_, "tmrPlayback"},
    };
    for (const auto& [object, name] : names) object->setObjectName(QString::fromLatin1(name));

    auto* boxes = new QHBoxLayout;
    AddLabelledBox(boxes, tr("復元力特性(&H)："), cboModel);
    boxes->addSpacing(16);
    AddLabelledBox(boxes, tr("降伏せん断力係数 Cy(&Y)："), txtYield);
    boxes->addSpacing(8);
    AddLabelledBox(boxes, tr("第2剛性比 p(&R)："), txtRatio);
    boxes->addSpacing(8);
    boxes->addWidget(cmdCompute);
    boxes->addSpacing(16);
    boxes->addWidget(lblYield);
    boxes->addStretch(1);

    charts_ = new QWidget;
    auto* top = new QHBoxLayout;
    top->addWidget(loop, 1);
    top->addWidget(building, 0, Qt::AlignVCenter);
    top->addWidget(table, 0, Qt::AlignTop);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(displacement, 1);
    bottom->addWidget(energy, 1);
    auto* inside = new QVBoxLayout(charts_);
    inside->setContentsMargins(0, 0, 0, 0);
    inside->addLayout(top, 1);
    inside->addLayout(bottom, 1);

    auto* playback = new QHBoxLayout;
    playback->addWidget(cmdPlay);
    playback->addWidget(sldTime, 1);
    playback->addWidget(lblTime);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(boxes);
    layout->addWidget(lblStop);
    layout->addWidget(charts_, 1);
    layout->addLayout(playback);
    layout->addWidget(lblReadout);

    connect(cmdCompute, &QPushButton::clicked, this, &InelasticTab::ComputeFromBoxes);
    for (QLineEdit* b : {txtYield, txtRatio}) {
        connect(b, &QLineEdit::returnPressed, this, &InelasticTab::ComputeFromBoxes);
    }
    connect(cmdPlay, &QPushButton::clicked, this, [this] { Playing() ? Stop() : Play(); });
    connect(timer_, &QTimer::timeout, this, &InelasticTab::Tick);
    connect(sldTime, &QSlider::valueChanged, this, [this](int value) {
        if (settingSlider_) return;
        ShowPoint(value);
        // Dragged while playing: the playback goes on from there.
        if (Playing()) {
            startPoint_ = shown_;
            clock_.restart();
        }
    });
    FollowPointer(displacement);
    FollowPointer(energy);
    Draw();
    FillTable();
    ShowPoint(0);
}

InelasticTab::~InelasticTab() = default;

bool InelasticTab::HasResult() const {
    return result_ != nullptr;
}

QWidget* InelasticTab::Charts() {
    return charts_;
}

int InelasticTab::LastPoint() const {
    // The rows the CSV writes and the main playback shows: up to point pointCount - 2, or the
    // last one computed by a run that stopped (none when it stopped at point 0).
    if (!result_ || result_->plastic.completedPoints() == 0) return -1;
    return std::min(result_->plastic.completedPoints() - 1,
                    std::max(result_->plastic.pointCount() - 2, 0));
}

std::optional<InelasticMarker> InelasticTab::LastRun() const {
    if (!result_ || !result_->plastic.complete() || !result_->undampedPeriod) return std::nullopt;
    const InelasticParameters& p = result_->plastic.parameters();
    return InelasticMarker{*result_->undampedPeriod, p.model, p.yieldCoefficient,
                           p.secondStiffnessRatio, result_->plastic.summary().ductility};
}

void InelasticTab::Compute(const StudyInputs& inputs, MessageService& messages) {
    Stop();
    inputs_ = inputs;
    messages_ = &messages;
    ComputeFromBoxes();
}

void InelasticTab::ComputeFromBoxes() {
    Stop();
    result_.reset();
    lblStop->hide();
    lblYield->clear();
    caption_.clear();
    auto finish = [this] {
        Draw();
        FillTable();
        ShowPoint(LastPoint());
        emit lastRunChanged();
    };
    if (!inputs_ || !messages_) return finish();
    const StudyInputs& inputs = *inputs_;
    const SteppedRun& run = *inputs.run;
    const SpringModel model = kModels[std::clamp(cboModel->currentIndex(), 0, 2)].model;
    caption_ = JoinCaption({ExcitationCaption(inputs), BuildingCaption(inputs)});
    auto refuse = [&](const StudyError& error) {
        messages_->ShowMessage(Utf8(error.message), kOkExclamation, tr("結果の検討"));
        if (error.box == kYieldCoefficientBox) txtYield->setFocus();
        if (error.box == kSecondStiffnessRatioBox) txtRatio->setFocus();
        finish();
    };
    const auto parameters = ReadInelasticParameters(model, txtYield->text().toStdString(),
                                                    txtRatio->text().toStdString());
    if (!parameters) return refuse(parameters.error());
    auto plastic = ComputeInelasticResponse(run.inputs, run.motion, *parameters);
    if (!plastic) return refuse(plastic.error());

    auto result = std::make_unique<Result>(inputs.run, std::move(plastic).value());
    InelasticParameters linear = *parameters;
    linear.model = SpringModel::Linear;
    auto elastic = RunInelastic(run.inputs, run.motion, linear);
    if (auto* e = std::get_if<InelasticResponse>(&elastic)) result->elastic = std::move(*e);
    result->undampedPeriod = inputs.undampedPeriod;
    result->stop = Utf8(InelasticStopMessage(result->plastic));
    // The main playback's sway, smaller when the yielding building would leave the figure.
    const double peak =
        result->plastic.summary().ductility * result->plastic.summary().yieldDisplacement;
    result->swayScale = SwayScale(run.excitation());
    if (std::isfinite(peak) && peak * result->swayScale > kMaxSway) {
        result->swayScale = kMaxSway / peak;
    }
    result_ = std::move(result);

    const InelasticSummary& s = result_->plastic.summary();
    lblYield->setText(tr("Qy = %1 kN、δy = %2 cm")
                          .arg(ShortNumber(s.yieldForce), ShortNumber(s.yieldDisplacement)));
    caption_ = JoinCaption(
        {caption_, tr("復元力特性 %1, Cy = %2, p = %3")
                       .arg(ModelCaption(model), Utf8(NumberText(parameters->yieldCoefficient)),
                            Utf8(NumberText(parameters->secondStiffnessRatio)))});
    if (!result_->stop.isEmpty()) {
        lblStop->setText(result_->stop);
        lblStop->show();
    }
    finish();
}

QString InelasticTab::Caption() const {
    if (!result_ || shown_ >= LastPoint()) return caption_;
    const double t = result_->plastic.response().time()[static_cast<std::size_t>(shown_)];
    return JoinCaption({caption_, tr("時刻 %1 s まで").arg(Utf8(NumberText(t)))});
}

void InelasticTab::Draw() {
    for (StudyChartView* view : {displacement, loop, energy}) view->chart()->removeAllSeries();
    std::vector<QAbstractSeries*> dSeries, lSeries, eSeries;
    double tEnd = 1;
    std::pair<double, double> dRange{-1, 1}, xRange{-1, 1}, qRange{-1, 1}, eRange{0, 1};
    if (result_) {
        Result& r = *result_;
        r.curves.clear();
        const InelasticResponse& p = r.plastic;
        const Response& e = r.run->response;
        const double dy = p.summary().yieldDisplacement;
        auto time = [](const Response& response) {
            return std::vector<double>(response.time().begin(), response.time().end());
        };
        auto add = [&r](QLineSeries* series, std::vector<double> x, std::span<const double> y,
                        std::vector<int> drawn) {
            GrowingCurve c;
            c.series = series;
            c.x = std::move(x);
            c.y.assign(y.begin(), y.end());
            c.drawn = std::move(drawn);
            r.curves.push_back(std::move(c));
        };
        constexpr int kColumns = 1500;

        // Displacement: the run's own (elastic) and the yielding one.
        QChart* c = displacement->chart();
        auto* elasticLine = AddLine(c, tr("弾性（解析結果）"), kElasticColor, 1.2);
        auto* plasticLine = AddLine(c, tr("弾塑性（%1）").arg(ModelCaption(p.parameters().model)),
                                    kPlasticColor, 1.6);
        add(elasticLine, time(e), e.displacement(), ColumnIndices(e.displacement(), kColumns));
        add(plasticLine, time(p.response()), p.response().displacement(),
            ColumnIndices(p.response().displacement(), kColumns));
        r.timeMark = AddMark(c);
        dSeries = {elasticLine, plasticLine, r.timeMark};
        dRange = Padded({e.displacement(), p.response().displacement()});
        if (!e.time().empty()) tEnd = e.time().back();
        if (!p.response().time().empty()) tEnd = std::max(tEnd, p.response().time().back());
        if (!(tEnd > 0)) tEnd = 1;

        // The loop over its skeleton, the yield displacements marked.
        c = loop->chart();
        const std::span<const double> x = p.response().displacement();
        const std::span<const double> q = p.force();
        const double reach =
            std::max({std::fabs(Padded({x}).first), std::fabs(Padded({x}).second), 1.5 * dy});
        std::vector<double> sx, sq;
        for (double at : {-reach, -dy, 0.0, dy, reach}) {
            sx.push_back(at);
            sq.push_back(p.SkeletonForce(at));
        }
        xRange = Padded({x}, {-reach, reach});
        qRange = Padded({q, sq});
        auto* skeleton = AddLine(c, tr("骨格曲線"), QColor(90, 90, 90), 1.2);
        QPen dashed = skeleton->pen();
        dashed.setStyle(Qt::DashLine);
        skeleton->setPen(dashed);
        skeleton->replace(PlotPoints(sx, sq));
        auto* yieldLines =
            AddLine(c, tr("±δy = ±%1 cm").arg(ShortNumber(dy)), QColor(200, 120, 0), 1.0);
        QPen dotted = yieldLines->pen();
        dotted.setStyle(Qt::DotLine);
        yieldLines->setPen(dotted);
        auto* yieldOther = AddLine(c, QString(), QColor(200, 120, 0), 1.0);
        yieldOther->setPen(dotted);
        HideFromLegend(c, yieldOther);
        yieldLines->replace({{dy, qRange.first}, {dy, qRange.second}});
        yieldOther->replace({{-dy, qRange.first}, {-dy, qRange.second}});
        auto* loopLine = AddLine(c, tr("履歴曲線"), kPlasticColor, 1.4);
        add(loopLine, std::vector<double>(x.begin(), x.end()), q,
            LoopIndices(x, q, xRange.second - xRange.first, qRange.second - qRange.first));
        r.loopMark = AddMark(c);
        lSeries = {skeleton, yieldLines, yieldOther, loopLine, r.loopMark};

        // The energies: E_H, E_D and E_K + E_S stacked from below, E_I over them.
        c = energy->chart();
        const std::size_t n = static_cast<std::size_t>(p.completedPoints());
        std::vector<double> b0(n, 0.0), b1(n), b2(n), b3(n);
        for (std::size_t i = 0; i < n; ++i) {
            b1[i] = p.hystereticEnergy()[i];
            b2[i] = b1[i] + p.dampingEnergy()[i];
            b3[i] = b2[i] + p.kineticEnergy()[i] + p.strainEnergy()[i];
        }
        const std::vector<int> stacked = ColumnIndices(b3, kColumns);
        const struct {
            const char* name;
            QColor color;
            const std::vector<double>* upper;
            const std::vector<double>* lower;
        } areas[] = {
            {QT_TR_NOOP("E_H 履歴"), QColor(230, 110, 80), &b1, &b0},
            {QT_TR_NOOP("E_D 減衰"), QColor(110, 190, 120), &b2, &b1},
            {QT_TR_NOOP("E_K+E_S 運動+ひずみ"), QColor(120, 160, 230), &b3, &b2},
        };
        const std::vector<double> pt = time(p.response());
        for (const auto& a : areas) {
            auto* upper = new QLineSeries;
            auto* lower = new QLineSeries;
            auto* area = new QAreaSeries(upper, lower);
            upper->setParent(area);
            lower->setParent(area);
            area->setName(tr(a.name));
            QColor fill = a.color;
            fill.setAlpha(190);
            area->setBrush(fill);
            area->setPen(QPen(a.color.darker(130), 0.8));
            c->addSeries(area);
            add(upper, pt, *a.upper, stacked);
            add(lower, pt, *a.lower, stacked);
            eSeries.push_back(area);
        }
        auto* input = AddLine(c, tr("E_I 入力"), QColor(20, 20, 20), 1.8);
        add(input, pt, p.inputEnergy(), ColumnIndices(p.inputEnergy(), kColumns));
        eSeries.push_back(input);
        // From 0 unless the input energy went below it (work done by the building on the
        // ground early in a record).
        eRange = Padded({b3, p.inputEnergy()}, {0.0});
        const auto lowest = std::min_element(p.inputEnergy().begin(), p.inputEnergy().end());
        if (lowest == p.inputEnergy().end() || !(*lowest < 0)) eRange.first = 0;
    }
    const QString timeTitle = tr("時刻(s)");
    SetAxis(displacement->chart(), Qt::AlignBottom, false, timeTitle, 0, tEnd, dSeries, false);
    SetAxis(displacement->chart(), Qt::AlignLeft, false, tr("相対変位(cm)"), dRange.first,
            dRange.second, dSeries);
    SetAxis(loop->chart(), Qt::AlignBottom, false, tr("変位 δ(cm)"), xRange.first, xRange.second,
            lSeries);
    SetAxis(loop->chart(), Qt::AlignLeft, false, tr("復元力 Q(kN)"), qRange.first, qRange.second,
            lSeries);
    SetAxis(energy->chart(), Qt::AlignBottom, false, timeTitle, 0, tEnd, eSeries, false);
    SetAxis(energy->chart(), Qt::AlignLeft, false, tr("エネルギー(kN・cm)"), eRange.first,
            eRange.second, eSeries);
}

void InelasticTab::FillTable() {
    table->clearContents();
    auto set = [this](int row, int column, const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        table->setItem(row, column, item);
    };
    const QString none = tr("—");
    if (!result_) {
        for (int row = 0; row < table->rowCount(); ++row) {
            for (int column = 0; column < 2; ++column) set(row, column, none);
        }
        table->setFixedWidth(FitTableToContents(table));
        return;
    }
    const Result& r = *result_;
    const Peaks& ep = r.run->response.peaks();
    const Peaks& pp = r.plastic.response().peaks();
    const InelasticSummary& s = r.plastic.summary();
    // The rows in their order, the elastic-plastic column whole.
    const double plastic[] = {pp.displacement,     pp.velocity,
                              pp.acceleration,     s.peakForce,
                              s.ductility,         s.residualDisplacement,
                              s.plasticOffset,     s.cumulativePlasticRatio,
                              s.hystereticShare,   s.equivalentVelocity,
                              s.balanceError * 100};
    const double elasticPeaks[] = {ep.displacement, ep.velocity, ep.acceleration};
    for (int row = 0; row < 11; ++row) set(row, 1, ShortNumber(plastic[row]));
    for (int row = 0; row < 3; ++row) set(row, 0, ShortNumber(elasticPeaks[row]));
    // The elastic column from the same run without yielding: its force, its demand on the
    // yield displacement, its energies. It keeps no deformation and dissipates nothing in
    // its column.
    if (r.elastic) {
        const InelasticSummary& e = r.elastic->summary();
        set(3, 0, ShortNumber(e.peakForce));
        set(4, 0, ShortNumber(e.ductility));
        set(5, 0, ShortNumber(e.residualDisplacement));
        set(9, 0, ShortNumber(e.equivalentVelocity));
        set(10, 0, ShortNumber(e.balanceError * 100));
    } else {
        for (int row : {3, 4, 5, 9, 10}) set(row, 0, none);
    }
    for (int row : {6, 7, 8}) set(row, 0, QStringLiteral("0"));
    table->item(4, 0)->setToolTip(tr("弾性応答の最大変位 / δy"));
    table->setFixedWidth(FitTableToContents(table));
}

void InelasticTab::ShowPoint(int point) {
    const int last = LastPoint();
    shown_ = std::clamp(point, 0, std::max(last, 0));
    {
        settingSlider_ = true;
        sldTime->setRange(0, std::max(last, 0));
        sldTime->setValue(shown_);
        settingSlider_ = false;
    }
    sldTime->setEnabled(last > 0);
    cmdPlay->setEnabled(last > 0);
    if (!result_ || last < 0) {
        building->Show(figure::BaseX, false);
        lblTime->setText(QStringLiteral(" "));
        return;
    }
    Result& r = *result_;
    for (const GrowingCurve& c : r.curves) c.series->replace(c.Upto(shown_));
    const auto i = static_cast<std::size_t>(shown_);
    const double t = r.plastic.response().time()[i];
    const double x = r.plastic.response().displacement()[i];
    const double q = r.plastic.force()[i];
    const bool yielding = r.plastic.yielding()[i] != 0;
    r.loopMark->replace({QPointF(x, q)});
    r.timeMark->replace({QPointF(t, x)});
    building->Show(figure::BaseX + x * r.swayScale, yielding);
    lblTime->setText(tr("時刻 %1 s　変位 %2 cm　復元力 %3 kN%4")
                         .arg(ShortNumber(t), ShortNumber(x), ShortNumber(q),
                              yielding ? tr("　降伏中") : QString()));
}

bool InelasticTab::Playing() const {
    return timer_->isActive();
}

void InelasticTab::Play() {
    const int last = LastPoint();
    if (!result_ || last <= 0) return;
    if (shown_ >= last) ShowPoint(0);
    const SteppedRun& run = *result_->run;
    int interval = run.playbackIntervalMs;
    if (interval <= 0) {
        // A run that stopped has no playback interval of its own: the same rule, step time
        // x 500 ms.
        const double ms = run.response.stepTime() * 500;
        interval = std::isfinite(ms) ? static_cast<int>(std::clamp(std::round(ms), 1.0, 1e6)) : 1;
    }
    pace_ = PlaybackPace(interval);
    startPoint_ = shown_;
    clock_.start();
    timer_->start(pace_.FrameIntervalMs());
    cmdPlay->setText(tr("停止(&S)"));
}

void InelasticTab::Stop() {
    timer_->stop();
    cmdPlay->setText(tr("再生(&S)"));
}

void InelasticTab::Tick() {
    if (!result_) return Stop();
    const int last = LastPoint();
    ShowPoint(pace_.PointAt(clock_.elapsed(), startPoint_, last));
    if (shown_ >= last) Stop();
}

void InelasticTab::hideEvent(QHideEvent* event) {
    Stop();
    StudyTab::hideEvent(event);
}

void InelasticTab::ShowReadout(double time) {
    if (!result_) return;
    const Result& r = *result_;
    const Response& p = r.plastic.response();
    if (p.completedPoints() == 0) return;
    const double dt = p.stepTime();
    const double at = dt > 0 ? std::round(time / dt) : 0;
    const auto i = static_cast<std::size_t>(
        std::clamp(std::isfinite(at) ? at : 0.0, 0.0, double(p.completedPoints() - 1)));
    const std::span<const double> e = r.run->response.displacement();
    lblReadout->setText(
        tr("時刻 %1 s　変位：弾性 %2 cm、弾塑性 %3 cm　E_I %4、E_K+E_S %5、E_D %6、"
           "E_H %7 kN・cm")
            .arg(ShortNumber(p.time()[i]), i < e.size() ? ShortNumber(e[i]) : tr("—"),
                 ShortNumber(p.displacement()[i]), ShortNumber(r.plastic.inputEnergy()[i]),
                 ShortNumber(r.plastic.kineticEnergy()[i] + r.plastic.strainEnergy()[i]),
                 ShortNumber(r.plastic.dampingEnergy()[i]),
                 ShortNumber(r.plastic.hystereticEnergy()[i])));
}

QByteArray InelasticTab::CsvBytes(QString& why) const {
    if (!result_) return {};
    return CsvBytesOf(
        [this](std::ostream& out) { return WriteInelasticCsv(out, result_->plastic); }, why);
}

}  // namespace kestrel
