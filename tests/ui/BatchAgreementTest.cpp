// The command line against the window: for every excitation case and every record format,
// the pair "保存(&S)" writes after a run driven through the main window and the pair
// `kestrel-batch response` writes from the same texts are the same bytes; so are the table
// of the tab "地震動の指標" and the file of `kestrel-batch indices`.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <sstream>

#include "app/batch/BatchCommands.h"
#include "files/RecordFixtures.h"
#include "ui/ChooserWindows.h"
#include "ui/FormChecks.h"
#include "ui/IndicesTab.h"
#include "ui/MainControls.h"
#include "ui/MainWindow.h"
#include "ui/ScriptedMessages.h"
#include "ui/StudyWindow.h"

using namespace kestrel;
using kestrel::test::ScriptedMessages;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const std::string& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string PlainWave() {
    std::string text = "0.02\n";
    for (int k = 0; k < 700; ++k) text += std::to_string(37 * (k % 11) - 180) + "\n";
    return text;
}

std::string JmaWave() {
    test::JmaFixture f;
    f.rows.clear();
    for (int k = 0; k < 500; ++k) {
        f.rows.push_back(std::to_string(k % 9 - 4) + "," + std::to_string(k % 13 - 6) + "," +
                         std::to_string(k % 5 - 2));
    }
    return test::JmaText(f);
}

std::string KnetWave() {
    test::KnetFixture f;
    for (int k = 0; k < 600; ++k) f.counts.push_back((k % 17 - 8) * 410'000LL + k * 900);
    return test::KnetText(f);
}

std::string At2Wave() {
    test::At2Fixture f;
    f.points = "NPTS=   300, DT=   .0100 SEC";
    for (int k = 0; k < 300; ++k) f.values.push_back(std::to_string(k % 23 - 11) + "E-02");
    return test::At2Text(f);
}

}  // namespace

class BatchAgreementTest : public QObject {
    Q_OBJECT

private slots:
    void responseFilesEqualTheWindowsSave();
    void indicesTableEqualsTheBatchFile();
};

