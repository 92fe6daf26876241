// The main window: its layout (every caption whole, nothing covered), the commands, the exit
// question, the access keys and every box's bad input. Message boxes are scripted.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "runtime/Conversions.h"
#include "ui/FormChecks.h"
#include "ui/MainControls.h"
#include "ui/MainWindow.h"
#include "ui/RunForm.h"
#include "ui/ScriptedMessages.h"

using namespace kestrel;
using kestrel::test::ScriptedMessages;

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    struct Fixture {
        ScriptedMessages messages;
        MainWindow window{messages};
        test::MainControls ui{window};
    };

private slots:
    void layoutKeepsEveryCaptionWholeAndApart();
    void startsWithTheInitialState();
    void naturalPeriodCommand();
    void runWithoutAnimationEndsWithTheMessage();
    void faultsAreReportedAndNothingFollows();
    void exitQuestion();
    void closeBoxAsksTheSameQuestion();
    void accessKeys();
    void badInputInEveryBox();
    void excitationGroupKeyboard();
    void frameCaptionsSitInTheFrameLine();
};

// Every control of the main window with what it shows.
const test::NamedCaption kControls[] = {
    // clang-format off
    {"Frame1", "初期設定"}, {"Frame2", "外力選択"}, {"lblK", "剛性(kN/㎝)："},
    {"lblM", "質量(kg)："}, {"lblH", "減衰定数(%)："}, {"lblTs", "分割時間(s)："},
    {"lblTl", "解析時間(s)："}, {"txtK", "300"}, {"txtW", "100000"}, {"txtH", "2"},
    {"txtTs", "0.01"}, {"txtTl", "10"}, {"optDis", "初期変位(㎝)"}, {"optVel", "初期速度(㎝/s)"},
    {"optOrgCycle", "定常波(加速度)固有周期(s)"}, {"optSelect", "地震波"},
    {"optOrgCycleDis", "定常波(変位)固有周期(s)"}, {"txtFirstDis", "5"}, {"txtFirstVel", "30"},
    {"txtOrgCycle", "1"}, {"lblSinMax", "定常波最大値(cm/s2)："}, {"txtCacMax", "300"},
    {"txtOrgCycleDis", "1"}, {"lblDisMax", "定常波最大値(cm)："}, {"txtDisMax", "1"},
    {"cmdWave", "地震波選択"}, {"Label6", "建物固有周期(s)："}, {"lblOrgCycle", "0"},
    {"chkPicture", "動画表示"}, {"cmdStudy", "結果の検討(&R)"}, {"cmdCycle", "固有周期の表示"},
    {"cmdStart", "解析開始(&A)"}, {"cmdSelect", "保存先選択(&C)"}, {"cmdSave", "保存(&S)"},
    {"cmdExit", "終了(&X)"},
    // clang-format on
};

