// The playback window: its layout, whole playbacks on the real timer, the forced stop (also
// when the playback ends behind its question), the close box, a fault inside a tick and
// traces that survive a repaint. Message boxes are scripted unless noted.
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "playback/MadeResponse.h"
#include "runtime/Conversions.h"
#include "ui/FaultMessages.h"
#include "ui/FormChecks.h"
#include "ui/MainControls.h"
#include "ui/MainWindow.h"
#include "ui/PictureWindow.h"
#include "ui/PlaybackController.h"
#include "ui/ScriptedMessages.h"

using namespace kestrel;
using kestrel::test::ScriptedMessages;
using kestrel::test::ShownMessage;

namespace {

const QString kEnd = QStringLiteral("終了しました。");
const QString kQuestion = QStringLiteral("終了します。");

struct Fixture {
    ScriptedMessages messages;
    MainWindow window{messages};
    test::MainControls ui{window};

    // Starts a run of the given length and returns the playback window it opened.
    PictureWindow* Start(const char* analysisTime = "10") {
        messages.shown.clear();
        ui.txtTl->setText(QString::fromLatin1(analysisTime));
        ui.cmdStart->click();
        return window.findChild<PictureWindow*>(QStringLiteral("frmPicture"));
    }
    void Ticks(int count) {  // as the timer would
        for (int k = 0; k < count; ++k) window.Playback().Tick();
    }
};

// A completed run of three points whose last displacement lies far beyond its peak, which no
// real run gives: its playback must fault at its second tick.
std::shared_ptr<const SteppedRun> SpoiltRun() {
    const RunInputs inputs = ReadRunInputs(RunTexts{}, ExcitationCase::InitialDisplacement).value();
    return std::make_shared<const SteppedRun>(
        SteppedRun{RunTexts{},
                   inputs,
                   NoGroundMotion{},
                   test::MadeResponse({0, 0, 0}, {0, 0, 1e300}, {0, 0, 0, 1e-300}),
                   5,
                   {}});
}

// The time, the four current values and the eight extremes, in full (a box too narrow for
// its text holds the whole text as its tooltip).
QStringList BoxTexts(const PictureWindow* p) {
    QStringList texts;
    for (const QLineEdit* box :
         {p->txtTime, p->txtCac, p->txtAcc, p->txtVel, p->txtDis, p->txtCacMax, p->txtCacMin,
          p->txtAccMax, p->txtAccMin, p->txtVelMax, p->txtVelMin, p->txtDisMax, p->txtDisMin}) {
        texts << (box->toolTip().isEmpty() ? box->text() : box->toolTip());
    }
    return texts;
}

bool HasTrace(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).blue() > 200 && image.pixelColor(x, y).red() < 100) {
                return true;
            }
        }
    }
    return false;
}

// Every control of the playback window with what it shows.
const test::NamedCaption kControls[] = {
    // clang-format off
    {"pctCac", ""}, {"pctAcc", ""}, {"pctVel", ""}, {"pctDis", ""}, {"pctFig", ""},
    {"cmdExit", "強制終了(&X)"}, {"lblCac", "入力加速度"}, {"Label1", "ﾌﾟﾗｽ最大値"},
    {"txtCacMax", "0"}, {"Label2", "ﾏｲﾅｽ最大値"}, {"txtCacMin", "0"}, {"lblAcc", "応答加速度"},
    {"Label3", "ﾌﾟﾗｽ最大値"}, {"txtAccMax", "0"}, {"Label4", "ﾏｲﾅｽ最大値"}, {"txtAccMin", "0"},
    {"lblVel", "応答速度"}, {"Label5", "ﾌﾟﾗｽ最大値"}, {"txtVelMax", "0"},
    {"Label6", "ﾏｲﾅｽ最大値"}, {"txtVelMin", "0"}, {"lblDis", "応答変位"},
    {"Label7", "ﾌﾟﾗｽ最大値"}, {"txtDisMax", "0"}, {"Label8", "ﾏｲﾅｽ最大値"}, {"txtDisMin", "0"},
    {"fraValue", "現時刻の解析結果の値"}, {"lblTime", "時刻(s)："}, {"txtTime", "0"},
    {"lblCac1", "入力加速度(cm/s2)"}, {"lblAcc1", "応答加速度(cm/s2)"}, {"txtCac", "0"},
    {"txtAcc", "0"}, {"lblVel1", "応答速度(cm/s)"}, {"lblDis1", "応答変位(cm)"}, {"txtVel", "0"},
    {"txtDis", "0"}, {"lblCycle", "建物固有周期(s)："}, {"txtCycle", "0"},
    // clang-format on
};

}  // namespace

