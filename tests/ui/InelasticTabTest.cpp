// The tab "弾塑性応答" on runs made here: it computes for every excitation case and model, its
// CSV is the writer's, its refusals name the box, its playback keeps time and follows the
// slider, and a run that stopped is drawn but not exported.
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <cmath>
#include <memory>
#include <sstream>

#include "analysis/RunFromTexts.h"
#include "study/InelasticStudy.h"
#include "study/StudyInputs.h"
#include "ui/InelasticTab.h"
#include "ui/ScriptedMessages.h"
#include "ui/StudyChart.h"
#include "ui/StudyTabs.h"

using namespace kestrel;
using kestrel::test::ScriptedMessages;

namespace {

// A run as the main window keeps it: the earthquake case on a decaying two-tone record of
// `samples` points 0.01 s apart, strong enough to yield the default building at Cy = 0.2.
std::shared_ptr<const SteppedRun> MakeRun(ExcitationCase excitation, RunTexts texts = {},
                                          int samples = 1500) {
    RunHooks hooks;
    hooks.loadWaveRecord = [samples] {
        WaveRecord record{0.01, {}};
        for (int k = 0; k < samples; ++k) {
            const double t = k * 0.01;
            record.samples.push_back(400 * std::exp(-0.3 * t) *
                                     (std::sin(9.0 * t) + 0.5 * std::sin(23.0 * t)));
        }
        return std::optional<WaveRecord>(record);
    };
    RunOutcome run = RunFromTexts(texts, excitation, hooks);
    if (!Stepped(run)) return nullptr;
    return std::make_shared<const SteppedRun>(SteppedRun{texts,
                                                         std::move(*run.inputs),
                                                         std::move(*run.motion),
                                                         std::move(*run.response),
                                                         run.playbackIntervalMs,
                                                         {}});
}

QLineSeries* SeriesNamed(StudyChartView* view, const QString& name) {
    for (QAbstractSeries* s : view->chart()->series()) {
        if (s->name() == name) return static_cast<QLineSeries*>(s);
    }
    return nullptr;
}

}  // namespace

class InelasticTabTest : public QObject {
    Q_OBJECT

private slots:
    void computesEveryCaseAndModel();
    void refusalsNameTheBox();
    void playbackKeepsTimeAndFollowsTheSlider();
    void stoppedRunIsDrawnNotExported();
};

void InelasticTabTest::computesEveryCaseAndModel() {
    const ExcitationCase cases[] = {ExcitationCase::InitialDisplacement,
                                    ExcitationCase::InitialVelocity,
                                    ExcitationCase::SteadyAcceleration,
                                    ExcitationCase::SteadyDisplacement, ExcitationCase::Earthquake};
    const SpringModel models[] = {SpringModel::Bilinear, SpringModel::Clough, SpringModel::Origin};
    ScriptedMessages messages;
    InelasticTab tab;
    for (const ExcitationCase c : cases) {
        const auto run = MakeRun(c);
        QVERIFY(run);
        for (int m = 0; m < 3; ++m) {
            tab.cboModel->setCurrentIndex(m);
            tab.txtRatio->setText(m == 1 ? QStringLiteral("０．１") : QStringLiteral("0"));
            tab.Compute(StudyInputsOf(run), messages);
            QVERIFY2(messages.shown.empty(), qPrintable(messages.Prompts().join(u'\n')));
            QVERIFY(tab.HasResult());
            // The export is the writer's bytes for the same run.
            const InelasticParameters p{models[m], 0.2, m == 1 ? 0.1 : 0.0};
            const auto expected = ComputeInelasticResponse(run->inputs, run->motion, p);
            QVERIFY(expected.ok());
            std::ostringstream out;
            QVERIFY(!WriteInelasticCsv(out, *expected));
            QString why;
            QCOMPARE(tab.CsvBytes(why), QByteArray::fromStdString(out.str()));
            // The table against the series: the elastic peak over points 1 on (as every
            // peak of the program), and μ = max |x| / δy over every point with
            // δy = Cy M g / K from the building's numbers.
            const Building& b = run->inputs.building;
            const double dy = 0.2 * b.mass * 980.665 / b.stiffness;
            double elasticPeak = 0, plasticPeak = 0;
            for (double x : run->response.displacement().subspan(1)) {
                elasticPeak = std::max(elasticPeak, std::fabs(x));
            }
            for (double x : expected->response().displacement()) {
                plasticPeak = std::max(plasticPeak, std::fabs(x));
            }
            QCOMPARE(tab.table->item(0, 0)->text(), ShortNumber(elasticPeak));
            QCOMPARE(tab.table->item(4, 1)->text(), ShortNumber(plasticPeak / dy));
            const auto marker = tab.LastRun();
            QVERIFY(marker);
            QCOMPARE(marker->model, models[m]);
            QCOMPARE(marker->yieldCoefficient, 0.2);
            QVERIFY(std::fabs(marker->ductility - plasticPeak / dy) <= 1e-12 * marker->ductility);
            QVERIFY(std::fabs(marker->undampedPeriod - 2 * M_PI * std::sqrt(b.mass / b.stiffness)) <
                    1e-12);
            QVERIFY(tab.lblYield->text().contains(u"Qy = "));
            QVERIFY(tab.lblStop->isHidden());
            // Everything drawn: the CSV's last row shown, the loop whole.
            QCOMPARE(tab.ShownPoint(), run->response.pointCount() - 2);
            QVERIFY(SeriesNamed(tab.loop, QStringLiteral("履歴曲線"))->count() > 10);
        }
    }
    // The earthquake yields the default building: the table says so.
    QVERIFY(tab.table->item(7, 1)->text().toDouble() > 0);
}

