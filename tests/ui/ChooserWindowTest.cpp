// The chooser windows and the file commands of the main window: layout, the linked lists,
// confirming a wave file, the earthquake run, and saving. Message boxes are scripted.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "runtime/TextEncoding.h"
#include "ui/ChooserWindows.h"
#include "ui/FormChecks.h"
#include "ui/MainControls.h"
#include "ui/MainWindow.h"
#include "ui/ScriptedMessages.h"
#include "ui/StudyFixture.h"

using namespace kestrel;
using kestrel::test::ScriptedMessages;

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A wave file: the time step, then the samples, one number a line.
QByteArray WaveText(const char* timeStep, int samples) {
    QByteArray text = QByteArray(timeStep) + "\n";
    for (int k = 0; k < samples; ++k) text += QByteArray::number(10 * (k % 7) - 30) + "\n";
    return text;
}

}  // namespace

class ChooserWindowTest : public QObject {
    Q_OBJECT

private:
    using Fixture = test::WindowFixture;

    static WaveSelectWindow* WaveChooser() { return test::TopLevel<WaveSelectWindow>(); }
    static SaveSelectWindow* SaveChooser() { return test::TopLevel<SaveSelectWindow>(); }

private slots:
    void layoutsKeepEveryCaptionWholeAndApart();
    void listsAreLinked();
    void waveChooserShowsAndReturns();
    void confirmingAWaveFileSetsTheBoxes();
    void badWaveFilesChangeNothing();
    void earthquakeRunReadsTheFileAgain();
    void saveWritesBothFilesAndUsesUpTheDestination();
    void failedSaveKeepsTheDestination();
    void onlyACompletedRunIsSaved();
    void saveChooserButtons();
    void unreadableDriveKeepsTheLists();
    void goneCurrentFolderOpensAtHome();
    void saveChooserKeepsTheTypedName();
    void pickingTheShownDriveKeepsTheFolder();
    void cp932NamesAreListedAndOpened();
};

void ChooserWindowTest::layoutsKeepEveryCaptionWholeAndApart() {
    ScriptedMessages messages;
    WaveSelectWindow wave(messages);
    QCOMPARE(wave.windowTitle(), QStringLiteral("入力波選択"));
    QCOMPARE(wave.size(), QSize(410, 288));
    const kestrel::test::NamedCaption waveControls[] = {
        {"lblFileName", "ファイル名(&N)："},
        {"txtFileName", ""},
        {"Drive1", ""},
        {"Dir1", ""},
        {"File1", ""},
        {"cmdOK", "選択する(&Y)"},
    };
    kestrel::test::CheckControlsWholeAndApart(wave, waveControls);
    const char* const waveOrder[] = {"Drive1", "Dir1", "File1", "txtFileName", "cmdOK"};
    kestrel::test::CheckTabOrder(wave, waveOrder);

    SaveSelectWindow save(messages);
    QCOMPARE(save.windowTitle(), QStringLiteral("保存先選択"));
    QCOMPARE(save.size(), QSize(412, 280));
    const kestrel::test::NamedCaption saveControls[] = {
        {"lblFileName", "ファイル名(&N)："},
        {"txtFileName", ""},
        {"Drive1", ""},
        {"Dir1", ""},
        {"File1", ""},
        {"Command1", "選択する(&Y)"},
        {"Command2", "選択しない(&N)"},
    };
    kestrel::test::CheckControlsWholeAndApart(save, saveControls);
    const char* const saveOrder[] = {"Drive1",   "txtFileName", "File1",
                                     "Command1", "Command2",    "Dir1"};
    kestrel::test::CheckTabOrder(save, saveOrder);
}

