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
#include <cstdio>

#include "files/RecordFixtures.h"
#include "files/WaveFile.h"
#include "ui/ChooserWindows.h"
#include "ui/FormChecks.h"
#include "ui/MainControls.h"
#include "ui/MainWindow.h"
#include "ui/ScriptedMessages.h"
#include "ui/StudyFixture.h"

using namespace kestrel;
using kestrel::test::ScriptedMessages;

namespace {

void WriteFile(const QString& path, const std::string& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// Small records with known values, one of each format.
std::string SmallKnet() {
    test::KnetFixture f;
    f.counts = {6182761, -6182761, 0, 6182761};
    return test::KnetText(f);
}
std::string SmallJma() {
    test::JmaFixture f;
    f.rows = {"1,2,3", "-4,-5,-6"};
    return test::JmaText(f);
}
std::string SmallAt2() {
    test::At2Fixture f;
    f.values = {"1.0", "-.5", ".25", "2"};
    return test::At2Text(f);
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
struct RunValues {
    int points = 0;
    double timeStep = 0;
    std::vector<double> values;

    explicit RunValues(const Response& r) : points(r.completedPoints()), timeStep(r.stepTime()) {
        for (const auto series :
             {r.time(), r.ground(), r.acceleration(), r.velocity(), r.displacement()}) {
            values.insert(values.end(), series.begin(), series.end());
        }
        const Peaks& p = r.peaks();
        values.insert(values.end(), {p.ground, p.acceleration, p.velocity, p.displacement});
    }
    bool operator==(const RunValues&) const = default;
};

}  // namespace

class RecordFormatsTest : public QObject {
    Q_OBJECT

private:
    struct Fixture : test::WindowFixture {
        Fixture() {
            ui.chkPicture->setChecked(false);
            ui.optSelect->setChecked(true);
        }

        // Confirms the named file of the test folder in the wave chooser.
        void Confirm(const QString& name) {
            ui.cmdWave->click();
            Chooser()->txtFileName->setText(name);
            Chooser()->cmdOK->click();
        }
        // Runs the analysis and returns its response; no value when it did not complete.
        std::optional<RunValues> Run() {
            messages.shown.clear();
            ui.cmdStart->click();
            if (messages.Prompts() != QStringList{QStringLiteral("終了しました。")}) return {};
            return RunValues(window.HeldRun()->response);
        }
        QString Path(const QString& name) const { return dir.filePath(name); }
    };

    static WaveSelectWindow* Chooser() { return test::TopLevel<WaveSelectWindow>(); }

private slots:
    void aRecordActsAsThePlainFileOfItsNumbers();
    void componentQuestionAndCancel();
    void anotherFileDropsTheComponent();
    void badRecordsChangeNothing();
};

void RecordFormatsTest::aRecordActsAsThePlainFileOfItsNumbers() {
    const struct {
        std::string bytes;
        int choice;  // the answer to the component question, -1 when none is asked
        const char* timeStep;
        const char* duration;
        const char* read;
    } cases[] = {
        // Raw records lose their mean (K-NET 980 cm/s2; JMA EW 2, -5 and UD 3, -6: -1.5).
        {SmallKnet(), -1, "0.01", "0.04",
         "K-NET 記録 MYG004 (N-S)、4 点、最大加速度 4900.00 cm/s2 を読み込みました。\n"
         "記録全体の平均値 980 cm/s2 を除きました。"},
        {SmallJma(), 1, "0.01", "0.02",
         "気象庁 記録 47590 (EW)、2 点、最大加速度 3.50 cm/s2 を読み込みました。\n"
         "記録全体の平均値 -1.5 cm/s2 を除きました。"},
        {SmallJma(), 2, "0.01", "0.02",
         "気象庁 記録 47590 (UD)、2 点、最大加速度 4.50 cm/s2 を読み込みました。\n"
         "記録全体の平均値 -1.5 cm/s2 を除きました。"},
        {SmallAt2(), -1, "0.005", "0.02",
         "PEER NGA 記録 El Centro Array #9 (180)、4 点、最大加速度 1961.33 cm/s2 "
         "を読み込みました。\n補正済みの記録なので、値はそのまま使います。"},
    };
    for (const auto& c : cases) {
        Fixture f;
        WriteFile(f.Path(QStringLiteral("record.dat")), c.bytes);
        if (c.choice >= 0) f.messages.choiceAnswers = {c.choice};
        f.Confirm(QStringLiteral("record.dat"));
        QCOMPARE(f.messages.asked.size(), std::size_t{c.choice >= 0 ? 1u : 0u});
        QCOMPARE(f.ui.txtTs->text(), QString::fromLatin1(c.timeStep));
        QCOMPARE(f.ui.txtTl->text(), QString::fromLatin1(c.duration));
        QVERIFY(f.window.isVisible());
        QCOMPARE(f.messages.shown.size(), std::size_t{3});
        QCOMPARE(f.messages.shown[1].prompt,
                 QStringLiteral("解析時間を %1 秒に設定しました。").arg(c.duration));
        QCOMPARE(f.messages.shown[2].prompt, QString::fromUtf8(c.read));
        QCOMPARE(f.messages.shown[2].style, int{kOkInformation});
        QCOMPARE(f.messages.shown[2].title, QStringLiteral("記録の読み込み"));
        const std::optional<RunValues> onRecord = f.Run();
        QVERIFY(onRecord);

        // The plain file of the same numbers: the same texts, two messages, the same run.
        const std::optional<RecordComponent> component =
            c.choice >= 0 ? std::optional(RecordComponent(c.choice)) : std::nullopt;
        const WaveRecord record = ReadWaveBytes(c.bytes, component).record;
        QCOMPARE(onRecord->points, record.Count() + 1);
        WriteFile(f.Path(QStringLiteral("plain.txt")), PlainText(record));
        f.messages.shown.clear();
        f.Confirm(QStringLiteral("plain.txt"));
        QCOMPARE(f.ui.txtTs->text(), QString::fromLatin1(c.timeStep));
        QCOMPARE(f.ui.txtTl->text(), QString::fromLatin1(c.duration));
        QCOMPARE(f.messages.shown.size(), std::size_t{2});
        const std::optional<RunValues> onPlain = f.Run();
        QVERIFY(onPlain);
        QVERIFY(*onRecord == *onPlain);
    }
}

void RecordFormatsTest::componentQuestionAndCancel() {
    Fixture f;
    WriteFile(f.Path(QStringLiteral("jma.csv")), SmallJma());
    f.Confirm(QStringLiteral("jma.csv"));  // the script answers cancel
    QCOMPARE(f.messages.asked.size(), std::size_t{1});
    QCOMPARE(f.messages.asked[0].title, QStringLiteral("成分の選択"));
    QCOMPARE(f.messages.asked[0].choices,
             (QStringList{QStringLiteral("NS"), QStringLiteral("EW"), QStringLiteral("UD")}));
    QVERIFY(f.messages.asked[0].prompt.contains(QStringLiteral("jma.csv")));
    QVERIFY(f.messages.shown.empty());
    QVERIFY(Chooser()->isVisible());
    QCOMPARE(f.ui.txtTs->text(), QStringLiteral("0.01"));
    QCOMPARE(f.ui.txtTl->text(), QStringLiteral("10"));
    QCOMPARE(Chooser()->WaveComponent, std::nullopt);

    f.messages.choiceAnswers = {2};
    Chooser()->cmdOK->click();
    QCOMPARE(Chooser()->WaveComponent, std::optional(RecordComponent::UD));
    QCOMPARE(f.ui.txtTl->text(), QStringLiteral("0.02"));
    QVERIFY(!Chooser()->isVisible());
}

void RecordFormatsTest::anotherFileDropsTheComponent() {
    Fixture f;
    WriteFile(f.Path(QStringLiteral("jma.csv")), SmallJma());
    WriteFile(f.Path(QStringLiteral("knet.NS")), SmallKnet());
    f.messages.choiceAnswers = {0};
    f.Confirm(QStringLiteral("jma.csv"));
    QCOMPARE(Chooser()->WaveComponent, std::optional(RecordComponent::NS));
    f.Confirm(QStringLiteral("knet.NS"));
    QCOMPARE(Chooser()->WaveComponent, std::nullopt);
    QVERIFY(f.Run());

    // The confirmed file has become a JMA CSV record since: the run cannot tell which
    // component to take, says so and computes nothing.
    WriteFile(f.Path(QStringLiteral("knet.NS")), SmallJma());
    QVERIFY(!f.Run());
    QCOMPARE(f.messages.shown.size(), std::size_t{1});
    QCOMPARE(f.messages.shown[0].style, int{kOkExclamation});
    QVERIFY(f.messages.shown[0].prompt.contains(QStringLiteral("選び直して")));
    QVERIFY(!f.window.HeldRun());
    QCOMPARE(f.messages.asked.size(), std::size_t{1});  // only at the confirmation
}

void RecordFormatsTest::badRecordsChangeNothing() {
    test::KnetFixture longest;
    longest.counts.assign(kMaxRecordSamples + 1, 7);
    const struct {
        std::string bytes;
        int choice;
        const char* part;
    } cases[] = {
        {SmallKnet().substr(0, 300), -1, "見出しが途中で終わって"},
        {test::KnetText(longest), -1, "327.65 秒"},
        {SmallJma().replace(SmallJma().find("NS, EW, UD"), 10, "NS, EW"), 2,
         "「UD」成分の列がありません"},
        {SmallAt2().replace(SmallAt2().find("  2\n"), 4, ""), -1, "3 点しかありません"},
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
        QCOMPARE(f.ui.txtTs->text(), QStringLiteral("0.01"));
        QCOMPARE(f.ui.txtTl->text(), QStringLiteral("10"));
        QCOMPARE(Chooser()->WaveComponent, std::nullopt);
    }
}

QTEST_MAIN(RecordFormatsTest)
#include "RecordFormatsTest.moc"
