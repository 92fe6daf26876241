// The study window's tab "所要耐力スペクトル": its CSV is the writer's bytes, refused boxes
// are named, a computation stopped in any way leaves nothing behind, and a run without a
// record is said inside the tab.
#include <QChart>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScatterSeries>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QXYSeries>
#include <cmath>
#include <sstream>
#include <string>

#include "study/StrengthSpectrum.h"
#include "study/StudyFiles.h"
#include "ui/ChooserWindows.h"
#include "ui/FormChecks.h"
#include "ui/MainControls.h"
#include "ui/MainWindow.h"
#include "ui/ScriptedMessages.h"
#include "ui/StrengthTab.h"
#include "ui/StudyChart.h"
#include "ui/StudyFixture.h"
#include "ui/StudyWindow.h"

using namespace kestrel;
using kestrel::test::ScriptedMessages;

namespace {

QStringList SeriesNames(QChart* chart) {
    QStringList names;
    for (QAbstractSeries* s : chart->series()) names << s->name();
    return names;
}

// The value of a horizontal line series named `name`, the nth of that name.
QList<double> LevelsOf(QChart* chart, const QString& name) {
    QList<double> levels;
    for (QAbstractSeries* s : chart->series()) {
        if (s->name() != name) continue;
        const QList<QPointF> points = static_cast<QXYSeries*>(s)->points();
        if (points.size() == 2 && points[0].y() == points[1].y()) levels << points[0].y();
    }
    return levels;
}

}  // namespace

class StrengthTabTest : public QObject {
    Q_OBJECT

private:
    struct Fixture : test::StudyFixture {
        // An earthquake run on a record of the given length (or a steady-wave run), and the
        // study window opened on it, on the strength tab.
        StrengthTab* OpenTab(int samples, bool earthquake = true) {
            ConfirmRecord(samples);
            if (QTest::currentTestFailed()) return nullptr;
            if (!earthquake) ui.optOrgCycle->setChecked(true);
            Run();
            StudyWindow* s = Open();
            messages.shown.clear();
            if (!s) return nullptr;
            s->tabs->setCurrentWidget(s->strength);
            return s->strength;
        }
        const RecordedMotion& Record() {
            return std::get<RecordedMotion>(window.Study()->Run()->motion);
        }
    };

private slots:
    void csvIsTheWritersBytes();
    void refusedBoxesAreNamed();
    void stoppedComputationLeavesNothing();
    void noRecordIsSaidInTheTab();
};

