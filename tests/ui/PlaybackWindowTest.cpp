// The playback window: its layout, the hand-over, whole playbacks with the real timer, the
// forced stop (also when the playback ends behind its question), the close box, a fault
// inside a tick and traces that survive a repaint. Message boxes are scripted unless noted.
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

#include "runtime/Conversions.h"
#include "ui/FaultMessages.h"
#include "ui/MainWindow.h"
#include "ui/PictureWindow.h"
#include "ui/ScriptedMessages.h"

using namespace kestrel;
using kestrel::test::ScriptedMessages;

namespace {

struct Fixture {
    ScriptedMessages messages;
    MainWindow window{messages};

    // Starts a run of the given length and returns the playback window it opened.
    PictureWindow* Start(const char* analysisTime = "10") {
        window.txtTl->setText(QString::fromLatin1(analysisTime));
        window.cmdStart->click();
        return window.findChild<PictureWindow*>(QStringLiteral("frmPicture"));
    }
    // Runs the ticks by hand, as the timer would.
    void Ticks(int count) {
        for (int k = 0; k < count; ++k) window.Timer1_Timer();
    }
    QStringList Prompts() const { return messages.Prompts(); }
};

// Counts the times a widget is shown.
class ShowCounter : public QObject {
public:
    explicit ShowCounter(QWidget* w) { w->installEventFilter(this); }
    int shows = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Show) ++shows;
        return false;
    }
};

QStringList BoxTexts(const PictureWindow* p) {
    QStringList texts;
    for (const QLineEdit* box :
         {p->txtTime, p->txtCac, p->txtAcc, p->txtVel, p->txtDis, p->txtCacMax, p->txtCacMin,
          p->txtAccMax, p->txtAccMin, p->txtVelMax, p->txtVelMin, p->txtDisMax, p->txtDisMin}) {
        texts << box->text();
    }
    return texts;
}

bool HasTrace(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > 200 && c.red() < 100) return true;
        }
    }
    return false;
}

}  // namespace

class PlaybackWindowTest : public QObject {
    Q_OBJECT

private slots:
    void layoutMatchesTheTable();
    void handOverShowsTheWindowAndStartsTheTimer();
    void wholePlaybackWithTheRealTimer();
    void singlePointAndTinyStepRunsStillEnd();
    void forcedStopYesAndNo();
    void playbackEndsBehindTheQuestion_data();
    void playbackEndsBehindTheQuestion();
    void realQuestionBoxOutlivesThePlayback();
    void closeBoxStopsWithoutAsking();
    void faultInATickStopsAndReports();
    void tracesSurviveARepaint();
};

// The control table: name, caption or text, alignment, twips (left, top, width, height)
// relative to the window or to fraValue.
struct ControlRow {
    const char* name;
    const char* caption;
    char align;  // 'L', 'C', 'R', or 0 for controls without one
    int left, top, width, height;
};