void InelasticTabTest::refusalsNameTheBox() {
    const struct {
        const char* yield;
        const char* ratio;
        const char* named;
    } cases[] = {
        {"0", "0", "降伏せん断力係数"},   {"-0.1", "0", "降伏せん断力係数"},
        {"abc", "0", "降伏せん断力係数"}, {"", "0", "降伏せん断力係数"},
        {"0.2", "1", "第2剛性比"},        {"0.2", "-0.01", "第2剛性比"},
        {"0.2", "p", "第2剛性比"},
    };
    ScriptedMessages messages;
    InelasticTab tab;
    const auto run = MakeRun(ExcitationCase::InitialDisplacement);
    QVERIFY(run);
    for (const auto& c : cases) {
        tab.txtYield->setText(QString::fromUtf8(c.yield));
        tab.txtRatio->setText(QString::fromUtf8(c.ratio));
        messages.shown.clear();
        tab.Compute(StudyInputsOf(run), messages);
        QCOMPARE(messages.shown.size(), std::size_t{1});
        QVERIFY2(messages.shown[0].prompt.contains(QString::fromUtf8(c.named)),
                 qPrintable(messages.shown[0].prompt));
        QVERIFY(!tab.HasResult());
        QVERIFY(!tab.LastRun());
        QString why;
        QVERIFY(tab.CsvBytes(why).isEmpty());
        QVERIFY(!tab.cmdPlay->isEnabled());
        // "計算" after mending the box computes from the same run.
        tab.txtYield->setText(QStringLiteral("0.2"));
        tab.txtRatio->setText(QStringLiteral("0"));
        tab.cmdCompute->click();
        QCOMPARE(messages.shown.size(), std::size_t{1});
        QVERIFY(tab.HasResult());
    }
}

