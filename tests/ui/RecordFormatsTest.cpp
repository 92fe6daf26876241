// The networks' records in the wave chooser and the earthquake run: the boxes and the
// messages, the component question of JMA CSV records, refused records, and the run on a
// record against the run on a plain file holding the same numbers.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <cstdio>

#include "files/RecordFixtures.h"
#include "files/WaveFile.h"
#include "ui/ChooserWindows.h"
#include "ui/MainWindow.h"
#include "ui/ScriptedMessages.h"

using namespace kestrel;
using kestrel::test::ScriptedMessages;

namespace {

void WriteFile(const QString& path, const std::string& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

test::KnetFixture Knet(int samples) {
    test::KnetFixture f;
    for (int k = 0; k < samples; ++k) {
        f.counts.push_back(std::lround(2'000'000 * std::sin(k * 0.05) + 1000 * (k % 7)));
    }
    return f;
}

test::JmaFixture Jma(int samples) {
    test::JmaFixture f;
    for (int k = 0; k < samples; ++k) {
        char row[80];
        std::snprintf(row, sizeof row, "%.3f,%.3f,%.3f", 300 * std::sin(k * 0.05),
                      -200 * std::cos(k * 0.07), 50 * std::sin(k * 0.11));
        f.rows.push_back(row);
    }
    return f;
}

test::At2Fixture At2(int samples) {
    test::At2Fixture f;
    f.points = "NPTS= " + std::to_string(samples) + ", DT= .0050 SEC";
    for (int k = 0; k < samples; ++k) {
        char value[40];
        std::snprintf(value, sizeof value, "%.7E", 0.3 * std::sin(k * 0.04));
        f.values.push_back(value);
    }
    return f;
}

// The plain wave file of a record: its time step and samples with every digit they have.
std::string PlainText(const WaveRecord& record) {
    std::string text;
    char number[40];
    std::snprintf(number, sizeof number, "%.17g\r\n", record.timeStep);
    text += number;
    for (const double sample : record.samples) {
        std::snprintf(number, sizeof number, "%.17g\r\n", sample);
        text += number;
    }
    return text;
}

// Everything a run leaves for the playback and the result files.
struct Response {
    int stepCount = 0;
    double timeStep = 0;
    std::vector<double> values;

    explicit Response(AnalysisState& s) : stepCount(s.StepCount), timeStep(s.TimeStep) {
        for (int i = 0; i <= stepCount; ++i) {
            for (const Series* series :
                 {&s.TimeSeries, &s.CacSeries, &s.AccSeries, &s.VelSeries, &s.DisSeries}) {
                values.push_back((*series)[i]);
            }
        }
        for (const double peak : {s.CacPeak, s.AccPeak, s.VelPeak, s.DisPeak}) {
            values.push_back(peak);
        }
    }
    bool operator==(const Response&) const = default;
};

}  // namespace

class RecordFormatsTest : public QObject {
    Q_OBJECT

private:
    struct Fixture {
        Fixture() {
            window.show();
            window.chkPicture->setChecked(false);
            window.optSelect->setChecked(true);
            QDir::setCurrent(dir.path());
        }
        ~Fixture() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

        // Confirms the named file of the test folder in the wave chooser.
        void Confirm(const QString& name) {
            window.cmdWave->click();
            Chooser()->txtFileName->setText(name);
            Chooser()->cmdOK->click();
        }
        // Runs the analysis and returns its response; no value when it did not complete.
        std::optional<Response> Run() {
            messages.shown.clear();
            window.cmdStart->click();
            if (messages.Prompts() != QStringList{QStringLiteral("終了しました。")}) return {};
            return Response(window.State());
        }
        QString Path(const QString& name) const { return dir.filePath(name); }

        ScriptedMessages messages;
        MainWindow window{messages};
        QTemporaryDir dir;
    };

    static WaveSelectWindow* Chooser() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* c = qobject_cast<WaveSelectWindow*>(w)) return c;
        }
        return nullptr;
    }

private slots:
    void recordSetsTheBoxesAsItsPlainFileAndSaysWhatWasRead();
    void runOnARecordEqualsTheRunOnItsPlainFile();
    void componentQuestionAndCancel();
    void anotherFileDropsTheComponent();
    void badRecordsChangeNothing();
};