const ControlRow kControls[] = {
    {"pctCac", "", 0, 1320, 120, 7335, 2055},
    {"pctAcc", "", 0, 1320, 2280, 7335, 2055},
    {"pctVel", "", 0, 1320, 4440, 7335, 2055},
    {"pctDis", "", 0, 1320, 6600, 7335, 2055},
    {"pctFig", "", 0, 8760, 120, 3495, 3495},
    {"cmdExit", "強制終了(&X)", 0, 8760, 8280, 1215, 375},
    {"lblCac", "入力加速度", 'C', 120, 240, 1095, 255},
    {"Label1", "ﾌﾟﾗｽ最大値", 'L', 120, 600, 1095, 255},
    {"txtCacMax", "0", 'R', 120, 960, 1095, 270},
    {"Label2", "ﾏｲﾅｽ最大値", 'L', 120, 1320, 1095, 255},
    {"txtCacMin", "0", 'R', 120, 1680, 1095, 270},
    {"lblAcc", "応答加速度", 'C', 120, 2280, 1095, 255},
    {"Label3", "ﾌﾟﾗｽ最大値", 'L', 120, 2640, 1095, 255},
    {"txtAccMax", "0", 'R', 120, 3000, 1095, 270},
    {"Label4", "ﾏｲﾅｽ最大値", 'L', 120, 3360, 1095, 255},
    {"txtAccMin", "0", 'R', 120, 3720, 1095, 270},
    {"lblVel", "応答速度", 'C', 120, 4440, 1095, 255},
    {"Label5", "ﾌﾟﾗｽ最大値", 'L', 120, 4800, 1095, 255},
    {"txtVelMax", "0", 'R', 120, 5160, 1095, 270},
    {"Label6", "ﾏｲﾅｽ最大値", 'L', 120, 5640, 1095, 255},
    {"txtVelMin", "0", 'R', 120, 6000, 1095, 270},
    {"lblDis", "応答変位", 'C', 120, 6600, 1095, 255},
    {"Label7", "ﾌﾟﾗｽ最大値", 'L', 120, 6960, 1095, 255},
    {"txtDisMax", "0", 'R', 120, 7320, 1095, 270},
    {"Label8", "ﾏｲﾅｽ最大値", 'L', 120, 7680, 1095, 255},
    {"txtDisMin", "0", 'R', 120, 8040, 1095, 270},
    {"fraValue", "現時刻の解析結果の値", 0, 8760, 3840, 3495, 2175},
    {"lblTime", "時刻(s)：", 'R', 120, 240, 1455, 255},
    {"txtTime", "0", 'R', 1680, 240, 1695, 270},
    {"lblCac1", "入力加速度(cm/s2)", 'C', 120, 720, 1575, 255},
    {"lblAcc1", "応答加速度(cm/s2)", 'C', 1800, 720, 1575, 255},
    {"txtCac", "0", 'R', 120, 960, 1575, 270},
    {"txtAcc", "0", 'R', 1800, 960, 1575, 270},
    {"lblVel1", "応答速度(cm/s)", 'C', 120, 1440, 1575, 255},
    {"lblDis1", "応答変位(cm)", 'C', 1800, 1440, 1575, 255},
    {"txtVel", "0", 'R', 120, 1680, 1575, 270},
    {"txtDis", "0", 'R', 1800, 1680, 1575, 270},
    {"lblCycle", "建物固有周期(s)：", 'R', 8760, 6120, 1575, 255},
    {"txtCycle", "0", 'R', 10440, 6120, 1815, 270},
};