class PlaybackWindowTest : public QObject {
    Q_OBJECT

private slots:
    void layoutKeepsEveryCaptionWholeAndApart();
    void wholePlaybacksOnTheRealTimer();
    void forcedStopYesAndNo();
    void realQuestionBoxOutlivesThePlayback_data();
    void realQuestionBoxOutlivesThePlayback();
    void closeBoxAndFaultsReturnToTheMainWindow();
    void tracesSurviveARepaint();
    void numbersTooWideForTheirBoxesAreRounded();
};

void PlaybackWindowTest::layoutKeepsEveryCaptionWholeAndApart() {
    PictureWindow w;
    QCOMPARE(w.windowTitle(), QStringLiteral("動画、グラフ表示"));
    QCOMPARE(w.size(), QSize(823, 586));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QVERIFY(!(w.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    test::CheckControlsWholeAndApart(w, kControls);
    // Numbers to the right, graph captions and value headings centred, the rest to the left.
    for (QLineEdit* box : w.findChildren<QLineEdit*>()) QVERIFY(box->alignment() & Qt::AlignRight);
    for (QLabel* label :
         {w.lblCac, w.lblAcc, w.lblVel, w.lblDis, w.lblCac1, w.lblAcc1, w.lblVel1, w.lblDis1}) {
        QVERIFY2(label->alignment() & Qt::AlignHCenter, qPrintable(label->objectName()));
    }
    QVERIFY(w.lblTime->alignment() & Qt::AlignRight && w.lblCycle->alignment() & Qt::AlignRight);
    QCOMPARE(w.txtDis->parentWidget(), w.fraValue);
    QVERIFY(w.txtCacMin->isReadOnly() && w.txtDisMax->isReadOnly() && !w.txtTime->isReadOnly());

    // Tab order by the written tab indices; labels and the frame take no focus.
    const char* const order[] = {
        "pctCac",    "pctAcc",    "pctDis",    "pctFig",    "cmdExit",   "txtTime",   "txtCac",
        "txtAcc",    "txtVel",    "txtDis",    "txtCacMax", "txtCacMin", "txtAccMax", "txtAccMin",
        "txtVelMax", "txtVelMin", "txtDisMax", "txtDisMin", "pctVel",    "txtCycle",  "pctCac",
    };
    kestrel::test::CheckTabOrder(w, order);
}

void PlaybackWindowTest::wholePlaybacksOnTheRealTimer() {
    // The displacement wave, then the acceleration wave: the captions follow each case.
    Fixture f;
    f.ui.optOrgCycleDis->setChecked(true);
    QPointer<PictureWindow> p = f.Start("0.1");  // 12 points, 11 ticks of 5 ms
    QVERIFY(p && p->isVisible() && !f.window.isVisible());
    QCOMPARE(p->txtCycle->text().isEmpty() ? p->txtCycle->toolTip() : p->txtCycle->text(),
             QStringLiteral("0.362832446594252"));
    QCOMPARE(f.ui.Timer1->interval(), 5);
    QCOMPARE(f.ui.Timer1->timerType(), Qt::PreciseTimer);
    QCOMPARE(BoxTexts(p), QStringList(13, QStringLiteral("0")));

    QStringList atEnd;  // what the window shows under the end message
    f.messages.whileOpen = [&](const ShownMessage&) {
        QVERIFY(p && p->isVisible() && !f.ui.Timer1->isActive());
        atEnd = BoxTexts(p) << p->lblCac->text() << p->lblCac1->text();
    };
    QTRY_COMPARE(f.messages.Prompts(), QStringList{kEnd});
    QCOMPARE(f.messages.shown[0].style, int{kOkInformation});
    QCOMPARE(f.messages.shown[0].title, QStringLiteral("解析終了"));
    QTRY_VERIFY(p.isNull());
    QVERIFY(f.window.isVisible());
    QCOMPARE(f.window.Playback().PlayedPoints(), 11);
    const SteppedRun& run = *f.window.HeldRun();
    const double omega = run.inputs.forcing.omega;
    QCOMPARE(atEnd[0], QStringLiteral("0.1"));
    QCOMPARE(atEnd[1],
             QString::fromStdString(NumberText(run.response.ground()[10] / (omega * omega))));
    QCOMPARE(atEnd[4], QString::fromStdString(NumberText(run.response.displacement()[10])));
    QCOMPARE(atEnd.mid(13),
             (QStringList{QStringLiteral("入力変位"), QStringLiteral("入力変位(cm)")}));

    f.ui.optOrgCycle->setChecked(true);
    p = f.Start("0.1");
    QTRY_COMPARE(f.messages.Prompts(), QStringList{kEnd});
    QCOMPARE(atEnd.mid(13),
             (QStringList{QStringLiteral("入力加速度"), QStringLiteral("入力加速度(cm/s2)")}));

    f.messages.whileOpen = nullptr;
    // 0.0008 s asks for 0.4 ms, which rounds to 0: the timer ticks every 1 ms instead.
    f.ui.txtTs->setText(QStringLiteral("0.0008"));
    f.Start("0.008");
    QCOMPARE(f.ui.Timer1->interval(), 1);
    QTRY_COMPARE(f.messages.Prompts(), QStringList{kEnd});
    QCOMPARE(f.window.Playback().PlayedPoints(), 11);
}

void PlaybackWindowTest::forcedStopYesAndNo() {
    Fixture f;
    PictureWindow* p = f.Start();
    f.Ticks(3);
    // No: a beep, and the next tick shows the next point.
    f.messages.answers = {kAnswerNo};
    p->cmdExit->click();
    QCOMPARE(f.messages.Prompts(), QStringList{kQuestion});
    QCOMPARE(f.messages.shown[0].style, int{kYesNoInformation});
    QCOMPARE(f.messages.shown[0].title, QStringLiteral("強制終了"));
    QCOMPARE(f.messages.beeps, 1);
    QVERIFY(f.ui.Timer1->isActive() && p->isVisible());
    f.Ticks(1);
    QCOMPARE(p->txtTime->text(), QStringLiteral("0.03"));

    // Yes: the main window returns and the playback window goes, without the end message.
    QPointer<PictureWindow> old = p;
    f.messages.answers = {kAnswerYes};
    p->cmdExit->click();
    QVERIFY(!f.ui.Timer1->isActive() && f.window.isVisible());
    QTRY_VERIFY(old.isNull());
    QCOMPARE(f.messages.shown.size(), std::size_t{2});

    // The next run plays from point 0 in a fresh window.
    p = f.Start();
    QCOMPARE(BoxTexts(p), QStringList(13, QStringLiteral("0")));
    QVERIFY(!HasTrace(p->pctDis->Surface()));
    f.Ticks(1);
    QCOMPARE(p->txtTime->text(), QStringLiteral("0"));
    p->close();
}

void PlaybackWindowTest::realQuestionBoxOutlivesThePlayback_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void PlaybackWindowTest::realQuestionBoxOutlivesThePlayback() {
    // Real message boxes, answered as a user would: the question stays open while the
    // playback ends and its end message is answered; the late answer changes nothing.
    QFETCH(bool, yes);
    QtMessageService messages;
    MainWindow window(messages);
    test::MainControls ui(window);
    ui.txtTl->setText(QStringLiteral("0.1"));
    ui.cmdStart->click();
    QPointer<PictureWindow> p = window.findChild<PictureWindow*>(QStringLiteral("frmPicture"));
    QVERIFY(QTest::qWaitForWindowExposed(p));

    bool endAnswered = false;
    bool windowKeptForQuestion = false;
    QTimer user;
    connect(&user, &QTimer::timeout, this, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(top);
            if (!box || !box->isVisible()) continue;
            if (box->text() == kEnd) {
                endAnswered = true;
                box->button(QMessageBox::Ok)->click();
            } else if (endAnswered && box->text() == kQuestion) {
                windowKeptForQuestion = !p.isNull() && box->parentWidget() == p;
                box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
            }
        }
    });
    user.start(10);
    p->cmdExit->click();  // returns once the question is answered
    user.stop();

    QVERIFY(endAnswered);
    QVERIFY(windowKeptForQuestion);  // hidden, but there for the question it owns
    QTRY_VERIFY(p.isNull());
    QVERIFY(window.isVisible() && !ui.Timer1->isActive());
    QCOMPARE(window.Playback().PlayedPoints(), 11);
}