void RecordFormatsTest::recordSetsTheBoxesAsItsPlainFileAndSaysWhatWasRead() {
    test::KnetFixture knet;
    knet.counts = {6182761, -6182761, 0, 6182761};
    test::JmaFixture jma;
    jma.rows = {"1,2,3", "-4,-5,-6"};
    test::At2Fixture at2;
    at2.values = {"1.0", "-.5", ".25", "2"};
    const struct {
        std::string bytes;
        int choice;  // the answer to the component question, -1 when none is asked
        const char* timeStep;
        const char* duration;
        const char* read;
    } cases[] = {
        {test::KnetText(knet), -1, "0.01", "0.04",
         "K-NET 記録 MYG004 (N-S)、4 点、最大加速度 4900.00 cm/s2 を読み込みました。"},
        {test::JmaText(jma), 1, "0.01", "0.02",
         "気象庁 記録 47590 (EW)、2 点、最大加速度 5.00 cm/s2 を読み込みました。"},
        {test::At2Text(at2), -1, "0.005", "0.02",
         "PEER NGA 記録 El Centro Array #9 (180)、4 点、最大加速度 1961.33 cm/s2 "
         "を読み込みました。"},
    };
    for (const auto& c : cases) {
        Fixture f;
        WriteFile(f.Path(QStringLiteral("record.dat")), c.bytes);
        if (c.choice >= 0) f.messages.choiceAnswers = {c.choice};
        f.Confirm(QStringLiteral("record.dat"));
        QCOMPARE(f.messages.asked.size(), std::size_t{c.choice >= 0 ? 1u : 0u});
        QCOMPARE(f.window.txtTs->text(), QString::fromLatin1(c.timeStep));
        QCOMPARE(f.window.txtTl->text(), QString::fromLatin1(c.duration));
        QVERIFY(f.window.isVisible());
        QCOMPARE(f.messages.shown.size(), std::size_t{3});
        QCOMPARE(f.messages.shown[1].prompt,
                 QStringLiteral("解析時間を %1 秒に設定しました。").arg(c.duration));
        QCOMPARE(f.messages.shown[2].prompt, QString::fromUtf8(c.read));
        QCOMPARE(f.messages.shown[2].style, int{kOkInformation});
        QCOMPARE(f.messages.shown[2].title, QStringLiteral("記録の読み込み"));

        // The plain file of the same numbers sets the same texts, with two messages only.
        const std::optional<RecordComponent> component =
            c.choice >= 0 ? std::optional(RecordComponent(c.choice)) : std::nullopt;
        WriteFile(f.Path(QStringLiteral("plain.txt")),
                  PlainText(ReadWaveBytes(c.bytes, component).record));
        f.messages.shown.clear();
        f.Confirm(QStringLiteral("plain.txt"));
        QCOMPARE(f.window.txtTs->text(), QString::fromLatin1(c.timeStep));
        QCOMPARE(f.window.txtTl->text(), QString::fromLatin1(c.duration));
        QCOMPARE(f.messages.shown.size(), std::size_t{2});
    }
}

void RecordFormatsTest::runOnARecordEqualsTheRunOnItsPlainFile() {
    const struct {
        std::string bytes;
        std::optional<RecordComponent> component;
    } cases[] = {
        {test::KnetText(Knet(3000)), std::nullopt},
        {test::JmaText(Jma(2000)), RecordComponent::EW},
        {test::JmaText(Jma(2000)), RecordComponent::UD},
        {test::At2Text(At2(2500)), std::nullopt},
    };
    for (const auto& c : cases) {
        Fixture f;
        WriteFile(f.Path(QStringLiteral("record.dat")), c.bytes);
        if (c.component) f.messages.choiceAnswers = {static_cast<int>(*c.component)};
        f.Confirm(QStringLiteral("record.dat"));
        const std::optional<Response> onRecord = f.Run();
        QVERIFY(onRecord);

        const WaveRecord record = ReadWaveBytes(c.bytes, c.component).record;
        QCOMPARE(onRecord->stepCount, record.Count() + 1);
        QCOMPARE(f.window.State().CacSeries[0], record.samples[0]);
        WriteFile(f.Path(QStringLiteral("plain.txt")), PlainText(record));
        f.Confirm(QStringLiteral("plain.txt"));
        const std::optional<Response> onPlain = f.Run();
        QVERIFY(onPlain);
        QVERIFY(*onRecord == *onPlain);
    }
}