void StrengthTabTest::csvIsTheWritersBytes() {
    Fixture f;
    StrengthTab* tab = f.OpenTab(300);
    QVERIFY(tab);
    // The defaults: the building's damping (2 %) and the list, p and periods of the tab.
    const QLineEdit* boxes[] = {tab->txtDamping,   tab->txtDuctilities, tab->txtSecondStiffness,
                                tab->txtPeriodMin, tab->txtPeriodMax,   tab->txtPeriodCount};
    const char* defaults[] = {"2", "1, 2, 4", "0", "0.05", "5", "100"};
    for (std::size_t i = 0; i < std::size(boxes); ++i) {
        QCOMPARE(boxes[i]->text(), QString::fromUtf8(defaults[i]));
    }
    QVERIFY(!tab->HasResult());
    tab->txtPeriodCount->setText(QStringLiteral("8"));
    tab->txtDuctilities->setText(QStringLiteral("1, ２, 4"));
    tab->buildingYield = [] { return StrengthTab::BuildingYield{0.3, 2.5}; };
    tab->cmdCompute->click();
    QVERIFY(tab->IsComputing());
    QVERIFY(tab->progress->isVisibleTo(tab) && tab->cmdStop->isVisibleTo(tab));
    QTRY_VERIFY_WITH_TIMEOUT(!tab->IsComputing(), 60000);
    QVERIFY2(f.messages.shown.empty(), qPrintable(f.messages.Prompts().join('\n')));
    QVERIFY(tab->HasResult());
    QVERIFY(!tab->progress->isVisibleTo(tab));

    // The writer's bytes for the record the run holds and the boxes' settings.
    StrengthTexts texts;
    texts.damping = "2";
    texts.ductilities = "1, 2, 4";
    texts.periodCount = "8";
    const auto settings = ReadStrengthSettings(texts);
    QVERIFY(settings.ok());
    const auto spectrum =
        ComputeStrengthSpectrum(f.Record().samples(), f.Record().timeStep(), *settings);
    QVERIFY(spectrum.ok());
    std::ostringstream out;
    QVERIFY(!WriteStrengthCsv(out, *spectrum));
    QString why;
    QCOMPARE(tab->CsvBytes(why), QByteArray::fromStdString(out.str()));
    QVERIFY(out.str().starts_with("\"\x8e\xfc\x8a\xfa(s)\",\"Cy \x83\xca=1\",\"Cy \x83\xca=2\""));

    // The charts: Cy and V_E for each μ, R for those above 1 beside the three rules (a line
    // per μ), the building's period, and its yield point from the hook.
    const double tn = *StudyInputsOf(f.window.Study()->Run()).undampedPeriod;
    const QString period = QStringLiteral("T_n = %1 s").arg(ShortNumber(tn));
    const QString point = QStringLiteral("建物の降伏点");
    QVERIFY2(tab->lblNote->text().contains(QStringLiteral("Cy = 0.3, μ = 2.5")),
             qPrintable(tab->lblNote->text()));
    QCOMPARE(SeriesNames(tab->cyChart->chart()), (QStringList{"μ=1", "μ=2", "μ=4", point, period}));
    QCOMPARE(SeriesNames(tab->veChart->chart()), (QStringList{"μ=1", "μ=2", "μ=4", period}));
    const QString displacement = QStringLiteral("変位一定則 R = μ");
    const QString energy = QStringLiteral("エネルギー一定則 R = √(2μ−1)");
    QCOMPARE(LevelsOf(tab->rChart->chart(), QStringLiteral("R = 1 (短周期)")), QList<double>{1});
    QCOMPARE(LevelsOf(tab->rChart->chart(), displacement), (QList<double>{2, 4}));
    QCOMPARE(LevelsOf(tab->rChart->chart(), energy),
             (QList<double>{std::sqrt(3.0), std::sqrt(7.0)}));
    for (QAbstractSeries* series : tab->cyChart->chart()->series()) {
        if (auto* mark = qobject_cast<QScatterSeries*>(series)) {
            QCOMPARE(mark->points(), QList<QPointF>{QPointF(tn, 0.3)});
        }
    }
    QCOMPARE(static_cast<QXYSeries*>(tab->rChart->chart()->series()[0])->count(), 8);

    // The window's export writes the same bytes; "再計算" on the same run keeps them; an
    // edited box clears them, and the export then says there is nothing to save.
    const QString csv = f.dir.filePath(QStringLiteral("strength.csv"));
    StudyWindow* s = f.window.Study();
    s->askSaveFileName = [&](QWidget*, const QString&, const QString&, const QString&,
                             const QString&) { return csv; };
    s->cmdCsv->click();
    QFile written(csv);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray::fromStdString(out.str()));
    s->cmdRecompute->click();
    QVERIFY(tab->HasResult());
    tab->txtSecondStiffness->setText(QStringLiteral("0.1"));
    QVERIFY(!tab->HasResult());
    QVERIFY(tab->cyChart->chart()->series().isEmpty());
    s->cmdCsv->click();
    QCOMPARE(f.messages.Prompts(), QStringList{QStringLiteral("保存する計算結果がありません。")});
}