void ChooserWindowTest::listsAreLinked() {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    WriteFile(dir.filePath(QStringLiteral("a.txt")), "0.01\n1\n");
    WriteFile(dir.filePath(QStringLiteral("sub/b.txt")), "0.01\n1\n");
    ScriptedMessages messages;
    WaveSelectWindow wave(messages);
    QVERIFY(wave.Dir1->SetPath(dir.path()));
    QCOMPARE(wave.File1->Path(), QDir(dir.path()).absolutePath());
    QCOMPARE(wave.File1->count(), 1);
    wave.File1->setCurrentRow(0);
    QCOMPARE(wave.txtFileName->text(), QStringLiteral("a.txt"));
    // Opening a subfolder changes the files but keeps the name.
    QListWidgetItem* sub = wave.Dir1->findItems(QStringLiteral("sub"), Qt::MatchEndsWith).value(0);
    QVERIFY(sub);
    emit wave.Dir1->itemDoubleClicked(sub);
    QCOMPARE(wave.File1->Path(), dir.filePath(QStringLiteral("sub")));
    QCOMPARE(wave.File1->item(0)->text(), QStringLiteral("b.txt"));
    QCOMPARE(wave.txtFileName->text(), QStringLiteral("a.txt"));
}

void ChooserWindowTest::waveChooserShowsAndReturns() {
    Fixture f;
    QVERIFY(!WaveChooser());  // created only when first touched
    f.ui.cmdWave->click();
    QVERIFY(WaveChooser() && WaveChooser()->isVisible());
    QVERIFY(!f.window.isVisible());
    QCOMPARE(WaveChooser()->Dir1->Path(), QDir(f.dir.path()).absolutePath());
    // The close box discards the chooser and brings the main window back.
    WaveChooser()->close();
    QVERIFY(f.window.isVisible());
    QTRY_VERIFY(!WaveChooser());
}

void ChooserWindowTest::confirmingAWaveFileSetsTheBoxes() {
    struct Case {
        const char* timeStep;
        int samples;
        const char* duration;
    };
    const Case cases[] = {{"0.02", 1500, "30"}, {"0.01", 2999, "29.99"}, {"0.01", 0, "0"}};
    for (const Case& c : cases) {
        Fixture f;
        WriteFile(f.dir.filePath(QStringLiteral("wave1.txt")), WaveText(c.timeStep, c.samples));
        f.ui.cmdWave->click();
        WaveChooser()->Dir1->SetPath(f.dir.path());
        WaveChooser()->File1->setCurrentRow(0);
        WaveChooser()->cmdOK->click();
        QCOMPARE(f.ui.txtTs->text(), QString::fromLatin1(c.timeStep));
        QCOMPARE(f.ui.txtTl->text(), QString::fromLatin1(c.duration));
        QCOMPARE(f.messages.shown.size(), std::size_t{2});
        QCOMPARE(f.messages.shown[0].prompt, QStringLiteral("分割時間を変更しないで下さい。"));
        QCOMPARE(f.messages.shown[0].title, QStringLiteral("分割時間変更禁止"));
        QCOMPARE(f.messages.shown[1].prompt,
                 QStringLiteral("解析時間を %1 秒に設定しました。").arg(c.duration));
        QCOMPARE(f.messages.shown[1].title, QStringLiteral("解析時間の設定"));
        QVERIFY(f.window.isVisible());
        QVERIFY(!WaveChooser()->isVisible());
        // Reopening shows the same folder and name.
        f.ui.cmdWave->click();
        QCOMPARE(WaveChooser()->txtFileName->text(), QStringLiteral("wave1.txt"));
        WaveChooser()->close();
    }
}

void ChooserWindowTest::badWaveFilesChangeNothing() {
    const QByteArray bad[] = {"", "0\n1\n2\n", "0.01\nabc\n", "0.01\n1,,2\n"};
    for (const QByteArray& content : bad) {
        Fixture f;
        WriteFile(f.dir.filePath(QStringLiteral("bad.txt")), content);
        f.ui.cmdWave->click();
        WaveChooser()->txtFileName->setText(QStringLiteral("bad.txt"));
        WaveChooser()->cmdOK->click();
        QCOMPARE(f.messages.shown.size(), std::size_t{1});
        QCOMPARE(f.messages.shown[0].style, int{kOkExclamation});
        QVERIFY(WaveChooser()->isVisible());
        QCOMPARE(f.ui.txtTs->text(), QStringLiteral("0.01"));
        QCOMPARE(f.ui.txtTl->text(), QStringLiteral("10"));
        WaveChooser()->close();
    }
    Fixture f;
    f.ui.cmdWave->click();
    WaveChooser()->cmdOK->click();  // no name
    QCOMPARE(f.messages.shown.back().prompt,
             QStringLiteral("地震波ファイルが選択されていません。"));
    QCOMPARE(f.messages.shown.back().title, QStringLiteral("解析不能"));
    QVERIFY(WaveChooser()->isVisible());
    WaveChooser()->close();
}