void MainWindowTest::layoutKeepsEveryCaptionWholeAndApart() {
    Fixture f;
    MainWindow& w = f.window;
    const test::MainControls& c = f.ui;
    QCOMPARE(w.windowTitle(), QStringLiteral("Kestrel(線形加速度法)"));
    QCOMPARE(w.size(), QSize(550, 260));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QVERIFY(!(w.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(w.font().pointSize(), 9);
    QVERIFY(w.font().families().contains(QStringLiteral("IPAGothic")));
    QCOMPARE(w.font().families().first(), QStringLiteral("ＭＳ ゴシック"));

    test::CheckControlsWholeAndApart(w, kControls);
    // Boxes and their labels align to the right, each label on its box's row, left of it.
    for (QLineEdit* box : w.findChildren<QLineEdit*>()) QVERIFY(box->alignment() & Qt::AlignRight);
    const std::pair<QLabel*, QLineEdit*> labelled[] = {
        {c.lblK, c.txtK},           {c.lblM, c.txtW},   {c.lblH, c.txtH},
        {c.lblTs, c.txtTs},         {c.lblTl, c.txtTl}, {c.lblSinMax, c.txtCacMax},
        {c.lblDisMax, c.txtDisMax},
    };
    for (const auto& [label, box] : labelled) {
        QVERIFY2(label->alignment() & Qt::AlignRight, qPrintable(label->objectName()));
        QVERIFY2(label->geometry().right() < box->x(), qPrintable(label->objectName()));
        QCOMPARE(label->y(), box->y());
    }
    // Controls inside the frames belong to them.
    QCOMPARE(c.txtK->parentWidget(), c.Frame1);
    QCOMPARE(c.optSelect->parentWidget(), c.Frame2);
    QCOMPARE(c.cmdWave->parentWidget(), c.Frame2);

    // Tab order: by the written tab indices, labels and frames skipped.
    const char* const order[] = {
        "txtK",           "txtW",           "txtH",        "txtTs",     "txtTl",
        "optDis",         "optVel",         "optOrgCycle", "optSelect", "txtFirstDis",
        "txtFirstVel",    "txtOrgCycle",    "cmdStart",    "cmdSelect", "cmdSave",
        "cmdExit",        "cmdWave",        "chkPicture",  "txtCacMax", "cmdCycle",
        "optOrgCycleDis", "txtOrgCycleDis", "txtDisMax",
    };
    test::CheckTabOrder(w, order);
}

void MainWindowTest::startsWithTheInitialState() {
    Fixture f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    QCOMPARE(QApplication::focusWidget(), f.ui.txtK);
    QVERIFY(f.ui.optOrgCycle->isChecked());
    QVERIFY(f.ui.chkPicture->isChecked());
    QCOMPARE(f.ui.lblOrgCycle->text(), QStringLiteral("0"));
    QVERIFY(!f.ui.Timer1->isActive());
    QCOMPARE(f.window.Form().SelectedCase(), ExcitationCase::SteadyAcceleration);
    f.ui.optDis->click();
    QVERIFY(!f.ui.optOrgCycle->isChecked());
    QCOMPARE(f.window.Form().SelectedCase(), ExcitationCase::InitialDisplacement);
}

void MainWindowTest::naturalPeriodCommand() {
    Fixture f;
    QTest::mouseClick(f.ui.cmdCycle, Qt::LeftButton);
    QCOMPARE(f.ui.lblOrgCycle->text(), QStringLiteral("0.362832446594252"));
    QVERIFY(f.messages.shown.empty());

    // A fault keeps the earlier caption and says what to check.
    f.ui.txtH->setText(QStringLiteral("100"));
    f.ui.cmdCycle->click();
    QCOMPARE(f.ui.lblOrgCycle->text(), QStringLiteral("0.362832446594252"));
    QCOMPARE(f.messages.shown.size(), std::size_t{1});
    QCOMPARE(f.messages.shown[0].style, int{kOkExclamation});
    QVERIFY(f.messages.shown[0].prompt.contains(QStringLiteral("減衰定数")));
}

void MainWindowTest::runWithoutAnimationEndsWithTheMessage() {
    Fixture f;
    f.ui.chkPicture->setChecked(false);
    f.ui.optDis->setChecked(true);
    f.ui.cmdStart->click();
    QCOMPARE(f.messages.shown.size(), std::size_t{1});
    QCOMPARE(f.messages.shown[0].prompt, QStringLiteral("終了しました。"));
    QCOMPARE(f.messages.shown[0].title, QStringLiteral("解析終了"));
    QCOMPARE(f.messages.shown[0].style, int{kOkInformation});
    QCOMPARE(f.ui.lblOrgCycle->text(), QStringLiteral("0.362832446594252"));
    QVERIFY(f.window.HeldRun());
    QCOMPARE(f.window.HeldRun()->response.completedPoints(), 1002);
    QVERIFY(!f.ui.Timer1->isActive());
}

void MainWindowTest::faultsAreReportedAndNothingFollows() {
    struct Case {
        QLineEdit* test::MainControls::*box;
        const char* text;
        const char* mentions;  // the input the message asks the user to check
        bool periodShown;      // the fault comes after the period caption is set
    };
    const Case cases[] = {
        {&test::MainControls::txtK, "0", "剛性", false},
        {&test::MainControls::txtW, "0", "質量", false},
        {&test::MainControls::txtH, "100", "減衰定数", false},
        {&test::MainControls::txtTs, "0", "分割時間", false},
        {&test::MainControls::txtTl, "400", "解析時間", false},
        {&test::MainControls::txtTl, "-1", "解析時間", true},
        {&test::MainControls::txtOrgCycle, "0", "周期", true},
        {&test::MainControls::txtTs, "0.3", "分割時間",
         true},  // unstable: grows until it overflows
    };
    for (const Case& c : cases) {
        Fixture f;
        f.ui.chkPicture->setChecked(false);
        if (std::string(c.text) == "0.3") {
            f.ui.txtTl->setText(QStringLiteral("9000"));
            f.ui.txtH->setText(QStringLiteral("0"));
            f.ui.optDis->setChecked(true);
        }
        (f.ui.*c.box)->setText(QString::fromUtf8(c.text));
        f.ui.cmdStart->click();
        QCOMPARE(f.messages.shown.size(), std::size_t{1});
        const auto& m = f.messages.shown[0];
        QCOMPARE(m.style, int{kOkExclamation});
        QCOMPARE(m.title, QStringLiteral("解析エラー"));
        QVERIFY2(m.prompt.contains(QString::fromUtf8(c.mentions)), qPrintable(m.prompt));
        QCOMPARE(f.ui.lblOrgCycle->text() != QStringLiteral("0"), c.periodShown);
        QVERIFY(!f.ui.Timer1->isActive());
    }
}

void MainWindowTest::exitQuestion() {
    Fixture f;
    f.messages.answers = {kAnswerNo};
    f.ui.txtK->setText(QStringLiteral("123"));
    f.ui.cmdExit->click();
    QCOMPARE(f.messages.shown.back().prompt, QStringLiteral("終了しますか？"));
    QCOMPARE(f.messages.shown.back().title, QStringLiteral("プログラムの終了"));
    QCOMPARE(f.messages.shown.back().style, int{kYesNoQuestion});
    QCOMPARE(f.messages.beeps, 1);
    QCOMPARE(f.messages.endings, 0);
    QCOMPARE(f.ui.txtK->text(), QStringLiteral("123"));

    f.messages.answers = {kAnswerYes};
    f.ui.cmdExit->click();
    QCOMPARE(f.messages.endings, 1);
    QCOMPARE(f.messages.beeps, 1);
}

void MainWindowTest::closeBoxAsksTheSameQuestion() {
    Fixture f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    f.messages.answers = {kAnswerNo};
    QVERIFY(!f.window.close());  // refused: the window stays
    QVERIFY(f.window.isVisible());
    QCOMPARE(f.messages.shown.back().prompt, QStringLiteral("終了しますか？"));
    QCOMPARE(f.messages.beeps, 1);
    f.messages.answers = {kAnswerYes};
    f.window.close();
    QCOMPARE(f.messages.endings, 1);
}

void MainWindowTest::accessKeys() {
    Fixture f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    f.ui.chkPicture->setChecked(false);

    auto press = [](Qt::Key key) {
        QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
    };
    // An access key presses its button as a click would, after a short animation.
    press(Qt::Key_A);
    QTRY_COMPARE(f.messages.Prompts().value(0), QStringLiteral("終了しました。"));

    QSignalSpy select(f.ui.cmdSelect, &QPushButton::clicked);
    QSignalSpy save(f.ui.cmdSave, &QPushButton::clicked);
    press(Qt::Key_C);
    QTRY_COMPARE(select.count(), 1);
    f.window.show();  // the chooser may have hidden the main window
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    press(Qt::Key_S);
    QTRY_COMPARE(save.count(), 1);

    f.messages.answers = {kAnswerNo};
    press(Qt::Key_X);
    QTRY_VERIFY(f.messages.Prompts().contains(QStringLiteral("終了しますか？")));
}

void MainWindowTest::badInputInEveryBox() {
    const char* const texts[] = {"abc", "   ", "", "1e400", "-5", "12\n34", "1e-400", "３００"};
    QLineEdit* test::MainControls::*const boxes[] = {
        &test::MainControls::txtK,        &test::MainControls::txtW,
        &test::MainControls::txtH,        &test::MainControls::txtTs,
        &test::MainControls::txtTl,       &test::MainControls::txtFirstDis,
        &test::MainControls::txtFirstVel, &test::MainControls::txtOrgCycle,
        &test::MainControls::txtCacMax,   &test::MainControls::txtOrgCycleDis,
        &test::MainControls::txtDisMax,
    };
    QRadioButton* test::MainControls::*const options[] = {
        &test::MainControls::optDis, &test::MainControls::optVel, &test::MainControls::optOrgCycle,
        &test::MainControls::optOrgCycleDis};
    Fixture f;
    f.ui.chkPicture->setChecked(false);
    for (auto option : options) {
        for (auto box : boxes) {
            for (const char* text : texts) {
                const QString before = (f.ui.*box)->text();
                (f.ui.*box)->setText(QString::fromUtf8(text));
                (f.ui.*option)->setChecked(true);
                f.messages.shown.clear();
                f.ui.cmdStart->click();
                f.ui.cmdCycle->click();
                for (const auto& m : f.messages.shown) {
                    QVERIFY2(
                        m.prompt == QStringLiteral("終了しました。") || m.style == kOkExclamation,
                        qPrintable(m.prompt));
                }
                const QString period = f.ui.lblOrgCycle->text();
                QVERIFY2(StrictNumber(period.toStdString()).has_value(), qPrintable(period));
                QVERIFY(!period.contains(QStringLiteral("nan"), Qt::CaseInsensitive));
                QVERIFY(!period.contains(QStringLiteral("inf"), Qt::CaseInsensitive));
                (f.ui.*box)->setText(before);
            }
        }
    }
}

void MainWindowTest::excitationGroupKeyboard() {
    struct Case {
        const char* on;         // the option button that is on
        const char* from;       // Tab is pressed here...
        const char* tabbedTo;   // ...and lands here
        Qt::Key arrow;          // then this arrow key (none: Key_unknown)...
        const char* arrowedTo;  // ...moves to this button and switches it on
        const char* leftTo;     // and Tab leaves the group here
    };
    const Case cases[] = {
        {"optOrgCycle", "txtTl", "optOrgCycle", Qt::Key_Down, "optOrgCycleDis", "txtOrgCycleDis"},
        {"optDis", "txtTl", "optDis", Qt::Key_Down, "optVel", "txtFirstDis"},
        {"optSelect", "txtTl", "optSelect", Qt::Key_Up, "optOrgCycleDis", "txtOrgCycleDis"},
        {"optOrgCycleDis", "cmdCycle", "optOrgCycleDis", Qt::Key_Up, "optOrgCycle", "txtFirstDis"},
        {"optOrgCycleDis", "txtTl", "txtFirstDis", Qt::Key_unknown, "", ""},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        auto find = [&](const char* name) {
            return f.window.findChild<QWidget*>(QString::fromLatin1(name));
        };
        qobject_cast<QRadioButton*>(find(c.on))->setChecked(true);
        find(c.from)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(c.tabbedTo));
        if (c.arrow == Qt::Key_unknown) continue;
        QTest::keyClick(QApplication::focusWidget(), c.arrow);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(c.arrowedTo));
        QVERIFY(qobject_cast<QRadioButton*>(find(c.arrowedTo))->isChecked());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(c.leftTo));
    }
}