void PlaybackWindowTest::layoutMatchesTheTable() {
    PictureWindow w;
    QCOMPARE(w.objectName(), QStringLiteral("frmPicture"));
    QCOMPARE(w.windowTitle(), QStringLiteral("動画、グラフ表示"));
    QCOMPARE(w.size(), QSize(823, 586));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QVERIFY(!(w.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(w.font().pointSize(), 9);

    for (const ControlRow& row : kControls) {
        auto* control = w.findChild<QWidget*>(QString::fromLatin1(row.name));
        QVERIFY2(control, row.name);
        QCOMPARE(control->geometry(),
                 QRect(row.left / 15, row.top / 15, row.width / 15, row.height / 15));
        QString caption;
        Qt::Alignment align;
        if (auto* b = qobject_cast<QPushButton*>(control)) caption = b->text();
        if (auto* g = qobject_cast<QGroupBox*>(control)) caption = g->title();
        if (auto* l = qobject_cast<QLabel*>(control)) {
            caption = l->text();
            align = l->alignment();
        }
        if (auto* e = qobject_cast<QLineEdit*>(control)) {
            caption = e->text();
            align = e->alignment();
        }
        QCOMPARE(caption, QString::fromUtf8(row.caption));
        const Qt::Alignment expected = row.align == 'R'   ? Qt::AlignRight
                                       : row.align == 'C' ? Qt::AlignHCenter
                                                          : Qt::AlignLeft;
        if (row.align) QVERIFY2((align & Qt::AlignHorizontal_Mask) == expected, row.name);
    }
    for (QLineEdit* box : {w.txtTime, w.txtCac, w.txtAcc, w.txtVel, w.txtDis}) {
        QCOMPARE(box->parentWidget(), w.fraValue);
    }
    // The extremes are shown, not typed; the other boxes are ordinary ones.
    for (QLineEdit* box : {w.txtCacMax, w.txtCacMin, w.txtAccMax, w.txtAccMin, w.txtVelMax,
                           w.txtVelMin, w.txtDisMax, w.txtDisMin}) {
        QVERIFY2(box->isReadOnly(), qPrintable(box->objectName()));
    }
    QVERIFY(!w.txtTime->isReadOnly());

    // Tab order by the written tab indices; labels and the frame take no focus.
    const char* const order[] = {
        "pctCac",    "pctAcc",    "pctDis",    "pctFig",    "cmdExit",   "txtTime",   "txtCac",
        "txtAcc",    "txtVel",    "txtDis",    "txtCacMax", "txtCacMin", "txtAccMax", "txtAccMin",
        "txtVelMax", "txtVelMin", "txtDisMax", "txtDisMin", "pctVel",    "txtCycle",  "pctCac",
    };
    auto nextStop = [](QWidget* from) {
        QWidget* next = from->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
        return next;
    };
    for (std::size_t i = 1; i < std::size(order); ++i) {
        auto* from = w.findChild<QWidget*>(QString::fromLatin1(order[i - 1]));
        QCOMPARE(nextStop(from)->objectName(), QString::fromLatin1(order[i]));
    }
}

void PlaybackWindowTest::handOverShowsTheWindowAndStartsTheTimer() {
    Fixture f;
    f.window.show();
    PictureWindow* p = f.Start();
    QVERIFY(p);
    QVERIFY(p->isVisible());
    QVERIFY(!f.window.isVisible());
    QCOMPARE(p->txtCycle->text(), QStringLiteral("0.362832446594252"));
    QVERIFY(f.window.Timer1->isActive());
    QCOMPARE(f.window.Timer1->interval(), 5);
    QCOMPARE(f.window.Timer1->timerType(), Qt::PreciseTimer);
    QCOMPARE(BoxTexts(p), QStringList(13, QStringLiteral("0")));
    QVERIFY(f.messages.shown.empty());
    p->close();  // back to the main window
}

void PlaybackWindowTest::wholePlaybackWithTheRealTimer() {
    // The displacement wave first, then the acceleration wave: the input captions follow
    // the case of each playback.
    Fixture f;
    f.window.optOrgCycleDis->setChecked(true);
    QPointer<PictureWindow> p = f.Start("0.1");  // 12 points, 11 ticks of 5 ms
    QStringList atEnd;
    QStringList captionsAtEnd;
    f.messages.whileOpen = [&](const test::ShownMessage&) {
        QVERIFY(p && p->isVisible() && !f.window.isVisible());
        atEnd = BoxTexts(p);
        captionsAtEnd = {p->lblCac->text(), p->lblCac1->text()};
        QVERIFY(!f.window.Timer1->isActive());
    };
    QTRY_COMPARE_WITH_TIMEOUT(f.Prompts(), QStringList{QStringLiteral("終了しました。")}, 5000);
    QCOMPARE(f.messages.shown[0].style, int{kOkInformation});
    QCOMPARE(f.messages.shown[0].title, QStringLiteral("解析終了"));
    QTRY_VERIFY(p.isNull());
    QVERIFY(f.window.isVisible());
    QCOMPARE(f.window.State().StepIndex, 11.0f);

    const AnalysisState& s = f.window.State();
    const double omega2 = s.ForcingOmega * s.ForcingOmega;
    QCOMPARE(atEnd[0], QStringLiteral("0.1"));
    QCOMPARE(atEnd[1], QString::fromStdString(NumberText(s.CacSeries[10] / omega2)));
    QCOMPARE(atEnd[4], QString::fromStdString(NumberText(s.DisSeries[10])));
    QCOMPARE(atEnd[6], QStringLiteral("0"));  // the ground has not moved below zero yet
    QCOMPARE(captionsAtEnd,
             (QStringList{QStringLiteral("入力変位"), QStringLiteral("入力変位(cm)")}));

    f.window.optOrgCycle->setChecked(true);
    f.messages.shown.clear();
    p = f.Start("0.1");
    QTRY_COMPARE_WITH_TIMEOUT(f.Prompts(), QStringList{QStringLiteral("終了しました。")}, 5000);
    QCOMPARE(captionsAtEnd,
             (QStringList{QStringLiteral("入力加速度"), QStringLiteral("入力加速度(cm/s2)")}));
    QCOMPARE(atEnd[1], QString::fromStdString(NumberText(s.CacSeries[10])));
}

void PlaybackWindowTest::singlePointAndTinyStepRunsStillEnd() {
    // A single point has nothing to show: the first tick ends the playback.
    Fixture f;
    QPointer<PictureWindow> p = f.Start("-0.01");
    QCOMPARE(f.window.State().StepCount, std::int16_t{1});
    QTRY_COMPARE(f.Prompts(), QStringList{QStringLiteral("終了しました。")});
    QTRY_VERIFY(p.isNull());
    QVERIFY(f.window.isVisible());

    // A time step of 0.0008 s asks for 0.4 ms, which rounds to 0: the timer ticks every 1 ms.
    f.messages.shown.clear();
    f.window.txtTs->setText(QStringLiteral("0.0008"));
    p = f.Start("0.008");
    QCOMPARE(f.window.Timer1->interval(), 1);
    QTRY_COMPARE(f.Prompts(), QStringList{QStringLiteral("終了しました。")});
    QCOMPARE(f.window.State().StepIndex, 11.0f);
}

void PlaybackWindowTest::forcedStopYesAndNo() {
    Fixture f;
    PictureWindow* p = f.Start();
    f.Ticks(3);
    QCOMPARE(p->txtTime->text(), QStringLiteral("0.02"));

    // No: a beep, and the next tick shows the next point.
    f.messages.answers = {kAnswerNo};
    p->cmdExit->click();
    QCOMPARE(f.messages.shown.size(), std::size_t{1});
    QCOMPARE(f.messages.shown[0].prompt, QStringLiteral("終了します。"));
    QCOMPARE(f.messages.shown[0].style, int{kYesNoInformation});
    QCOMPARE(f.messages.shown[0].title, QStringLiteral("強制終了"));
    QCOMPARE(f.messages.beeps, 1);
    QVERIFY(f.window.Timer1->isActive() && p->isVisible());
    f.Ticks(1);
    QCOMPARE(p->txtTime->text(), QStringLiteral("0.03"));

    // Yes: the main window returns and the playback window goes, without the end message.
    QPointer<PictureWindow> old = p;
    f.messages.answers = {kAnswerYes};
    p->cmdExit->click();
    QVERIFY(!f.window.Timer1->isActive());
    QVERIFY(f.window.isVisible());
    QTRY_VERIFY(old.isNull());
    QCOMPARE(f.messages.shown.size(), std::size_t{2});
    QCOMPARE(f.messages.beeps, 1);

    // The next run plays from point 0 in a fresh window.
    p = f.Start();
    QVERIFY(p && p != old);
    QCOMPARE(BoxTexts(p), QStringList(13, QStringLiteral("0")));
    QVERIFY(!HasTrace(p->pctDis->Surface()));
    f.Ticks(1);
    QCOMPARE(p->txtTime->text(), QStringLiteral("0"));
    p->close();
}

void PlaybackWindowTest::playbackEndsBehindTheQuestion_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("Yes") << int{kAnswerYes};
    QTest::newRow("No") << int{kAnswerNo};
}

void PlaybackWindowTest::playbackEndsBehindTheQuestion() {
    QFETCH(int, answer);
    Fixture f;
    ShowCounter mainShows(&f.window);
    QPointer<PictureWindow> p = f.Start("0.1");
    bool mainHiddenAtEndMessage = false;
    bool pictureHiddenAfterEnd = false;
    // While the question is open, the ticks go on to the end of the playback.
    f.messages.whileOpen = [&](const test::ShownMessage& m) {
        if (m.prompt == QStringLiteral("終了しました。")) {
            mainHiddenAtEndMessage = !f.window.isVisible() && p && p->isVisible();
            return;
        }
        while (f.window.Timer1->isActive()) f.window.Timer1_Timer();
        // The question's event loop goes on: the window it may belong to must stay, hidden.
        QTest::qWait(20);
        pictureHiddenAfterEnd = p && !p->isVisible();
    };
    f.messages.answers = {kAnswerOk, answer};
    p->cmdExit->click();

    QCOMPARE(f.Prompts(),
             (QStringList{QStringLiteral("終了します。"), QStringLiteral("終了しました。")}));
    QVERIFY(mainHiddenAtEndMessage);
    QVERIFY(pictureHiddenAfterEnd);  // gone from the screen while the question is still up
    QCOMPARE(f.messages.beeps, 0);   // the late answer does nothing
    QVERIFY(!f.window.Timer1->isActive());
    QVERIFY(f.window.isVisible());
    QCOMPARE(mainShows.shows, 1);
    QTRY_VERIFY(p.isNull());
    QCOMPARE(f.window.State().StepIndex, 11.0f);

    // The next playback is a normal one.
    f.messages.shown.clear();
    f.messages.whileOpen = nullptr;
    p = f.Start("0.1");
    QVERIFY(p && p->isVisible());
    QTRY_COMPARE(f.Prompts(), QStringList{QStringLiteral("終了しました。")});
    QTRY_VERIFY(p.isNull());
}

void PlaybackWindowTest::realQuestionBoxOutlivesThePlayback() {
    // The real message boxes, answered as a user would: the question stays open while the
    // playback ends and its end message is answered; then the question is answered Yes.
    QtMessageService messages;
    MainWindow window(messages);
    window.txtTl->setText(QStringLiteral("0.1"));
    window.cmdStart->click();
    QPointer<PictureWindow> p = window.findChild<PictureWindow*>(QStringLiteral("frmPicture"));
    QVERIFY(p);
    QVERIFY(QTest::qWaitForWindowExposed(p));

    bool endAnswered = false;
    bool questionAnswered = false;
    bool windowAliveAtAnswer = false;
    QTimer user;
    user.setInterval(10);
    connect(&user, &QTimer::timeout, this, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(top);
            if (!box || !box->isVisible()) continue;
            if (box->text() == QStringLiteral("終了しました。")) {
                endAnswered = true;
                box->button(QMessageBox::Ok)->click();
            } else if (endAnswered && box->text() == QStringLiteral("終了します。")) {
                questionAnswered = true;
                // The question belongs to the playback window: the window must still be there.
                windowAliveAtAnswer = !p.isNull() && box->parentWidget() == p;
                box->button(QMessageBox::Yes)->click();
            }
        }
    });
    user.start();
    p->cmdExit->click();  // returns once the question is answered
    user.stop();

    QVERIFY(endAnswered && questionAnswered);
    QVERIFY(windowAliveAtAnswer);
    QTRY_VERIFY(p.isNull());
    QVERIFY(window.isVisible());
    QVERIFY(!window.Timer1->isActive());
    QCOMPARE(window.State().StepIndex, 11.0f);
}

