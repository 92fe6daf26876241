// The study window: its button in the main window, the run it studies, its tabs and
// exports, the refused boxes, and the red line past the stability limit.
#include <sys/stat.h>

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QXYSeries>
#include <cmath>
#include <sstream>
#include <string>

#include "files/RecordFixtures.h"
#include "runtime/TextEncoding.h"
#include "study/IndicesFiles.h"
#include "study/StudyInputs.h"
#include "ui/ChooserWindows.h"
#include "ui/FormChecks.h"
#include "ui/IndicesTab.h"
#include "ui/MainControls.h"
#include "ui/MainWindow.h"
#include "ui/ScriptedMessages.h"
#include "ui/StrengthTab.h"
#include "ui/StudyChart.h"
#include "ui/StudyFixture.h"
#include "ui/StudyTabs.h"
#include "ui/StudyWindow.h"

using namespace kestrel;
using kestrel::test::ScriptedMessages;

namespace {

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// The first line of a CP932 file, as text.
QString FirstLine(const QByteArray& bytes) {
    const QByteArray line = bytes.left(bytes.indexOf("\r\n"));
    return QString::fromStdString(
        Cp932ToUtf8(std::string_view(line.constData(), line.size())).value_or(""));
}

// The texts a chart shows (axis labels and titles, legend entries), and of those the
// numbers left of its plot (its vertical axis's labels).
QStringList ChartTexts(QChartView* view, bool leftLabelsOnly = false) {
    QStringList texts;
    for (QGraphicsItem* item : view->scene()->items(Qt::AscendingOrder)) {
        auto* t = dynamic_cast<QGraphicsTextItem*>(item);
        if (!t || !t->isVisible() || t->toPlainText().isEmpty()) continue;
        const bool left = t->sceneBoundingRect().right() <= view->chart()->plotArea().left() + 1;
        bool number = false;
        t->toPlainText().toDouble(&number);
        if (!leftLabelsOnly || (left && (number || t->toPlainText().endsWith(u"...")))) {
            texts << t->toPlainText();
        }
    }
    return texts;
}

void Settle() {
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
}

}  // namespace

class StudyWindowTest : public QObject {
    Q_OBJECT

private:
    using Fixture = test::StudyFixture;

private slots:
    void buttonInTheFreeSpace();
    void noRunNoWindow();
    void studiesTheRunItWasGiven();
    void tabsAndExports();
    void refusedBoxesAreNamed();
    void stabilityLine();
    void buildingAtItsUndampedPeriod();
    void narrowSmoothingIsSaid();
    void indicesOfEachRecord();
    void extremeRecords();
    void exportAsksBeforeReplacingTheFinalName();
    void boxesLegendsAndKeys();
    void axisTicks();
    void smallestSizeShowsEverything();
};

void StudyWindowTest::buttonInTheFreeSpace() {
    Fixture f;
    MainWindow& w = f.window;
    QPushButton* study = f.ui.cmdStudy;
    QCOMPARE(study->text(), QStringLiteral("結果の検討(&R)"));
    QCOMPARE(study->parentWidget(), &w);
    QCOMPARE(study->geometry(), QRect(1920 / 15, 2820 / 15, 1455 / 15, 375 / 15));
    QVERIFY(study->sizeHint().width() <= study->width());
    // It touches no other control of the window.
    for (QWidget* other : w.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (other == study || !other->isVisibleTo(&w)) continue;
        QVERIFY2(!other->geometry().intersects(study->geometry()), qPrintable(other->objectName()));
    }
    const char* const order[] = {"txtOrgCycleDis", "txtDisMax", "cmdStudy", "txtK"};
    test::CheckTabOrder(w, order);
}

void StudyWindowTest::noRunNoWindow() {
    // Before any run, after a run that stopped before it stepped, and after an earthquake
    // run without a record, there is no run to study.
    const struct {
        const char* stiffness;
        bool earthquake;
        bool run;
    } cases[] = {{"300", false, false}, {"0", false, true}, {"300", true, true}};
    for (const auto& c : cases) {
        Fixture f;
        f.ui.txtK->setText(QString::fromLatin1(c.stiffness));
        f.ui.optSelect->setChecked(c.earthquake);
        if (c.run) f.Run();
        QVERIFY(!f.window.LastRun());
        QVERIFY(!f.Open());
        QCOMPARE(f.messages.shown.size(), std::size_t{1});
        QCOMPARE(f.messages.shown[0].prompt,
                 QStringLiteral("検討できる解析結果がありません。\n"
                                "「解析開始」で解析してから開いて下さい。"));
        QCOMPARE(f.messages.shown[0].title, QStringLiteral("結果の検討"));
        QVERIFY(!test::TopLevel<StudyWindow>());
    }
}