void StrengthTabTest::refusedBoxesAreNamed() {
    const struct {
        QLineEdit* StrengthTab::*box;
        const char* text;
        const char* named;  // what the message names
    } cases[] = {
        {&StrengthTab::txtDamping, "100", "減衰定数"},
        {&StrengthTab::txtDuctilities, "", "塑性率"},
        {&StrengthTab::txtDuctilities, "1, 0.5", "0.5"},
        {&StrengthTab::txtDuctilities, "2, abc", "abc"},
        {&StrengthTab::txtSecondStiffness, "1", "第2剛性比"},
        {&StrengthTab::txtPeriodMin, "0", "最小"},
        {&StrengthTab::txtPeriodCount, "1", "点数"},
    };
    Fixture f;
    StrengthTab* tab = f.OpenTab(300);
    QVERIFY(tab);
    for (const auto& c : cases) {
        QLineEdit* box = tab->*c.box;
        const QString good = box->text();
        box->setText(QString::fromUtf8(c.text));
        f.messages.shown.clear();
        tab->cmdCompute->click();
        QCOMPARE(f.messages.shown.size(), std::size_t{1});
        QVERIFY2(f.messages.shown[0].prompt.contains(QString::fromUtf8(c.named)),
                 qPrintable(f.messages.shown[0].prompt));
        QCOMPARE(f.messages.shown[0].title, QStringLiteral("結果の検討"));
        QVERIFY(!tab->IsComputing());
        QVERIFY(!tab->HasResult());
        box->setText(good);
    }
}

void StrengthTabTest::stoppedComputationLeavesNothing() {
    // Each way of stopping a computation part-way: it ends at once, keeps no result, tells
    // nothing, and the threads touch nothing freed (the sanitized build checks).
    enum Stop { kStopButton, kBoxEdited, kRecompute, kRecomputeNewRun, kWindowClosed };
    for (const Stop stop : {kStopButton, kBoxEdited, kRecompute, kRecomputeNewRun, kWindowClosed}) {
        Fixture f;
        StrengthTab* tab = f.OpenTab(3000);
        QVERIFY(tab);
        QPointer<StudyWindow> s = f.window.Study();
        tab->cmdCompute->click();
        QTRY_VERIFY(tab->progress->value() > 0);
        QVERIFY(tab->IsComputing());
        switch (stop) {
            case kStopButton:
                tab->cmdStop->click();
                break;
            case kBoxEdited:
                tab->txtDuctilities->setText(QStringLiteral("1, 2"));
                break;
            case kRecompute:
                s->cmdRecompute->click();
                break;
            case kRecomputeNewRun:
                f.ui.cmdStart->click();
                f.messages.shown.clear();  // the run's own
                s->cmdRecompute->click();
                break;
            case kWindowClosed:
                s->close();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                QVERIFY(s.isNull());
                continue;
        }
        QVERIFY(!tab->IsComputing());
        QVERIFY(!tab->HasResult());
        QVERIFY(!tab->progress->isVisibleTo(tab));
        QVERIFY(tab->cmdCompute->isEnabled());
        QTest::qWait(100);  // nothing arrives later
        QVERIFY(!tab->HasResult());
        QVERIFY2(f.messages.shown.empty(), qPrintable(f.messages.Prompts().join('\n')));
    }
}

void StrengthTabTest::noRecordIsSaidInTheTab() {
    Fixture f;
    StrengthTab* tab = f.OpenTab(300, false);
    QVERIFY(tab);
    QVERIFY(tab->lblNoRecord->isVisibleTo(tab));
    QVERIFY(tab->lblNoRecord->text().contains(QStringLiteral("地震波の記録")));
    QVERIFY(!tab->cmdCompute->isEnabled());
    tab->cmdCompute->click();
    QVERIFY(!tab->IsComputing() && !tab->HasResult());
    f.window.Study()->cmdCsv->click();
    QCOMPARE(f.messages.Prompts(), QStringList{QStringLiteral("保存する計算結果がありません。")});
}

QTEST_MAIN(StrengthTabTest)
#include "StrengthTabTest.moc"