void PlaybackWindowTest::closeBoxStopsWithoutAsking() {
    Fixture f;
    QPointer<PictureWindow> p = f.Start();
    f.Ticks(2);
    QVERIFY(!p->close());  // the window does not close itself: the playback discards it
    QVERIFY(f.messages.shown.empty());
    QVERIFY(!f.window.Timer1->isActive());
    QVERIFY(f.window.isVisible());
    QTRY_VERIFY(p.isNull());
    f.window.Timer1_Timer();  // a late tick does nothing
    QVERIFY(f.messages.shown.empty());
    QVERIFY(!f.window.findChild<PictureWindow*>());
}

void PlaybackWindowTest::faultInATickStopsAndReports() {
    Fixture f;
    QPointer<PictureWindow> p = f.Start();
    f.Ticks(1);
    // Point 1 lies far beyond a tiny peak: its coordinate cannot be computed.
    f.window.State().DisSeries[1] = 1e300;
    f.window.State().DisPeak = 1e-300;
    QStringList atMessage;
    f.messages.whileOpen = [&](const test::ShownMessage&) { atMessage = BoxTexts(p); };
    f.Ticks(1);

    QCOMPARE(f.messages.shown.size(), std::size_t{1});
    QCOMPARE(f.messages.shown[0].style, int{kOkExclamation});
    QCOMPARE(f.messages.shown[0].prompt, FaultMessage({FaultSite::Playback, FaultKind::Overflow}));
    QCOMPARE(atMessage[0], QStringLiteral("0"));  // point 1 never reached the boxes
    for (const QString& text : atMessage) {
        QVERIFY2(!text.contains(QStringLiteral("nan"), Qt::CaseInsensitive) &&
                     !text.contains(QStringLiteral("inf"), Qt::CaseInsensitive),
                 qPrintable(text));
    }
    QVERIFY(!f.window.Timer1->isActive());
    QVERIFY(f.window.isVisible());
    QTRY_VERIFY(p.isNull());
}

void PlaybackWindowTest::tracesSurviveARepaint() {
    Fixture f;
    PictureWindow* p = f.Start();
    QVERIFY(QTest::qWaitForWindowExposed(p));
    f.window.Timer1->stop();
    f.Ticks(60);
    // Covered and uncovered: the box repaints everything drawn so far from its surface.
    p->hide();
    p->show();
    const QImage shown = p->pctVel->grab().toImage();
    QVERIFY(HasTrace(shown.copy(QRect(36, 2, 20, 129))));     // the first segments, x 500-800
    QVERIFY(!HasTrace(shown.copy(QRect(100, 2, 380, 129))));  // nothing beyond 60 points
    p->close();
}

QTEST_MAIN(PlaybackWindowTest)
#include "PlaybackWindowTest.moc"