void StudyWindowTest::studiesTheRunItWasGiven() {
    // Each case's run opens the window. It shows that run whatever the boxes say later; the
    // record tabs study an earthquake run's whole record and say inside the tab that the
    // other runs have none; "再計算" takes the main window's newest run, and keeps the window
    // as it is when the main window has none.
    const struct {
        const char* option;
        const char* analysisTime;
        const char* shown;  // the run as the window names it
    } cases[] = {
        {"optDis", "10", "初期変位 5 cm ／ Δt = 0.01 s"},
        {"optVel", "10", "初期速度 30 cm/s ／ Δt = 0.01 s"},
        {"optOrgCycle", "10", "定常波(加速度) 周期 1 s, 最大値 300 cm/s2 ／ Δt = 0.01 s"},
        {"optOrgCycleDis", "10", "定常波(変位) 周期 1 s, 最大値 1 cm ／ Δt = 0.01 s"},
        {"optSelect", "15", "地震波 wave.txt, Δt = 0.01 s"},
        {"optSelect", "2", "地震波 wave.txt, Δt = 0.01 s"},  // the run covers 2 s of 15
    };
    const QString building = QStringLiteral(" ／ 建物 K = 300 kN/cm, M = 100000 kg, h = 2 %");
    QByteArray wholeRecordSpectrum;  // the earthquake runs' Fourier CSV
    for (const auto& c : cases) {
        Fixture f;
        f.ConfirmRecord();
        test::Named<QRadioButton>(f.window, c.option)->setChecked(true);
        f.ui.txtTl->setText(QString::fromLatin1(c.analysisTime));
        f.Run();
        StudyWindow* s = f.Open();
        QVERIFY(s);
        QVERIFY(f.messages.shown.empty());
        const bool earthquake = std::string(c.option) == "optSelect";
        QCOMPARE(s->lblRun->text(),
                 QStringLiteral("検討する解析：") + QString::fromUtf8(c.shown) + building);
        QVERIFY(!s->lblNewerRun->isVisibleTo(s));
        for (StudyTab* tab :
             std::initializer_list<StudyTab*>{s->spectrum, s->fourier, s->indices}) {
            QCOMPARE(tab->HasResult(), earthquake);
            auto* notice = tab->findChild<QLabel*>(QStringLiteral("lblNoRecord"));
            QCOMPARE(notice->isVisibleTo(tab), !earthquake);
            if (!earthquake) QVERIFY(notice->text().contains(QStringLiteral("地震波の記録")));
        }
        QVERIFY(s->accuracy->HasResult());
        // The accuracy tab compares the run's own rows: 0 .. pointCount - 2.
        s->tabs->setCurrentWidget(s->accuracy);
        const QString csv = f.dir.filePath(QStringLiteral("accuracy.csv"));
        s->askSaveFileName = [&](QWidget*, const QString&, const QString&, const QString&,
                                 const QString&) { return csv; };
        s->cmdCsv->click();
        const int rows = int(QString::fromUtf8(c.analysisTime).toDouble() / 0.01 + 0.5) + 1;
        QCOMPARE(FileBytes(csv).count("\r\n"), rows + 1);
        if (earthquake) {
            // The run's peaks are compared with the whole record's spectrum: a run that
            // covered a part of it says so.
            QCOMPARE(s->spectrum->lblCompare->text().contains(
                         QStringLiteral("（記録 14.99 s のうち解析した 2 s まで）")),
                     QString::fromLatin1(c.analysisTime) == u"2");
            s->tabs->setCurrentWidget(s->fourier);
            s->cmdCsv->click();
            if (wholeRecordSpectrum.isEmpty()) wholeRecordSpectrum = FileBytes(csv);
            QCOMPARE(FileBytes(csv), wholeRecordSpectrum);
        }

        // Boxes edited after the run do not count; a later run does, on "再計算".
        f.ui.txtK->setText(QStringLiteral("500"));
        s->cmdRecompute->click();
        QVERIFY(s->lblRun->text().endsWith(building));
        f.ui.cmdStart->click();
        QVERIFY(s->lblNewerRun->isVisibleTo(s));
        f.messages.shown.clear();
        s->cmdRecompute->click();
        QVERIFY(f.messages.shown.empty());
        QVERIFY(s->lblRun->text().contains(QStringLiteral("K = 500 kN/cm")));
        QVERIFY(!s->lblNewerRun->isVisibleTo(s));

        // A run that stops before it steps leaves nothing newer to study: the window keeps
        // the run it shows, says so, and "再計算" tells why nothing changes.
        f.ui.txtK->setText(QStringLiteral("0"));
        f.ui.cmdStart->click();
        QVERIFY(!f.window.LastRun());
        QVERIFY(s->lblNewerRun->isVisibleTo(s));
        f.messages.shown.clear();
        s->cmdRecompute->click();
        QCOMPARE(f.messages.shown.size(), std::size_t{1});
        QCOMPARE(f.messages.shown[0].title, QStringLiteral("結果の検討"));
        QVERIFY(s->lblRun->text().contains(QStringLiteral("K = 500 kN/cm")));
        QVERIFY(s->accuracy->HasResult());
        QCOMPARE(s->Run()->inputs.building.stiffness, 500.0);
    }
}