void PlaybackWindowTest::closeBoxAndFaultsReturnToTheMainWindow() {
    // The close box: a forced stop without the question.
    Fixture f;
    QPointer<PictureWindow> p = f.Start();
    f.Ticks(2);
    QVERIFY(!p->close());  // the playback discards the window, not the close itself
    QVERIFY(f.messages.shown.empty());
    QVERIFY(!f.ui.Timer1->isActive() && f.window.isVisible());
    QTRY_VERIFY(p.isNull());
    f.Ticks(1);  // a late tick does nothing
    QVERIFY(f.messages.shown.empty());

    // Point 2 lies far beyond a tiny peak: the second tick stops, says so and returns.
    f.window.Playback().Play(SpoiltRun());
    p = f.window.findChild<PictureWindow*>(QStringLiteral("frmPicture"));
    f.Ticks(1);
    QStringList atMessage;
    f.messages.whileOpen = [&](const ShownMessage&) { atMessage = BoxTexts(p); };
    f.Ticks(1);
    QCOMPARE(f.messages.shown.size(), std::size_t{1});
    QCOMPARE(f.messages.shown[0].style, int{kOkExclamation});
    QCOMPARE(f.messages.shown[0].prompt, FaultMessage({FaultSite::Playback, FaultKind::Overflow}));
    QCOMPARE(atMessage[0], QStringLiteral("0"));  // point 1 never reached the boxes
    QVERIFY(!f.ui.Timer1->isActive() && f.window.isVisible());
    QTRY_VERIFY(p.isNull());
}