void ChooserWindowTest::earthquakeRunReadsTheFileAgain() {
    Fixture f;
    f.ui.chkPicture->setChecked(false);
    f.ui.optSelect->setChecked(true);
    // No file chosen: the run ends with the message and computes nothing.
    f.ui.cmdStart->click();
    QCOMPARE(f.messages.Prompts(),
             QStringList{QStringLiteral("地震波ファイルが選択されていません。")});
    QVERIFY(!f.window.HeldRun());
    QVERIFY(!f.window.isHidden());

    WriteFile(f.dir.filePath(QStringLiteral("wave1.txt")), WaveText("0.02", 1500));
    f.ui.cmdWave->click();
    WaveChooser()->txtFileName->setText(QStringLiteral("wave1.txt"));
    WaveChooser()->cmdOK->click();
    f.messages.shown.clear();
    f.ui.cmdStart->click();
    QCOMPARE(f.messages.Prompts(), QStringList{QStringLiteral("終了しました。")});
    QVERIFY(f.window.HeldRun());
    const Response& response = f.window.HeldRun()->response;
    QCOMPARE(response.completedPoints(), 1502);
    QCOMPARE(response.ground()[0], -30.0);
    QVERIFY(response.peaks().displacement > 0);
    QCOMPARE(f.window.HeldRun()->excitation(), ExcitationCase::Earthquake);
    QCOMPARE(QString::fromStdString(f.window.HeldRun()->wave.path),
             QDir(f.dir.path()).absoluteFilePath(QStringLiteral("wave1.txt")));

    // Deleted after it was chosen: a message, and no response from a missing record.
    QFile::remove(f.dir.filePath(QStringLiteral("wave1.txt")));
    f.messages.shown.clear();
    f.ui.cmdStart->click();
    QCOMPARE(f.messages.shown.size(), std::size_t{1});
    QCOMPARE(f.messages.shown[0].style, int{kOkExclamation});
    QVERIFY(!f.window.HeldRun());
}

void ChooserWindowTest::saveWritesBothFilesAndUsesUpTheDestination() {
    Fixture f;
    f.ui.chkPicture->setChecked(false);
    f.ui.cmdStart->click();
    f.messages.shown.clear();

    f.ui.cmdSave->click();
    QCOMPARE(f.messages.Prompts(), QStringList{QStringLiteral("保存先が選択されていません")});
    QCOMPARE(f.messages.shown[0].title, QStringLiteral("データの保存"));

    f.ui.cmdSelect->click();
    QVERIFY(SaveChooser()->isVisible());
    QVERIFY(!f.window.isVisible());
    SaveChooser()->txtFileName->setText(QStringLiteral("結果 1"));
    SaveChooser()->Command1->click();
    QVERIFY(f.window.isVisible());
    f.messages.shown.clear();
    f.ui.cmdSave->click();
    QCOMPARE(f.messages.Prompts(), QStringList{QStringLiteral("保存終了しました。")});
    QVERIFY(QFile::exists(f.dir.filePath(QStringLiteral("結果 1(建物パラメータ).csv"))));
    QFile history(f.dir.filePath(QStringLiteral("結果 1(時刻暦応答).csv")));
    QVERIFY(history.open(QIODevice::ReadOnly));
    QCOMPARE(history.readAll().count("\r\n"), 1002);  // header and 1001 rows
    QTRY_VERIFY(!SaveChooser());

    f.messages.shown.clear();
    f.ui.cmdSave->click();
    QCOMPARE(f.messages.Prompts(), QStringList{QStringLiteral("保存先が選択されていません")});
}