void StudyWindowTest::tabsAndExports() {
    Fixture f;
    StudyWindow* s = f.OpenOnRecord();
    QVERIFY(s);
    QVERIFY(f.messages.shown.empty());
    QVERIFY(s->isVisible());
    QVERIFY(f.window.isVisible());
    QCOMPARE(s->windowTitle(), QStringLiteral("結果の検討"));
    QVERIFY(s->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(s->font().families(), f.window.font().families());
    QCOMPARE(s->spectrum->txtDampings->text(), QStringLiteral("2, 5"));

    const struct {
        const char* tab;
        const char* header;  // the first items of the CSV header
        const char* inputs;  // the caption's part of the record or excitation and the tab
        int lines = 11;      // the least number of lines of the CSV file
    } tabs[] = {
        {"応答スペクトル", "\"周期(s)\",\"Sd h=2%(cm)\",\"Sv h=2%(cm/s)\"",
         "地震波 wave.txt, Δt = 0.01 s ／ 建物 K = 300 kN/cm, M = 100000 kg, h = 2 % ／ "
         "周期 0.02～10 s (200 点), 減衰定数 h = 2, 5 %"},
        {"フーリエスペクトル", "\"振動数(Hz)\",\"フーリエ振幅(cm/s)\"",
         "地震波 wave.txt, Δt = 0.01 s ／ 建物 K = 300 kN/cm, M = 100000 kg, h = 2 % ／ "
         "平滑化 Parzen ウィンドウ 0.2 Hz"},
        {"解法の精度",
         "\"時刻(s)\",\"入力加速度(cm/"
         "s2)\",\"線形加速度法(cm)\",\"厳密解(cm)\",\"平均加速度法(cm)\"",
         "地震波 wave.txt, Δt = 0.01 s ／ 建物 K = 300 kN/cm, M = 100000 kg, h = 2 % ／ 表示 0～"},
        {"地震動の指標", "\"ファイル\",\"成分\",\"計測震度\",\"震度階級\"",
         "地震波 wave.txt, Δt = 0.01 s ／ 速度・変位の低域遮断 0.1 Hz", 3},
        {"弾塑性応答", "\"時刻(s)\",\"入力加速度(cm/s2)\",\"応答加速度(cm/s2)\"",
         "地震波 wave.txt, Δt = 0.01 s ／ 建物 K = 300 kN/cm, M = 100000 kg, h = 2 % ／ "
         "復元力特性 バイリニア, Cy = 0.2, p = 0"},
        {"所要耐力スペクトル", "\"周期(s)\",\"Cy μ=1\",\"Cy μ=2\",\"Cy μ=4\",\"VE μ=1(cm/s)\"",
         "地震波 wave.txt, Δt = 0.01 s ／ 建物 K = 300 kN/cm, M = 100000 kg, h = 2 % ／ "
         "減衰定数 h = 2 %, 塑性率 μ = 1, 2, 4, 第2剛性比 p = 0"},
    };
    // The strength spectra are computed on their own button.
    s->strength->txtPeriodCount->setText(QStringLiteral("10"));
    s->strength->cmdCompute->click();
    QTRY_VERIFY_WITH_TIMEOUT(!s->strength->IsComputing(), 60000);
    QCOMPARE(s->tabs->count(), int(std::size(tabs)));
    for (int i = 0; i < s->tabs->count(); ++i) {
        QCOMPARE(s->tabs->tabText(i), QString::fromUtf8(tabs[i].tab));
        s->tabs->setCurrentIndex(i);
        QVERIFY(static_cast<StudyTab*>(s->tabs->widget(i))->HasResult());
        const QString inputs = QString::fromUtf8(tabs[i].inputs);
        for (QPushButton* command : {s->cmdCsv, s->cmdPng, s->cmdSvg}) {
            // The name is typed without its extension: the dialog adds the default suffix,
            // which is the format's, and the export writes the name it returns.
            const QString typed =
                f.dir.filePath(QStringLiteral("out%1-%2").arg(i).arg(command->objectName()));
            QString suggested, suffix;
            s->askSaveFileName = [&](QWidget*, const QString&, const QString& offered,
                                     const QString&, const QString& defaultSuffix) {
                suggested = offered;
                suffix = defaultSuffix;
                return typed + QLatin1Char('.') + defaultSuffix;
            };
            command->click();
            QVERIFY(f.messages.shown.empty());
            const QString extension = QFileInfo(suggested).suffix();
            QCOMPARE(suffix, extension);
            const QByteArray bytes = FileBytes(typed + QLatin1Char('.') + extension);
            if (extension == QLatin1String("csv")) {
                QVERIFY2(FirstLine(bytes).startsWith(QString::fromUtf8(tabs[i].header)),
                         qPrintable(FirstLine(bytes)));
                QVERIFY(bytes.count("\r\n") >= tabs[i].lines);
            } else if (extension == QLatin1String("png")) {
                // The charts with the caption's strip under them.
                const QImage image = QImage::fromData(bytes, "PNG");
                const QWidget* charts = static_cast<StudyTab*>(s->tabs->widget(i))->Charts();
                QCOMPARE(image.width(), charts->width());
                QVERIFY(image.height() > charts->height() + 10);
            } else {
                QCOMPARE(extension, QStringLiteral("svg"));
                // The caption is drawn as text, in runs of one font each.
                QString drawn;
                static const QRegularExpression run(QStringLiteral(">([^<]*)</text>"));
                for (const auto& m : run.globalMatch(QString::fromUtf8(bytes))) {
                    drawn += m.captured(1);
                }
                QVERIFY2(drawn.contains(inputs), qPrintable(inputs));
            }
        }
    }

    // An export onto a named pipe is refused with the reason; the pipe stays as it is.
    const QString pipe = f.dir.filePath(QStringLiteral("pipe.csv"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    s->askSaveFileName = [&](QWidget*, const QString&, const QString&, const QString&,
                             const QString&) { return pipe; };
    s->cmdCsv->click();
    QCOMPARE(f.messages.shown.size(), std::size_t{1});
    QCOMPARE(
        f.messages.shown[0].prompt,
        QStringLiteral("ファイル「%1」を保存できませんでした。\n理由：通常のファイルではありませ"
                       "ん。")
            .arg(pipe));
    struct stat info {};
    QVERIFY(::lstat(QFile::encodeName(pipe).constData(), &info) == 0 && S_ISFIFO(info.st_mode));
    f.messages.shown.clear();

    // "再計算" takes the boxes as they are now; closing discards the window.
    s->spectrum->txtDampings->setText(QStringLiteral("0, 10, 20"));
    s->cmdRecompute->click();
    QVERIFY(f.messages.shown.empty());
    QVERIFY(s->spectrum->HasResult());
    QVERIFY(s->spectrum->lblCompare->text().contains(QStringLiteral("Sd")));
    QPointer<StudyWindow> closed = s;
    s->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(closed.isNull());
    QVERIFY(f.window.isVisible());
}

void StudyWindowTest::refusedBoxesAreNamed() {
    const struct {
        QLineEdit* SpectrumTab::*spectrumBox;  // null: the Fourier tab's smoothing box
        const char* text;
        const char* named;  // what the message names
    } cases[] = {
        {&SpectrumTab::txtDampings, "", "減衰定数"},
        {&SpectrumTab::txtDampings, "2, 100", "100"},
        {&SpectrumTab::txtDampings, "2, -1", "-1"},
        {&SpectrumTab::txtDampings, "2, abc", "abc"},
        {&SpectrumTab::txtPeriodMin, "0", "最小"},
        {&SpectrumTab::txtPeriodMin, "20", "最小"},
        {&SpectrumTab::txtPeriodCount, "1", "点数"},
        {&SpectrumTab::txtPeriodCount, "2001", "点数"},
        {nullptr, "-1", "平滑化"},
    };
    Fixture f;
    StudyWindow* s = f.OpenOnRecord(300);
    QVERIFY(s);
    for (const auto& c : cases) {
        QLineEdit* box = c.spectrumBox ? s->spectrum->*c.spectrumBox : s->fourier->txtSmoothing;
        const QString good = box->text();
        box->setText(QString::fromUtf8(c.text));
        f.messages.shown.clear();
        s->cmdRecompute->click();
        QCOMPARE(f.messages.shown.size(), std::size_t{1});
        QVERIFY2(f.messages.shown[0].prompt.contains(QString::fromUtf8(c.named)),
                 qPrintable(f.messages.shown[0].prompt));
        StudyTab* tab = c.spectrumBox ? static_cast<StudyTab*>(s->spectrum) : s->fourier;
        QVERIFY(!tab->HasResult());
        QVERIFY(s->accuracy->HasResult());  // the other tabs are computed all the same
        box->setText(good);
    }
}

void StudyWindowTest::stabilityLine() {
    const struct {
        const char* damping;
        const char* timeStep;
        const char* analysisTime;
        const char* line;        // empty: no line
        const char* diverged;    // the table's time of divergence; empty: a time
        const char* elongation;  // the table's period elongation; empty: a number
        const char* now;         // the elongation chart's current Δt/T
    } cases[] = {
        {"2", "0.01", "10", "", "発散なし", "", "現在の Δt/T = 0.0276"},
        {"2", "0.109", "10", "", "発散なし", "", "現在の Δt/T = 0.3"},
        {"2", "0.225", "10", "分割時間が安定限界を超えています (Δt/T = 0.620 > 0.551)", "増大中",
         "不安定", "現在の Δt/T = 0.62"},
        {"2", "0.225", "7000", "分割時間が安定限界を超えています (Δt/T = 0.620 > 0.551)", "",
         "不安定", "現在の Δt/T = 0.62"},
        // With 20 % damping the limit is 0.540; below it the step may no longer swing.
        {"20", "0.204", "10", "分割時間が安定限界を超えています (Δt/T = 0.551 > 0.540)", "増大中",
         "不安定", "現在の Δt/T = 0.551"},
        {"20", "0.198", "10",
         "2Δt周期の数値振動（減衰）：応答が 1 ステップごとに符号を変えながら減衰します (Δt/T = "
         "0.535、安定限界 0.540)",
         "発散なし", "—", "現在の Δt/T = 0.535"},
        // Past the chart's Δt/T axis: marked at its right edge, with the value.
        {"2", "0.5", "7000", "分割時間が安定限界を超えています (Δt/T = 1.378 > 0.551)", "",
         "不安定", "現在の Δt/T = 1.38 →"},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.ui.optDis->setChecked(true);
        f.ui.txtH->setText(QString::fromLatin1(c.damping));
        f.ui.txtTs->setText(QString::fromLatin1(c.timeStep));
        f.ui.txtTl->setText(QString::fromLatin1(c.analysisTime));
        f.Run();  // an overflowing run is studied up to where it stopped
        StudyWindow* s = f.Open();
        QVERIFY(s);
        QVERIFY(f.messages.shown.empty());  // never a modal message for this
        AccuracyTab* tab = s->accuracy;
        QVERIFY(tab->HasResult());
        QCOMPARE(tab->lblStability->isVisibleTo(tab), *c.line != '\0');
        if (*c.line) QCOMPARE(tab->lblStability->text(), QString::fromUtf8(c.line));
        QCOMPARE(
            tab->table->item(2, 0)->text(),
            QString::number(
                f.ui.txtTs->text().toDouble() /
                    (2 * M_PI * std::sqrt(1 / 300.0) /
                     std::sqrt(1 - std::pow(QString::fromLatin1(c.damping).toDouble() / 100, 2))),
                'f', 3));
        for (const auto& [row, expected] : {std::pair{6, c.diverged}, std::pair{4, c.elongation}}) {
            const QString shown = tab->table->item(row, 0)->text();
            if (*expected) {
                QCOMPARE(shown, QString::fromUtf8(expected));
            } else {
                bool isNumber = false;
                shown.toDouble(&isNumber);
                QVERIFY2(isNumber, qPrintable(shown));
            }
        }
        // The current Δt/T is drawn inside the axis, named with its value, whole.
        s->tabs->setCurrentWidget(tab);
        Settle();
        QVERIFY(!ChartTexts(tab->elongation).join(u'|').contains(u"..."));
        QChart* chart = tab->elongation->chart();
        const auto [low, high] = AxisRange(chart->axes(Qt::Horizontal)[0]);
        bool found = false;
        for (QAbstractSeries* series : chart->series()) {
            if (series->name() != QString::fromUtf8(c.now)) continue;
            found = true;
            const double x = static_cast<QXYSeries*>(series)->at(0).x();
            QVERIFY(x > low && x <= high);
        }
        QVERIFY2(found, c.now);
    }
}

void StudyWindowTest::buildingAtItsUndampedPeriod() {
    // The default building, K 300 kN/cm and M 100000 kg: T_n = 2π√(M/K), T_d = T_n/√(1−h²).
    // Its mark, its readout and |H(f)| are at T_n; the spectra keep the periods asked for.
    const double tn = 6.2831853071794 * std::sqrt(1 / 300.0);
    for (const double h : {0.02, 0.2}) {
        Fixture f;
        f.ConfirmRecord();
        f.ui.txtH->setText(QString::number(h * 100));
        f.Run();
        StudyWindow* s = f.Open();
        QVERIFY(s);
        s->spectrum->txtPeriodCount->setText(QStringLiteral("2"));
        s->cmdRecompute->click();
        QVERIFY(f.messages.shown.empty());
        const double td = tn / std::sqrt(1 - h * h);

        bool marked = false;
        for (QAbstractSeries* series : s->spectrum->chart->chart()->series()) {
            if (!series->name().startsWith(QStringLiteral("建物の非減衰固有周期 T_n"))) continue;
            for (const QPointF& p : static_cast<QXYSeries*>(series)->points()) {
                QVERIFY(std::fabs(p.x() - tn) < 1e-12 * tn);
            }
            marked = true;
        }
        QVERIFY(marked);
        const QString compare = s->spectrum->lblCompare->text();
        QVERIFY2(compare.contains(QStringLiteral("非減衰固有周期 T_n = %1 s").arg(ShortNumber(tn))),
                 qPrintable(compare));
        QVERIFY2(compare.contains(QStringLiteral("減衰固有周期 T_d = %1 s").arg(ShortNumber(td))),
                 qPrintable(compare));
        // At T_n the spectrum and the run differ by the method's error only (under 1 %).
        const QRegularExpression relative(QStringLiteral(", ([-+]?[0-9.]+) %\\)"));
        int differences = 0;
        for (auto it = relative.globalMatch(compare); it.hasNext(); ++differences) {
            const double percent = it.next().captured(1).toDouble();
            QVERIFY2(std::fabs(percent) < 1, qPrintable(compare));
        }
        QCOMPARE(differences, 3);
        QVERIFY(s->fourier->lblNote->text().contains(
            QStringLiteral("T_d = %1 s").arg(ShortNumber(td))));

        // The exports: the two periods asked for, and |H(f)| with w_n.
        const QString name = f.dir.filePath(QStringLiteral("export.csv"));
        s->askSaveFileName = [&](QWidget*, const QString&, const QString&, const QString&,
                                 const QString&) { return name; };
        s->tabs->setCurrentWidget(s->spectrum);
        s->cmdCsv->click();
        QStringList rows = QString::fromLatin1(FileBytes(name)).split(QStringLiteral("\r\n"));
        QCOMPARE(rows.size(), 4);  // the header, two periods, the empty end
        QVERIFY(rows[1].startsWith(QStringLiteral("0.02,")));
        QVERIFY(rows[2].startsWith(QStringLiteral("10,")));
        s->tabs->setCurrentWidget(s->fourier);
        s->cmdCsv->click();
        rows = QString::fromLatin1(FileBytes(name)).split(QStringLiteral("\r\n"));
        QVERIFY(rows.size() > 100);
        const double wn = 2 * M_PI / tn;
        for (int r = 1; r < rows.size(); r += 37) {
            const QStringList items = rows[r].split(QLatin1Char(','));
            if (items.size() < 3) continue;
            const double w = 2 * M_PI * items[0].toDouble();
            const double c = 2 * h * wn * w;
            const double expected =
                std::sqrt((std::pow(wn, 4) + c * c) / (std::pow(wn * wn - w * w, 2) + c * c));
            QVERIFY2(std::fabs(items.back().toDouble() - expected) < 1e-9 * expected,
                     qPrintable(rows[r]));
        }
    }
}

void StudyWindowTest::narrowSmoothingIsSaid() {
    // 300 samples 0.01 s apart: frequencies 1/3 Hz apart; 0.31 Hz is the least width that
    // smooths. Too narrow a width is said beside the box and not drawn.
    const struct {
        const char* width;
        bool smooths;
    } cases[] = {{"0.2", false}, {"0.5", true}};
    for (const auto& c : cases) {
        Fixture f;
        StudyWindow* s = f.OpenOnRecord(300);
        QVERIFY(s);
        FourierTab* tab = s->fourier;
        tab->txtSmoothing->setText(QString::fromLatin1(c.width));
        s->cmdRecompute->click();
        QVERIFY(f.messages.shown.empty());
        QCOMPARE(tab->lblSmoothing->isVisibleTo(tab), !c.smooths);
        if (!c.smooths) {
            QVERIFY(tab->lblSmoothing->text().contains(QStringLiteral("0.31 Hz 以上")));
        }
        bool drawn = false;
        for (QAbstractSeries* series : tab->chart->chart()->series()) {
            drawn = drawn || series->name().startsWith(QStringLiteral("平滑化"));
        }
        QCOMPARE(drawn, c.smooths);
    }
}

void StudyWindowTest::indicesOfEachRecord() {
    // K-NET files of one recording (counts whose mean is removed), and plain files, used as
    // written.
    auto knet = [](const char* direction, int shift) {
        test::KnetFixture f;
        f.direction = direction;
        for (long long k = 0; k < 400; ++k) f.counts.push_back((k * shift) % 29 * 30000 - 400000);
        return test::KnetText(f);
    };
    auto plain = [](int samples, double scale) {
        std::string text = "0.01\r\n";
        for (int k = 0; k < samples; ++k) {
            text += std::to_string(scale * (k % 37 - 18) * std::sin(0.3 * k)) + "\r\n";
        }
        return text;
    };
    // The largest magnitude of a plain file's accelerations, read independently.
    auto peak = [](const std::string& text) {
        double largest = 0;
        std::istringstream in(text);
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line)) largest = std::max(largest, std::fabs(std::stod(line)));
        return ShortNumber(largest);
    };
    const std::string ns = knet("N-S", 3), ew = knet("E-W", 5), ud = knet("U-D", 7);
    const std::string a = plain(600, 10), b = plain(600, 7), c = plain(600, 4);
    const std::string shorter = plain(500, 4);
    const QString whole = QString::fromUtf8(kCompositeRowName.data());
    const struct {
        const char* what;
        std::vector<std::pair<QString, std::string>> files;  // the first is confirmed
        std::vector<const char*> byHand;  // the NS, EW, UD boxes; none: found from the record
        const char* lowCut;
        QStringList rows;     // the table's row headings
        bool intensity;       // whether 合成 shows a class
        QStringList notice;   // what the notice says; empty: nothing
        QString firstPeak;    // the first row's PGA; empty: not checked
        const char* refused;  // what the refusal names; null: computed
        // What the confirmed file holds once the run is over; null: as it was.
        const std::string* afterRun = nullptr;
    } cases[] = {
        {"K-NET, all three",
         {{"R.NS", ns}, {"R.EW", ew}, {"R.UD", ud}},
         {},
         "0.1",
         {"NS", "EW", "UD", whole},
         true,
         {},
         {},
         nullptr},
        {"K-NET, no UD",
         {{"R.EW", ew}, {"R.NS", ns}},
         {},
         "0.1",
         {"NS", "EW", whole},
         false,
         {"R.UD」が見つかりません", "「成分のファイルを指定」で選べます"},
         {},
         nullptr},
        {"plain file",
         {{"a.txt", a}},
         {},
         "0.2",
         {"a.txt", whole},
         false,
         {"a.txt」は 1 成分だけの記録です", "「成分のファイルを指定」で選べます"},
         peak(a),
         nullptr},
        // The run's own record is studied, whatever its file holds now.
        {"the file rewritten after the run",
         {{"a.txt", a}},
         {},
         "0.2",
         {"a.txt", whole},
         false,
         {"a.txt」は解析の後で読めなくなったか変わったため"},
         peak(a),
         nullptr,
         &b},
        {"plain files by hand",
         {{"a.txt", a}, {"b.txt", b}, {"c.txt", c}},
         {"a.txt", "b.txt", "c.txt"},
         "0.1",
         {"NS", "EW", "UD", whole},
         true,
         {},
         peak(a),
         nullptr},
        {"the confirmed record is the one the others must fit",
         {{"a.txt", a}, {"s.txt", shorter}, {"c.txt", c}},
         {"s.txt", "a.txt", "c.txt"},
         "0.1",
         {"EW", "UD", whole},
         false,
         {"s.txt」はデータ数が違います（500 点、選んだファイルは 600 点）"},
         peak(a),
         nullptr},
        {"no file by hand",
         {{"a.txt", a}},
         {"", "", ""},
         "0.1",
         {},
         false,
         {},
         {},
         "成分のファイルが選ばれていません。"},
        {"low cut 0",
         {{"a.txt", a}},
         {},
         "0",
         {},
         false,
         {},
         {},
         "低域遮断周波数「0」を読めません"},
        {"low cut past Nyquist",
         {{"a.txt", a}},
         {},
         "５０",
         {},
         false,
         {},
         {},
         "ナイキスト周波数 50 Hz より小さく"},
    };
    for (const auto& k : cases) {
        Fixture f;
        for (std::size_t i = 1; i < k.files.size(); ++i) {
            QFile file(f.dir.filePath(k.files[i].first));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray::fromStdString(k.files[i].second));
        }
        f.ConfirmRecordText(k.files[0].second, k.files[0].first);
        f.Run();
        if (k.afterRun) {
            QFile file(f.dir.filePath(k.files[0].first));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray::fromStdString(*k.afterRun));
        }
        StudyWindow* s = f.Open();
        QVERIFY(s);
        IndicesTab* tab = s->indices;
        f.messages.shown.clear();
        tab->txtLowCut->setText(QString::fromUtf8(k.lowCut));
        if (!k.byHand.empty()) {
            tab->chkFiles->setChecked(true);
            for (std::size_t i = 0; i < 3; ++i) {
                // The EW file through the dialog, the others typed.
                const QString path = *k.byHand[i] ? f.dir.filePath(k.byHand[i]) : QString();
                if (i == 1 && !path.isEmpty()) {
                    tab->askOpenFileName = [&](QWidget*, const QString&, const QString&) {
                        return path;
                    };
                    tab->cmdFiles[1]->click();
                    QCOMPARE(tab->txtFiles[1]->text(), path);
                } else {
                    tab->txtFiles[i]->setText(path);
                }
            }
        }
        s->cmdRecompute->click();
        if (k.refused) {
            QCOMPARE(f.messages.shown.size(), std::size_t{1});
            QVERIFY2(f.messages.shown[0].prompt.contains(QString::fromUtf8(k.refused)),
                     qPrintable(f.messages.shown[0].prompt));
            QVERIFY(!tab->HasResult());
            QVERIFY(s->spectrum->HasResult());  // the other tabs are computed all the same
            continue;
        }
        QVERIFY2(f.messages.shown.empty(), qPrintable(f.messages.Prompts().join('\n')));
        QVERIFY2(tab->HasResult(), k.what);
        QStringList rows;
        for (int r = 0; r < tab->table->rowCount(); ++r) {
            rows << tab->table->verticalHeaderItem(r)->text();
        }
        QCOMPARE(rows, k.rows);
        const int last = tab->table->rowCount() - 1;
        const QString shownClass = tab->table->item(last, 1)->text();
        QVERIFY2((shownClass != QStringLiteral("—")) == k.intensity, qPrintable(shownClass));
        // A class the shown value gives, beside the value to three decimals.
        if (k.intensity) {
            bool number = false;
            tab->table->item(last, 2)->text().toDouble(&number);
            QVERIFY(number && tab->table->item(last, 2)->text().split('.').value(1).size() == 3);
        }
        const QString notice = tab->txtNotice->toPlainText();
        QCOMPARE(notice.isEmpty(), k.notice.isEmpty());
        for (const QString& part : k.notice) QVERIFY2(notice.contains(part), qPrintable(notice));
        if (!k.firstPeak.isEmpty()) QCOMPARE(tab->table->item(0, 4)->text(), k.firstPeak);
        // Without files named by hand, the boxes show the files used.
        if (k.byHand.empty()) {
            for (int i = 0; i + 1 < k.rows.size(); ++i) {
                const QString& row = k.rows[i];
                const int box = row == u"EW" ? 1 : row == u"UD" ? 2 : 0;
                const QString file = row.endsWith(u".txt") ? row : QStringLiteral("R.") + row;
                QVERIFY2(tab->txtFiles[box]->text().endsWith(u'/' + file),
                         qPrintable(tab->txtFiles[box]->text()));
            }
        }
    }
}