void InelasticTabTest::playbackKeepsTimeAndFollowsTheSlider() {
    ScriptedMessages messages;
    InelasticTab tab;
    tab.resize(1100, 700);
    tab.show();
    const auto run = MakeRun(ExcitationCase::Earthquake);
    QVERIFY(run);
    QCOMPARE(run->playbackIntervalMs, 5);
    tab.Compute(StudyInputsOf(run), messages);
    QVERIFY(tab.HasResult());
    const int last = tab.LastPoint();
    QCOMPARE(tab.ShownPoint(), last);

    // The slider sets the time: the point on the loop, the curves' ends, the building.
    const auto expected = ComputeInelasticResponse(run->inputs, run->motion, InelasticParameters{});
    QVERIFY(expected.ok());
    const auto yielding = expected->yielding();
    int yieldingPoint = -1, elasticPoint = -1;
    for (int i = 1; i <= last; ++i) {
        (yielding[static_cast<std::size_t>(i)] ? yieldingPoint : elasticPoint) = i;
    }
    QVERIFY(yieldingPoint > 0 && elasticPoint > 0);
    for (const int k : {yieldingPoint, elasticPoint, 0}) {
        tab.sldTime->setValue(k);
        QCOMPARE(tab.ShownPoint(), k);
        const auto i = static_cast<std::size_t>(k);
        const QPointF tip = SeriesNamed(tab.loop, QStringLiteral("履歴曲線"))->points().back();
        QCOMPARE(tip, QPointF(expected->response().displacement()[i], expected->force()[i]));
        const auto plastic = SeriesNamed(tab.displacement, QStringLiteral("弾塑性（バイリニア）"));
        QCOMPARE(plastic->points().back().x(), expected->response().time()[i]);
        QCOMPARE(tab.building->Yielding(), yielding[i] != 0);
        QCOMPARE(tab.lblTime->text().contains(u"降伏中"), yielding[i] != 0);
        QCOMPARE(tab.building->ColumnTopX() > 1745, expected->response().displacement()[i] > 0);
    }

    // Played from the end it starts again from 0, at most one point per 5 ms.
    tab.sldTime->setValue(last);
    QElapsedTimer clock;
    tab.cmdPlay->click();
    clock.start();
    QVERIFY(tab.Playing());
    QCOMPARE(tab.cmdPlay->text(), QStringLiteral("停止(&S)"));
    QTRY_VERIFY(tab.ShownPoint() > 5);
    QVERIFY(tab.ShownPoint() <= clock.elapsed() / 5 + 1);
    QVERIFY(tab.ShownPoint() < last);
    // Dragged while playing, it goes on from there.
    tab.sldTime->setValue(last - 40);
    QVERIFY(tab.Playing());
    QTRY_COMPARE_WITH_TIMEOUT(tab.ShownPoint(), last, 5000);
    QVERIFY(!tab.Playing());
    QCOMPARE(tab.cmdPlay->text(), QStringLiteral("再生(&S)"));

    // Hidden (another tab, the window closed), it stops; a new run mid-play replaces it.
    tab.cmdPlay->click();
    QVERIFY(tab.Playing());
    tab.hide();
    QVERIFY(!tab.Playing());
    tab.show();
    tab.cmdPlay->click();
    QTest::qWait(30);
    tab.Compute(StudyInputsOf(MakeRun(ExcitationCase::InitialVelocity)), messages);
    QVERIFY(!tab.Playing());
    QTest::qWait(30);
    QCOMPARE(tab.ShownPoint(), tab.LastPoint());
    QVERIFY(messages.shown.empty());
}

void InelasticTabTest::stoppedRunIsDrawnNotExported() {
    const struct {
        const char* timeStep;
        const char* analysisTime;
        const char* displacement;  // the initial displacement, cm
        const char* yield;
        const char* ratio;
        bool points;  // any point computed
    } cases[] = {
        // Past the stability limit the run grows until its energies overflow; a yield force
        // beyond anything reached keeps the column elastic all the way.
        {"0.225", "7000", "5", "1e300", "0", true},
        // Loaded along a hardening skeleton to 1e160 cm: its strain energy overflows at
        // point 0, and nothing is computed.
        {"0.01", "10", "1e160", "0.2", "0.5", false},
    };
    for (const auto& c : cases) {
        RunTexts texts;
        texts.timeStep = c.timeStep;
        texts.analysisTime = c.analysisTime;
        texts.firstDisplacement = c.displacement;
        const auto run = MakeRun(ExcitationCase::InitialDisplacement, texts);
        QVERIFY(run);
        ScriptedMessages messages;
        InelasticTab tab;
        tab.show();
        tab.txtYield->setText(QString::fromLatin1(c.yield));
        tab.txtRatio->setText(QString::fromLatin1(c.ratio));
        tab.Compute(StudyInputsOf(run), messages);
        QVERIFY(messages.shown.empty());
        QVERIFY(tab.HasResult());
        const InelasticParameters p{SpringModel::Bilinear, *StudyNumber(c.yield),
                                    *StudyNumber(c.ratio)};
        const auto expected = ComputeInelasticResponse(run->inputs, run->motion, p);
        QVERIFY(expected.ok() && !expected->complete());
        QCOMPARE(expected->completedPoints() > 0, c.points);
        const QString stop = QString::fromStdString(InelasticStopMessage(*expected));
        QVERIFY(!stop.isEmpty());
        QCOMPARE(tab.lblStop->text(), stop);
        QVERIFY(!tab.lblStop->isHidden());
        QString why;
        QVERIFY(tab.CsvBytes(why).isEmpty());
        QCOMPARE(why, stop);
        QVERIFY(!tab.LastRun());
        // Drawn up to where it stopped; nothing to play when nothing was computed.
        QCOMPARE(tab.LastPoint(), expected->completedPoints() - 1);
        QCOMPARE(SeriesNamed(tab.loop, QStringLiteral("履歴曲線"))->count() > 1, c.points);
        tab.cmdPlay->click();
        QCOMPARE(tab.Playing(), c.points);
        tab.Stop();
        tab.sldTime->setValue(1);
        QVERIFY(!tab.Caption().isEmpty());
    }
}

QTEST_MAIN(InelasticTabTest)
#include "InelasticTabTest.moc"