void RecordFormatsTest::componentQuestionAndCancel() {
    Fixture f;
    WriteFile(f.Path(QStringLiteral("jma.csv")), test::JmaText(Jma(10)));
    f.Confirm(QStringLiteral("jma.csv"));  // the script answers cancel
    QCOMPARE(f.messages.asked.size(), std::size_t{1});
    QCOMPARE(f.messages.asked[0].title, QStringLiteral("成分の選択"));
    QCOMPARE(f.messages.asked[0].choices,
             (QStringList{QStringLiteral("NS"), QStringLiteral("EW"), QStringLiteral("UD")}));
    QVERIFY(f.messages.asked[0].prompt.contains(QStringLiteral("jma.csv")));
    QVERIFY(f.messages.shown.empty());
    QVERIFY(Chooser()->isVisible());
    QCOMPARE(f.window.txtTs->text(), QStringLiteral("0.01"));
    QCOMPARE(f.window.txtTl->text(), QStringLiteral("10"));
    QCOMPARE(Chooser()->WaveComponent, std::nullopt);

    f.messages.choiceAnswers = {2};
    Chooser()->cmdOK->click();
    QCOMPARE(Chooser()->WaveComponent, std::optional(RecordComponent::UD));
    QCOMPARE(f.window.txtTl->text(), QStringLiteral("0.1"));
    QVERIFY(!Chooser()->isVisible());
}

void RecordFormatsTest::anotherFileDropsTheComponent() {
    Fixture f;
    const std::string jma = test::JmaText(Jma(10));
    WriteFile(f.Path(QStringLiteral("jma.csv")), jma);
    WriteFile(f.Path(QStringLiteral("knet.NS")), test::KnetText(Knet(10)));
    f.messages.choiceAnswers = {0};
    f.Confirm(QStringLiteral("jma.csv"));
    QCOMPARE(Chooser()->WaveComponent, std::optional(RecordComponent::NS));
    f.Confirm(QStringLiteral("knet.NS"));
    QCOMPARE(Chooser()->WaveComponent, std::nullopt);
    QVERIFY(f.Run());

    // The confirmed file has become a JMA CSV record since: the run cannot tell which
    // component to take, says so and computes nothing.
    WriteFile(f.Path(QStringLiteral("knet.NS")), jma);
    QVERIFY(!f.Run());
    QCOMPARE(f.messages.shown.size(), std::size_t{1});
    QCOMPARE(f.messages.shown[0].style, int{kOkExclamation});
    QVERIFY(f.messages.shown[0].prompt.contains(QStringLiteral("選び直して")));
    QCOMPARE(f.window.State().DisPeak, 0.0);
    QCOMPARE(f.messages.asked.size(), std::size_t{1});  // only at the confirmation
}

void RecordFormatsTest::badRecordsChangeNothing() {
    test::KnetFixture shortHeader = Knet(10);
    shortHeader.headerLines = 12;
    test::KnetFixture zeroRate = Knet(10);
    zeroRate.frequency = "0Hz";
    test::JmaFixture twoColumns;
    twoColumns.columns = "NS,EW";
    twoColumns.rows = {"1,2"};
    test::At2Fixture tooFew = At2(10);
    tooFew.values.pop_back();
    const struct {
        std::string bytes;
        int choice;
        const char* part;
    } cases[] = {
        {test::KnetText(shortHeader), -1, "見出しが途中で終わって"},
        {test::KnetText(zeroRate), -1, "「0Hz」"},
        {test::KnetText(Knet(kMaxRecordSamples + 1)), -1, "327.65 秒"},
        {test::JmaText(twoColumns), 2, "「UD」成分の列がありません"},
        {test::At2Text(tooFew), -1, "9 点しかありません"},
    };
    for (const auto& c : cases) {
        Fixture f;
        WriteFile(f.Path(QStringLiteral("bad.dat")), c.bytes);
        if (c.choice >= 0) f.messages.choiceAnswers = {c.choice};
        f.Confirm(QStringLiteral("bad.dat"));
        QCOMPARE(f.messages.shown.size(), std::size_t{1});
        QCOMPARE(f.messages.shown[0].style, int{kOkExclamation});
        QVERIFY2(f.messages.shown[0].prompt.contains(QString::fromUtf8(c.part)), c.part);
        QVERIFY(Chooser()->isVisible());
        QCOMPARE(f.window.txtTs->text(), QStringLiteral("0.01"));
        QCOMPARE(f.window.txtTl->text(), QStringLiteral("10"));
        QCOMPARE(Chooser()->WaveComponent, std::nullopt);
    }
}

QTEST_MAIN(RecordFormatsTest)
#include "RecordFormatsTest.moc"