void StudyWindowTest::extremeRecords() {
    const struct {
        const char* sample;
        bool refused;  // the spectra are refused with a message
    } cases[] = {
        {"0", false},
        {"1e300", true},
    };
    for (const auto& c : cases) {
        Fixture f;
        std::string text = "0.01\r\n";
        for (int k = 0; k < 200; ++k) text += std::string(k % 2 ? "-" : "") + c.sample + "\r\n";
        f.ConfirmRecordText(text);
        f.Run();
        StudyWindow* s = f.Open();
        QVERIFY(s);
        QCOMPARE(s->spectrum->HasResult(), !c.refused);
        QCOMPARE(f.messages.shown.empty(), !c.refused);
        for (const test::ShownMessage& m : f.messages.shown) {
            QCOMPARE(m.title, QStringLiteral("結果の検討"));
        }
        // Whatever was drawn is finite.
        for (QChartView* view : s->findChildren<QChartView*>()) {
            for (QAbstractSeries* series : view->chart()->series()) {
                QList<QXYSeries*> lines{qobject_cast<QXYSeries*>(series)};
                if (auto* area = qobject_cast<QAreaSeries*>(series)) {
                    lines = {area->upperSeries(), area->lowerSeries()};
                }
                for (QXYSeries* line : lines) {
                    QVERIFY(line);
                    for (const QPointF& p : line->points()) {
                        QVERIFY(std::isfinite(p.x()) && std::isfinite(p.y()));
                    }
                }
            }
        }
    }
}