void MainWindowTest::frameCaptionsSitInTheFrameLine() {
    Fixture f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window));
    for (QGroupBox* frame : {f.ui.Frame1, f.ui.Frame2}) {
        const QImage image = frame->grab().toImage();
        const int w = image.width();
        const int h = image.height();
        const QRgb background = image.pixel(w - 3, 0);
        // The first pixel from a start, in steps, that is not the background: a frame line.
        auto lineFrom = [&](QPoint p, QPoint step) {
            while (QRect(0, 0, w, h).contains(p) && image.pixel(p) == background) p += step;
            return p;
        };
        const int top = lineFrom({w - 4, 0}, {0, 1}).y();
        const int bottom = lineFrom({w - 4, h - 1}, {0, -1}).y();
        const int left = lineFrom({0, h / 2}, {1, 0}).x();
        const int right = lineFrom({w - 1, h / 2}, {-1, 0}).x();
        QVERIFY(top > 0 && top < bottom && left < right);

        // The caption's dark pixels lie above and below the top line.
        int captionTop = h;
        int captionBottom = -1;
        for (int y = 0; y < 16; ++y) {
            for (int x = left + 2; x < w / 2; ++x) {
                if (qGray(image.pixel(x, y)) < 100) {
                    captionTop = std::min(captionTop, y);
                    captionBottom = std::max(captionBottom, y);
                }
            }
        }
        QVERIFY2(captionTop < top && top < captionBottom, qPrintable(frame->objectName()));

        // Every control stays clear of the lines (each line two pixels wide at most).
        for (QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const QRect g = child->geometry();
            QVERIFY2(g.top() > top + 1 && g.bottom() < bottom - 1 && g.left() > left + 1 &&
                         g.right() < right - 1,
                     qPrintable(child->objectName()));
        }
    }
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