void PlaybackWindowTest::tracesSurviveARepaint() {
    Fixture f;
    PictureWindow* p = f.Start();
    QVERIFY(QTest::qWaitForWindowExposed(p));
    f.ui.Timer1->stop();
    f.Ticks(60);
    p->hide();  // covered and uncovered: repainted from the retained surface
    p->show();
    const QImage shown = p->pctVel->grab().toImage();
    QVERIFY(HasTrace(shown.copy(QRect(36, 2, 20, 129))));     // the first segments
    QVERIFY(!HasTrace(shown.copy(QRect(100, 2, 380, 129))));  // nothing beyond 60 points
    p->close();
}

void PlaybackWindowTest::numbersTooWideForTheirBoxesAreRounded() {
    struct Case {
        const char* text;
        bool exponent;  // the shown text keeps an exponent
    };
    const Case cases[] = {
        {"-5.61353006594207E-10", true},
        {"1.23456789012345E+20", true},
        {"-1234.56789012345", false},
        {"-0.000123456789012", false},
        {"12.5", false},  // fits: unchanged
    };
    PictureWindow p;
    p.show();
    QVERIFY(QTest::qWaitForWindowExposed(&p));
    const PlaybackTicker ticker;
    for (const Case& c : cases) {
        TickFrame frame;
        frame.time = c.text;
        frame.values.fill(c.text);
        p.ShowPoint(frame, ticker, InputCaptionsFor(ExcitationCase::Earthquake));
        for (QLineEdit* box : {p.txtTime, p.txtCac, p.txtAcc, p.txtVel, p.txtDis}) {
            const QString full = QString::fromLatin1(c.text);
            const QString shown = box->text();
            const QFontMetrics metrics(box->font());
            const bool fits = metrics.horizontalAdvance(full) < box->width() - 10;
            QCOMPARE(shown == full, fits);
            QCOMPARE(box->toolTip(), fits ? QString() : full);
            QVERIFY2(metrics.horizontalAdvance(shown) < box->width() - 8, qPrintable(shown));
            QCOMPARE(shown.contains('E'), c.exponent);
            // The same value, rounded to the digits shown.
            const double value = *StrictNumber(full.toStdString());
            const double rounded = *StrictNumber(shown.toStdString());
            QVERIFY2(std::abs(rounded - value) <= 5e-3 * std::abs(value), qPrintable(shown));
        }
    }
}

QTEST_MAIN(PlaybackWindowTest)
#include "PlaybackWindowTest.moc"