void StudyWindowTest::exportAsksBeforeReplacingTheFinalName() {
    // The program's own save dialog, answered as a user would: "out" typed where out.csv
    // exists asks before replacing out.csv; after "No", "fresh" is typed.
    Fixture f;
    StudyWindow* s = f.OpenOnRecord(300);
    QVERIFY(s);
    QFile existing(f.dir.filePath(QStringLiteral("out.csv")));
    QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write("kept") == 4);
    existing.close();
    QStringList asked;  // each answered "No"
    QTimer::singleShot(0, s, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        dialog->setDirectory(f.dir.path());
        for (const char* typed : {"out", "fresh"}) {
            if (!dialog->isVisible()) return;
            dialog->selectFile(QString::fromLatin1(typed));
            QTimer::singleShot(0, s, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    asked << box->text();
                    box->button(QMessageBox::No)->click();
                }
            });
            static_cast<QDialog*>(dialog)->accept();
        }
        if (dialog->isVisible()) dialog->reject();
    });
    s->cmdCsv->click();
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked[0].contains(QStringLiteral("out.csv")), qPrintable(asked[0]));
    QCOMPARE(FileBytes(f.dir.filePath(QStringLiteral("out.csv"))), QByteArray("kept"));
    QVERIFY(FileBytes(f.dir.filePath(QStringLiteral("fresh.csv"))).count("\r\n") > 10);
}