void BatchAgreementTest::responseFilesEqualTheWindowsSave() {
    struct Box {
        QLineEdit* test::MainControls::*box;
        const char* option;
        const char* text;
    };
    const struct Case {
        const char* name;
        QRadioButton* test::MainControls::*button;
        std::vector<Box> boxes;
        const char* wave;  // a file of the test folder, confirmed in the wave chooser
        int component;     // the answer to the component question, -1 when none is asked
    } cases[] = {
        {"initial-displacement",
         &test::MainControls::optDis,
         {{&test::MainControls::txtK, "stiffness", "250"},
          {&test::MainControls::txtFirstDis, "initial-displacement", "3.5cm"}},
         nullptr,
         -1},
        {"initial-velocity",
         &test::MainControls::optVel,
         {{&test::MainControls::txtH, "damping", "0"}},
         nullptr,
         -1},
        {"steady-acceleration",
         &test::MainControls::optOrgCycle,
         {{&test::MainControls::txtOrgCycle, "forcing-period", "0.5"},
          {&test::MainControls::txtCacMax, "forcing-amplitude", "-200"},
          {&test::MainControls::txtTl, "duration", "12abc"}},
         nullptr,
         -1},
        {"steady-displacement",
         &test::MainControls::optOrgCycleDis,
         {{&test::MainControls::txtOrgCycleDis, "displacement-period", "0.8"},
          {&test::MainControls::txtDisMax, "displacement-amplitude", "2"},
          {&test::MainControls::txtW, "mass", "150000"}},
         nullptr,
         -1},
        {"earthquake", &test::MainControls::optSelect, {}, "wave.txt", -1},
        {"earthquake",
         &test::MainControls::optSelect,
         {{&test::MainControls::txtH, "damping", "5"}},
         "jma.csv",
         1},
        {"earthquake", &test::MainControls::optSelect, {}, "knet.NS", -1},
        // The time step edited after the record was confirmed: the run keeps the record's.
        {"earthquake",
         &test::MainControls::optSelect,
         {{&test::MainControls::txtTs, "time-step", "0.02"}},
         "peer.AT2",
         -1},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        WriteFile(dir.filePath(QStringLiteral("wave.txt")), PlainWave());
        WriteFile(dir.filePath(QStringLiteral("jma.csv")), JmaWave());
        WriteFile(dir.filePath(QStringLiteral("knet.NS")), KnetWave());
        WriteFile(dir.filePath(QStringLiteral("peer.AT2")), At2Wave());
        QDir(dir.path()).mkdir(QStringLiteral("batch"));
        std::vector<std::string> args = {"response", std::string("--case=") + c.name};
        {
            ScriptedMessages messages;
            MainWindow window(messages);
            test::MainControls ui(window);
            window.show();
            ui.chkPicture->setChecked(false);
            (ui.*c.button)->setChecked(true);
            if (c.wave) {
                if (c.component >= 0) messages.choiceAnswers = {c.component};
                ui.cmdWave->click();
                test::TopLevel<WaveSelectWindow>()->txtFileName->setText(
                    QString::fromLatin1(c.wave));
                test::TopLevel<WaveSelectWindow>()->cmdOK->click();
                args.push_back(std::string("--wave=") + c.wave);
                const char* const names[] = {"NS", "EW", "UD"};
                if (c.component >= 0)
                    args.push_back(std::string("--component=") + names[c.component]);
            }
            for (const Box& b : c.boxes) {
                (ui.*b.box)->setText(QString::fromUtf8(b.text));
                args.push_back(std::string("--") + b.option + "=" + b.text);
            }
            ui.cmdStart->click();
            QCOMPARE(messages.shown.back().prompt, QStringLiteral("終了しました。"));
            ui.cmdSelect->click();
            test::TopLevel<SaveSelectWindow>()->txtFileName->setText(QStringLiteral("r"));
            test::TopLevel<SaveSelectWindow>()->Command1->click();
            ui.cmdSave->click();
            QCOMPARE(messages.shown.back().prompt, QStringLiteral("保存終了しました。"));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        args.push_back("batch/r");
        std::ostringstream out, err;
        QCOMPARE(batch::RunBatch(args, out, err), 0);
        QCOMPARE(QString::fromStdString(err.str()), QString());
        for (const char* suffix : {"r(建物パラメータ).csv", "r(時刻暦応答).csv"}) {
            const QByteArray window = ReadAll(dir.filePath(QString::fromUtf8(suffix)));
            QVERIFY2(window.count("\r\n") >= 4, suffix);
            QVERIFY2(window == ReadAll(dir.filePath(QStringLiteral("batch/") +
                                                    QString::fromUtf8(suffix))),
                     c.name);
        }
    }
}

void BatchAgreementTest::indicesTableEqualsTheBatchFile() {
    // The tab's CSV export and `kestrel-batch indices` on the confirmed file: the same bytes,
    // for a record of one component, of three files and of one file of three columns.
    auto knet = [](const char* direction, long long shift) {
        test::KnetFixture f;
        f.direction = direction;
        for (long long k = 0; k < 300; ++k) f.counts.push_back((k * shift) % 31 * 20000 - 300000);
        return test::KnetText(f);
    };
    const struct {
        const char* confirmed;
        int component;  // the answer to the component question, -1 when none is asked
        int rows;       // of the file, the header too
    } cases[] = {{"wave.txt", -1, 3}, {"R.EW", -1, 5}, {"jma.csv", 2, 5}};
    for (const auto& c : cases) {
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        WriteFile(dir.filePath(QStringLiteral("wave.txt")), PlainWave());
        WriteFile(dir.filePath(QStringLiteral("jma.csv")), JmaWave());
        WriteFile(dir.filePath(QStringLiteral("R.NS")), knet("N-S", 3));
        WriteFile(dir.filePath(QStringLiteral("R.EW")), knet("E-W", 5));
        WriteFile(dir.filePath(QStringLiteral("R.UD")), knet("U-D", 7));
        ScriptedMessages messages;
        MainWindow window(messages);
        test::MainControls ui(window);
        window.show();
        if (c.component >= 0) messages.choiceAnswers = {c.component};
        ui.cmdWave->click();
        test::TopLevel<WaveSelectWindow>()->txtFileName->setText(QString::fromLatin1(c.confirmed));
        test::TopLevel<WaveSelectWindow>()->cmdOK->click();
        ui.optSelect->setChecked(true);
        ui.chkPicture->setChecked(false);
        ui.cmdStart->click();
        ui.cmdStudy->click();
        StudyWindow* study = window.Study();
        QVERIFY(study);
        QString why;
        const QByteArray tab = study->indices->CsvBytes(why);
        QCOMPARE(tab.count("\r\n"), c.rows);
        // The file of the run the study window studies.
        const std::vector<std::string> args = {"indices", window.LastRun()->wave.path, "batch.csv"};
        std::ostringstream out, err;
        QCOMPARE(batch::RunBatch(args, out, err), 0);
        QCOMPARE(QString::fromStdString(err.str()), QString());
        QVERIFY2(tab == ReadAll(dir.filePath(QStringLiteral("batch.csv"))), c.confirmed);
        study->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

QTEST_MAIN(BatchAgreementTest)
#include "BatchAgreementTest.moc"