void ChooserWindowTest::failedSaveKeepsTheDestination() {
    Fixture f;
    f.ui.chkPicture->setChecked(false);
    f.ui.cmdStart->click();
    f.messages.shown.clear();
    f.ui.cmdSelect->click();
    SaveChooser()->txtFileName->setText(QStringLiteral("a/b"));  // a separator in the name
    SaveChooser()->Command1->click();
    f.ui.cmdSave->click();
    QCOMPARE(f.messages.shown.size(), std::size_t{1});
    QCOMPARE(f.messages.shown[0].style, int{kOkExclamation});
    QVERIFY(SaveChooser());
    QCOMPARE(SaveChooser()->txtFileName->text(), QStringLiteral("a/b"));

    // A folder that has gone since it was chosen.
    QDir(f.dir.path()).mkdir(QStringLiteral("gone"));
    f.ui.cmdSelect->click();
    SaveChooser()->Dir1->SetPath(f.dir.filePath(QStringLiteral("gone")));
    SaveChooser()->txtFileName->setText(QStringLiteral("x"));
    SaveChooser()->Command1->click();
    QDir(f.dir.path()).rmdir(QStringLiteral("gone"));
    f.messages.shown.clear();
    f.ui.cmdSave->click();
    QCOMPARE(f.messages.shown.size(), std::size_t{1});
    QVERIFY(f.messages.shown[0].prompt != QStringLiteral("保存終了しました。"));
    QVERIFY(SaveChooser());

    // A named pipe where the history file goes is named, with the reason, and stays one.
    const QString pipe = f.dir.filePath(QStringLiteral("pipe(時刻暦応答).csv"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    SaveChooser()->Dir1->SetPath(f.dir.path());
    SaveChooser()->txtFileName->setText(QStringLiteral("pipe"));
    SaveChooser()->Command1->click();
    f.messages.shown.clear();
    f.ui.cmdSave->click();
    QCOMPARE(
        f.messages.Prompts(),
        QStringList{QStringLiteral("ファイル「%1」を保存できませんでした。\n理由：通常のファイル"
                                   "ではありません。")
                        .arg(pipe)});
    struct stat info {};
    QVERIFY(::lstat(QFile::encodeName(pipe).constData(), &info) == 0 && S_ISFIFO(info.st_mode));
    QVERIFY(!QFile::exists(f.dir.filePath(QStringLiteral("pipe(建物パラメータ).csv"))));
}

void ChooserWindowTest::onlyACompletedRunIsSaved() {
    // After a good run, each of these but the first leaves no completed run to save.
    struct Case {
        std::function<void(test::MainControls&)> then;  // none: no run at all
        bool saved;
    };
    const Case cases[] = {
        {[](test::MainControls&) {}, true},
        {[](test::MainControls& w) {  // an earthquake run without a wave file
             w.optSelect->setChecked(true);
             w.cmdStart->click();
         },
         false},
        {[](test::MainControls& w) {  // a run that grows until it overflows
             w.txtTs->setText(QStringLiteral("0.3"));
             w.txtTl->setText(QStringLiteral("9000"));
             w.txtH->setText(QStringLiteral("0"));
             w.cmdStart->click();
         },
         false},
        {[](test::MainControls& w) {  // a fault in the inputs
             w.txtK->setText(QStringLiteral("0"));
             w.cmdStart->click();
         },
         false},
        {nullptr, false},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.ui.chkPicture->setChecked(false);
        f.ui.optDis->setChecked(true);
        if (c.then) f.ui.cmdStart->click();
        f.ui.cmdSelect->click();
        SaveChooser()->txtFileName->setText(QStringLiteral("kekka"));
        SaveChooser()->Command1->click();
        if (c.then) c.then(f.ui);
        QCOMPARE(f.window.HeldRun() != nullptr, c.saved);
        f.messages.shown.clear();
        f.ui.cmdSave->click();
        QCOMPARE(f.messages.shown.size(), std::size_t{1});
        QCOMPARE(f.messages.shown[0].title, QStringLiteral("データの保存"));
        const QString path = f.dir.filePath(QStringLiteral("kekka(時刻暦応答).csv"));
        if (c.saved) {
            QCOMPARE(f.messages.shown[0].prompt, QStringLiteral("保存終了しました。"));
            QVERIFY(QFile::exists(path));
            continue;
        }
        QCOMPARE(f.messages.shown[0].style, int{kOkExclamation});
        QVERIFY(
            f.messages.shown[0].prompt.contains(QStringLiteral("保存できる解析結果がありません")));
        QVERIFY(QDir(f.dir.path()).entryList(QDir::Files).isEmpty());
        QVERIFY(SaveChooser());  // the destination is kept for the next completed run
    }
}

void ChooserWindowTest::saveChooserButtons() {
    Fixture f;
    f.ui.cmdSelect->click();
    SaveChooser()->txtFileName->setText(QStringLiteral("a"));
    SaveChooser()->Command2->click();  // "選択しない": the destination is dropped
    QVERIFY(f.window.isVisible());
    QTRY_VERIFY(!SaveChooser());
    f.ui.cmdSelect->click();
    QCOMPARE(SaveChooser()->txtFileName->text(), QString());
    SaveChooser()->Command1->click();  // empty name: no message here
    QVERIFY(f.messages.shown.empty());
    QVERIFY(f.window.isVisible());
}

void ChooserWindowTest::unreadableDriveKeepsTheLists() {
    QTemporaryDir dir;
    ScriptedMessages messages;
    WaveSelectWindow wave(messages);
    QVERIFY(wave.Dir1->SetPath(dir.path()));
    wave.Drive1->SetDrives({{dir.path(), QStringLiteral("here")},
                            {QStringLiteral("/nonexistent/floppy"), QStringLiteral("floppy")}});
    wave.Drive1->setCurrentIndex(1);
    wave.Drive1_Change();
    QCOMPARE(messages.Prompts(),
             QStringList{QStringLiteral("フロッピーディスクをセットして下さい。")});
    QCOMPARE(messages.shown[0].title, QStringLiteral("フロッピー未搬入"));
    QCOMPARE(messages.shown[0].style, int{kOkExclamation});
    QCOMPARE(wave.Dir1->Path(), QDir(dir.path()).absolutePath());
    QCOMPARE(wave.Drive1->currentIndex(), 1);
    QCOMPARE(messages.endings, 0);
}

void ChooserWindowTest::goneCurrentFolderOpensAtHome() {
    const QString before = QDir::currentPath();
    {
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
    }  // the folder is removed while it is still the current one
    ScriptedMessages messages;
    SaveSelectWindow save(messages);
    QCOMPARE(save.Dir1->Path(), QDir::homePath());
    QCOMPARE(save.File1->Path(), QDir::homePath());
    QDir::setCurrent(before);
}

void ChooserWindowTest::saveChooserKeepsTheTypedName() {
    enum class Act { TabIntoList, ClickEmptySpace, ClickFile, TabThenDown };
    struct Case {
        Act act;
        int row;  // the file clicked
        const char* name;
    };
    // Listed in this order.
    const char* const files[] = {"aaa(建物パラメータ).csv", "aaa(時刻暦応答).csv", "data.txt"};
    const Case cases[] = {
        {Act::TabIntoList, 0, "kekka"},
        {Act::ClickEmptySpace, 0, "kekka"},
        {Act::ClickFile, 0, "aaa"},
        {Act::ClickFile, 1, "aaa"},
        {Act::ClickFile, 2, "data.txt"},
        {Act::TabThenDown, 0, "aaa"},  // the arrow key selects the second file
    };
    for (const Case& c : cases) {
        Fixture f;
        for (const char* name : files) WriteFile(f.dir.filePath(QString::fromUtf8(name)), "1\n");
        f.ui.cmdSelect->click();
        SaveSelectWindow& save = *SaveChooser();
        QVERIFY(QTest::qWaitForWindowActive(&save));
        QCOMPARE(save.File1->count(), 3);
        QCOMPARE(save.File1->item(2)->text(), QStringLiteral("data.txt"));
        save.txtFileName->setFocus();
        QTest::keyClicks(save.txtFileName, QStringLiteral("kekka"));
        QWidget* viewport = save.File1->viewport();
        switch (c.act) {
            case Act::TabIntoList:
            case Act::TabThenDown:
                QTest::keyClick(save.txtFileName, Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), save.File1);
                if (c.act == Act::TabThenDown) QTest::keyClick(save.File1, Qt::Key_Down);
                break;
            case Act::ClickEmptySpace:
                QTest::mouseClick(viewport, Qt::LeftButton, {},
                                  QPoint(10, viewport->height() - 10));
                break;
            case Act::ClickFile:
                QTest::mouseClick(viewport, Qt::LeftButton, {},
                                  save.File1->visualItemRect(save.File1->item(c.row)).center());
                break;
        }
        QCOMPARE(save.txtFileName->text(), QString::fromUtf8(c.name));
    }
}

void ChooserWindowTest::pickingTheShownDriveKeepsTheFolder() {
    QTemporaryDir first;
    QTemporaryDir second;
    for (const QTemporaryDir* d : {&first, &second}) QDir(d->path()).mkpath(QStringLiteral("a/b"));
    struct Case {
        const QTemporaryDir* openIn;  // the open folder is a/b inside this drive
        int picked;
        QString opens;
    };
    const Case cases[] = {
        {&first, 0, first.filePath(QStringLiteral("a/b"))},
        {&first, 1, second.path()},
        {&second, 1, second.filePath(QStringLiteral("a/b"))},
        {&second, 0, first.path()},
    };
    for (const Case& c : cases) {
        ScriptedMessages messages;
        WaveSelectWindow wave(messages);
        wave.Drive1->SetDrives(
            {{first.path(), QStringLiteral("first")}, {second.path(), QStringLiteral("second")}});
        QVERIFY(wave.Dir1->SetPath(c.openIn->filePath(QStringLiteral("a/b"))));
        wave.Drive1->ShowDriveOf(wave.Dir1->Path());
        wave.Drive1->setCurrentIndex(c.picked);
        emit wave.Drive1->activated(c.picked);  // as the user's pick raises it
        QCOMPARE(wave.Dir1->Path(), QDir(c.opens).absolutePath());
        QCOMPARE(wave.File1->Path(), QDir(c.opens).absolutePath());
        QVERIFY(messages.shown.empty());
    }
}

void ChooserWindowTest::cp932NamesAreListedAndOpened() {
    // Names as CP932 bytes, as archives made on Windows unpack them.
    const QByteArray folder = QByteArray::fromStdString(*Utf8ToCp932("観測点"));
    const QByteArray file = QByteArray::fromStdString(*Utf8ToCp932("地震波.txt"));
    struct Case {
        QByteArray folder;  // inside the current folder; empty: the current folder itself
        QByteArray file;
        QString shownFolder;
        QString shownFile;
    };
    const Case cases[] = {
        {{}, file, {}, QStringLiteral("地震波.txt")},
        {folder, "wave.txt", QStringLiteral("観測点"), QStringLiteral("wave.txt")},
        {folder, file, QStringLiteral("観測点"), QStringLiteral("地震波.txt")},
    };
    for (const Case& c : cases) {
        Fixture f;
        const QByteArray top = QFile::encodeName(QDir(f.dir.path()).absolutePath());
        const QByteArray where = c.folder.isEmpty() ? top : top + '/' + c.folder;
        QVERIFY(c.folder.isEmpty() || ::mkdir(where.constData(), 0755) == 0);
        const QByteArray path = where + '/' + c.file;
        const QByteArray content = WaveText("0.02", 100);
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, content.constData(), content.size()), content.size());
        ::close(fd);

        f.ui.cmdWave->click();
        WaveSelectWindow& wave = *WaveChooser();
        if (!c.folder.isEmpty()) {
            const auto items = wave.Dir1->findItems(c.shownFolder, Qt::MatchEndsWith);
            QCOMPARE(items.size(), 1);
            emit wave.Dir1->itemDoubleClicked(items[0]);
            QCOMPARE(wave.Dir1->Path(), QDir(f.dir.path()).absolutePath() + '/' + c.shownFolder);
            QCOMPARE(wave.Dir1->PathBytes(), where);
        }
        const auto files = wave.File1->findItems(c.shownFile, Qt::MatchExactly);
        QCOMPARE(files.size(), 1);
        wave.File1->setCurrentItem(files[0]);
        QCOMPARE(wave.txtFileName->text(), c.shownFile);
        wave.cmdOK->click();
        QCOMPARE(f.ui.txtTl->text(), QStringLiteral("2"));  // 100 steps of 0.02 s

        f.ui.chkPicture->setChecked(false);
        f.ui.optSelect->setChecked(true);
        f.messages.shown.clear();
        f.ui.cmdStart->click();
        QCOMPARE(f.messages.Prompts(), QStringList{QStringLiteral("終了しました。")});
        QVERIFY(f.window.HeldRun());
        QCOMPARE(QByteArray::fromStdString(f.window.HeldRun()->wave.path), path);
    }
}

QTEST_MAIN(ChooserWindowTest)
#include "ChooserWindowTest.moc"