void StudyWindowTest::boxesLegendsAndKeys() {
    const struct {
        const char *dampings, *count, *smoothing, *from, *to;
        QStringList curves;  // the spectrum's legend, the building's curve marked
    } cases[] = {
        // Full-width digits, read as the full-width separators already are.
        {"２、５", "５０", "０．４", "１", "２．５", {"h=2% (建物)", "h=5%"}},
        // Numbers shown as numbers, whatever form they were typed in.
        {"5e1, 2.0", "20", "0", "0", "3", {"h=50%", "h=2% (建物)"}},
        // The building's damping (2 %) is drawn although the list lacks it.
        {"5, 10", "200", "", "2", "4", {"h=5%", "h=10%", "h=2% (建物)"}},
    };
    Fixture f;
    StudyWindow* s = f.OpenOnRecord(400);
    QVERIFY(s);
    for (const auto& c : cases) {
        s->spectrum->txtDampings->setText(QString::fromUtf8(c.dampings));
        s->spectrum->txtPeriodCount->setText(QString::fromUtf8(c.count));
        s->fourier->txtSmoothing->setText(QString::fromUtf8(c.smoothing));
        s->cmdRecompute->click();
        QVERIFY2(f.messages.shown.empty(), qPrintable(f.messages.Prompts().join('\n')));
        QStringList curves;
        for (QAbstractSeries* series : s->spectrum->chart->chart()->series()) {
            if (!series->name().startsWith(u"h=")) continue;
            curves << series->name();
            QCOMPARE(static_cast<QXYSeries*>(series)->count(), int(*StudyNumber(c.count)));
        }
        QCOMPARE(curves, c.curves);
        QVERIFY(s->fourier->HasResult());
        s->accuracy->txtFrom->setText(QString::fromUtf8(c.from));
        s->accuracy->txtTo->setText(QString::fromUtf8(c.to));
        s->accuracy->cmdRange->click();
        const auto range = AxisRange(s->accuracy->response->chart()->axes(Qt::Horizontal)[0]);
        QCOMPARE(range, std::make_pair(*StudyNumber(c.from), *StudyNumber(c.to)));
    }
    // Every mnemonic that can fire at once is a letter of its own: the window's buttons and
    // the shown tab's controls (a hidden tab's shortcuts do not fire); "閉じる" has one.
    QCOMPARE(s->cmdClose->text(), QStringLiteral("閉じる(&X)"));
    auto lettersOf = [](const QList<QWidget*>& widgets, auto keep) {
        QStringList letters;
        for (QWidget* w : widgets) {
            if (!keep(w)) continue;
            const QString text = qobject_cast<QLineEdit*>(w) ? QString() : test::CaptionOf(w);
            const qsizetype at = text.indexOf(u'&');
            if (at >= 0 && at + 1 < text.size()) letters << text.at(at + 1).toUpper();
        }
        return letters;
    };
    auto inTab = [](QWidget* w) {
        for (QWidget* p = w; p; p = p->parentWidget()) {
            if (qobject_cast<StudyTab*>(p)) return true;
        }
        return false;
    };
    const QStringList windowLetters =
        lettersOf(s->findChildren<QWidget*>(), [&](QWidget* w) { return !inTab(w); });
    const QList<StudyTab*> tabs = s->findChildren<StudyTab*>();
    QCOMPARE(tabs.size(), 6);
    for (StudyTab* tab : tabs) {
        QStringList letters =
            windowLetters + lettersOf(tab->findChildren<QWidget*>(), [](QWidget*) { return true; });
        QCOMPARE(letters.removeDuplicates(), 0);
    }
    // Esc in a box closes the window, as it closes a dialog.
    QPointer<StudyWindow> open = s;
    QTest::keyClick(s->spectrum->txtDampings, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(open.isNull());
}

void StudyWindowTest::axisTicks() {
    const struct {
        double min, max, step;
        int most;  // labels that fit
        QStringList labels;
    } cases[] = {
        {-0.3, 0.3, 0.1, 99, {"-0.3", "-0.2", "-0.1", "0", "0.1", "0.2", "0.3"}},
        {-0.3, 0.3, 0.1, 4, {"-0.2", "0", "0.2"}},
        {0, 327.64, 50, 99, {"0", "50", "100", "150", "200", "250", "300"}},
        {0.1, 0.2, 0.02, 99, {"0.10", "0.12", "0.14", "0.16", "0.18", "0.20"}},
        {-0.006, 0.008, 0.002, 5, {"-0.005", "0", "0.005"}},
        {-2.5e-7, 4e-7, 1e-7, 99, {"-2e-7", "-1e-7", "0", "1e-7", "2e-7", "3e-7", "4e-7"}},
        {1e6, 3e6, 5e5, 99, {"1.0e6", "1.5e6", "2.0e6", "2.5e6", "3.0e6"}},
        {-1.2e-5, 1.2e-5, 5e-6, 99, {"-1.0e-5", "-5e-6", "0", "5e-6", "1.0e-5"}},
        {-15, 15, 5, 1, {"-10", "0", "10"}},  // never down to one label
    };
    for (const auto& c : cases) {
        QStringList labels;
        for (const AxisTick& t : LinearTicks(c.min, c.max, c.step, [&](const auto& ticks) {
                 return int(ticks.size()) <= c.most;
             })) {
            labels << t.text;
            QVERIFY(t.value >= c.min && t.value <= c.max);
            QVERIFY2(std::abs(t.text.toDouble() - t.value) <= 1e-9 * c.step, qPrintable(t.text));
        }
        QCOMPARE(labels, c.labels);
    }
}

void StudyWindowTest::smallestSizeShowsEverything() {
    // A 30,000-sample record at the window's smallest size: every text is whole, no two
    // controls overlap, the table shows every column, each axis keeps three or more labels.
    Fixture f;
    StudyWindow* s = f.OpenOnRecord(30000);
    QVERIFY(s);
    s->resize(s->minimumSize());
    for (int i = 0; i < s->tabs->count(); ++i) {
        s->tabs->setCurrentIndex(i);
        Settle();
        QList<QWidget*> shown;
        for (QWidget* w : s->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) shown << w;
        for (QWidget* w : s->tabs->widget(i)->findChildren<QWidget*>()) {
            if (w->isVisible() && !qobject_cast<QChartView*>(w->parentWidget())) shown << w;
        }
        for (QWidget* w : shown) {
            if (auto* view = qobject_cast<QChartView*>(w)) {
                const QString texts = ChartTexts(view).join(u'|');
                QVERIFY2(!texts.contains(u"..."), qPrintable(texts));
                QVERIFY2(ChartTexts(view, true).size() >= 3 ||
                             !qobject_cast<QCategoryAxis*>(view->chart()->axes().value(1)),
                         qPrintable(texts));
            }
            auto* label = qobject_cast<QLabel*>(w);
            if ((label && !label->wordWrap()) || qobject_cast<QAbstractButton*>(w)) {
                QVERIFY2(w->sizeHint().width() <= w->width(), qPrintable(test::CaptionOf(w)));
            }
            for (QWidget* other : shown) {
                QVERIFY2(w == other || w->parentWidget() != other->parentWidget() ||
                             !w->geometry().intersects(other->geometry()),
                         qPrintable(w->objectName() + u'/' + other->objectName()));
            }
            if (auto* table = qobject_cast<QTableWidget*>(w)) {
                for (int cell = 0; cell < table->rowCount() * table->columnCount(); ++cell) {
                    const int column = cell % table->columnCount();
                    const QString text = table->item(cell / table->columnCount(), column)->text();
                    QVERIFY2(table->fontMetrics().horizontalAdvance(text) <
                                 table->columnWidth(column) - 4,
                             qPrintable(text));
                }
            }
        }
    }
    // The error chart over ranges that once cut its labels to "..." or read -2.78e-17 at 0.
    for (const auto& [lo, hi] : {std::pair{-0.3, 0.3}, {-0.0042, 0.0068}, {-2.4e-7, 3.9e-7}}) {
        SetLinearRange(s->accuracy->errors->chart()->axes(Qt::Vertical)[0], lo, hi, true);
        Settle();
        const QStringList labels = ChartTexts(s->accuracy->errors, true);
        QVERIFY2(labels.size() >= 3 && labels.contains(u"0") && !labels.join("").contains(u"..."),
                 qPrintable(labels.join(' ')));
    }
}

QTEST_MAIN(StudyWindowTest)
#include "StudyWindowTest.moc"
