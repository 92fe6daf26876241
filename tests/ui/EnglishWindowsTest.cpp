// The windows in English: every text a user reads — captions, tooltips, window titles, tab
// and table headings, chart titles, axes and legends, readouts, export captions and
// dialogs, and every message — holds no Japanese, and the fixed windows' captions fit
// their controls.
#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <string>

#include "runtime/UiLanguage.h"
#include "ui/ChooserWindows.h"
#include "ui/FormChecks.h"
#include "ui/IndicesTab.h"
#include "ui/MainControls.h"
#include "ui/MainWindow.h"
#include "ui/PictureWindow.h"
#include "ui/PlaybackController.h"
#include "ui/ScriptedMessages.h"
#include "ui/StudyChart.h"
#include "ui/StudyTabs.h"
#include "ui/StudyWindow.h"

using namespace kestrel;
using kestrel::test::ScriptedMessages;

namespace {

// Kana, kanji, CJK punctuation and the full-width forms: none belongs in an English text.
bool HasJapanese(const QString& text) {
    static const QRegularExpression japanese(QStringLiteral(
        "[\\x{3000}-\\x{30FF}\\x{3300}-\\x{33FF}\\x{3400}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
    return text.contains(japanese);
}

// The texts found so far, each with where it was found.
struct Texts {
    QStringList found;  // "where: text"

    void Add(const QString& where, const QString& text) {
        if (!text.isEmpty()) found << where + QStringLiteral(": ") + text;
    }
    void Add(const QObject* o, const char* what, const QString& text) {
        Add(o->objectName() + QLatin1Char('/') + QLatin1String(what), text);
    }
    // Everything a window and its controls show; boxes hold numbers and file names, which
    // stay as typed, and are left out.
    void AddWindow(QWidget* top) {
        QList<QWidget*> widgets = top->findChildren<QWidget*>();
        widgets.prepend(top);
        for (QWidget* w : widgets) {
            Add(w, "tooltip", w->toolTip());
            if (w->isWindow()) Add(w, "title", w->windowTitle());
            if (auto* l = qobject_cast<QLabel*>(w)) Add(w, "text", l->text());
            if (auto* b = qobject_cast<QAbstractButton*>(w)) Add(w, "text", b->text());
            if (auto* g = qobject_cast<QGroupBox*>(w)) Add(w, "title", g->title());
            if (auto* p = qobject_cast<QPlainTextEdit*>(w)) Add(w, "text", p->toPlainText());
            if (auto* c = qobject_cast<QComboBox*>(w)) {
                for (int i = 0; i < c->count(); ++i) Add(w, "item", c->itemText(i));
            }
            if (auto* t = qobject_cast<QTabWidget*>(w)) {
                for (int i = 0; i < t->count(); ++i) Add(w, "tab", t->tabText(i));
            }
            if (auto* t = qobject_cast<QTableWidget*>(w)) AddTable(t);
            if (auto* v = qobject_cast<QChartView*>(w)) AddChart(v);
        }
    }
    void AddTable(const QTableWidget* t) {
        const QAbstractItemModel* m = t->model();
        for (int c = 0; c < m->columnCount(); ++c) {
            Add(t, "heading", m->headerData(c, Qt::Horizontal).toString());
            for (int r = 0; r < m->rowCount(); ++r)
                Add(t, "cell", m->index(r, c).data().toString());
        }
        for (int r = 0; r < m->rowCount(); ++r) {
            Add(t, "row", m->headerData(r, Qt::Vertical).toString());
        }
    }
    // The chart's title, its series (the legend) and every text drawn in its scene: axis
    // titles and labels, legend entries.
    void AddChart(const QChartView* v) {
        Add(v, "chart title", v->chart()->title());
        for (const QAbstractSeries* s : v->chart()->series()) Add(v, "series", s->name());
        for (QGraphicsItem* item : v->scene()->items()) {
            if (auto* t = dynamic_cast<QGraphicsTextItem*>(item)) Add(v, "chart", t->toPlainText());
        }
    }
    void AddMessages(const ScriptedMessages& messages) {
        for (const test::ShownMessage& m : messages.shown) {
            Add(QStringLiteral("message"), m.prompt);
            Add(QStringLiteral("message title"), m.title);
        }
    }
    QStringList Japanese() const {
        QStringList japanese;
        for (const QString& t : found) {
            if (HasJapanese(t)) japanese << t;
        }
        japanese.removeDuplicates();
        return japanese;
    }
};

void Settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
}

// A plain wave file: the time step, then a decaying ground acceleration.
QByteArray WaveBytes() {
    std::string text = "0.01\r\n";
    for (int k = 0; k < 600; ++k) {
        text += std::to_string(200 * std::exp(-0.5 * k * 0.01) * std::sin(9.0 * k * 0.01)) + "\r\n";
    }
    return QByteArray::fromStdString(text);
}

// Every caption of a fixed-size window fits its control at the window's font, lies inside
// its parent, and a label covers none of the controls beside it; what does not is added to
// `faults`.
void CheckCaptionsFit(QWidget& window, QStringList& faults) {
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&window)) continue;
        const QString name = window.objectName() + QLatin1Char('/') + w->objectName();
        int needed = 0;
        if (auto* g = qobject_cast<QGroupBox*>(w)) {
            // The caption is set into the top line, 6 pixels in, with 2 either side.
            needed = 6 + 4 + g->fontMetrics().horizontalAdvance(g->title());
        } else if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w)) {
            needed = w->sizeHint().width();
        } else {
            continue;
        }
        if (needed > w->width()) {
            faults << name + QStringLiteral(" needs %1 of %2 pixels").arg(needed).arg(w->width());
        }
        if (!w->parentWidget()->rect().contains(w->geometry())) {
            faults << name + QStringLiteral(" leaves its parent");
        }
        if (!qobject_cast<QLabel*>(w)) continue;
        for (QWidget* other :
             w->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (other == w || !other->isVisibleTo(&window)) continue;
            if (w->geometry()
                    .adjusted(1, 1, -1, -1)
                    .intersects(other->geometry().adjusted(1, 1, -1, -1))) {
                faults << name + QStringLiteral(" covers ") + other->objectName();
            }
        }
    }
}

}  // namespace

class EnglishWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // As the program starts in English: the core's messages and the windows' texts.
        SetProgramLanguage(Language::English);
        QVERIFY(InstallTranslations(*qApp, Language::English));
    }
    void everyWindowAndMessageInEnglish();
    void captionsFitTheFixedWindows();
};

void EnglishWindowsTest::everyWindowAndMessageInEnglish() {
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    ScriptedMessages messages;
    MainWindow window(messages);
    test::MainControls ui(window);
    window.show();
    Texts texts;
    texts.AddWindow(&window);

    // The main window's messages: nothing to save, the exit question, a natural period
    // that cannot be computed, an analysis that fails, a record not chosen, nothing to
    // study.
    ui.cmdSave->click();
    ui.cmdExit->click();
    ui.txtK->setText(QStringLiteral("x"));
    ui.cmdCycle->click();
    ui.chkPicture->setChecked(false);
    ui.cmdStart->click();
    ui.txtK->setText(QStringLiteral("300"));
    ui.optSelect->setChecked(true);
    ui.cmdStart->click();
    ui.cmdStudy->click();

    // The choosers, and the messages of a record confirmed.
    ui.cmdSelect->click();
    auto* save = test::TopLevel<SaveSelectWindow>();
    QVERIFY(save);
    texts.AddWindow(save);
    save->Command2->click();
    QFile wave(dir.filePath(QStringLiteral("wave.txt")));
    QVERIFY(wave.open(QIODevice::WriteOnly));
    wave.write(WaveBytes());
    wave.close();
    ui.cmdWave->click();
    auto* chooser = test::TopLevel<WaveSelectWindow>();
    QVERIFY(chooser);
    texts.AddWindow(chooser);
    chooser->txtFileName->setText(QStringLiteral("wave.txt"));
    chooser->cmdOK->click();

    // An earthquake run, its save without a destination, and the study of it: every tab
    // with its readouts and caption, the export dialogs, a refused input.
    ui.cmdStart->click();
    ui.cmdSave->click();
    ui.cmdStudy->click();
    StudyWindow* study = window.Study();
    QVERIFY(study);
    QStringList dialogs;
    study->askSaveFileName = [&](QWidget*, const QString& caption, const QString& suggested,
                                 const QString& filter, const QString&) {
        dialogs << caption << suggested << filter;
        return QString();
    };
    study->indices->askOpenFileName = [&](QWidget*, const QString& caption, const QString&) {
        dialogs << caption;
        return QString();
    };
    for (int i = 0; i < study->tabs->count(); ++i) {
        study->tabs->setCurrentIndex(i);
        Settle();
        auto* tab = static_cast<StudyTab*>(study->tabs->currentWidget());
        for (StudyChartView* view : tab->findChildren<StudyChartView*>()) {
            emit view->pointerMoved(1.0, 0.0);
            texts.Add(tab->objectName() + QStringLiteral("/readout"), tab->lblReadout->text());
        }
        texts.Add(tab->objectName() + QStringLiteral("/caption"), tab->Caption());
        texts.AddWindow(study);
        study->cmdCsv_Click();
        study->cmdPng_Click();
        study->cmdSvg_Click();
    }
    study->indices->chkFiles->setChecked(true);
    study->indices->cmdFiles[0]->click();
    for (QLineEdit* box : study->indices->txtFiles) box->clear();
    study->Recompute();
    for (const QString& d : dialogs) texts.Add(QStringLiteral("dialog"), d);

    // A run without a record: the study window says its run is older, then that the run
    // has no record.
    study->indices->chkFiles->setChecked(false);
    ui.optOrgCycle->setChecked(true);
    ui.cmdStart->click();
    texts.AddWindow(study);
    study->Recompute();
    texts.AddWindow(study);
    study->close();

    // The playback window of both kinds of input, and its stop question.
    ui.chkPicture->setChecked(true);
    for (QRadioButton* option : {ui.optOrgCycle, ui.optOrgCycleDis}) {
        option->setChecked(true);
        ui.cmdStart->click();
        auto* picture = window.findChild<PictureWindow*>(QStringLiteral("frmPicture"));
        QVERIFY(picture);
        window.Playback().Tick();
        texts.AddWindow(picture);
        messages.answers = {kAnswerYes};
        picture->cmdExit->click();
    }

    texts.AddMessages(messages);
    QVERIFY(messages.shown.size() >= 12);
    const QStringList japanese = texts.Japanese();
    for (const QString& t : japanese) qWarning("%s", qPrintable(t));
    QVERIFY2(japanese.isEmpty(), "texts above still hold Japanese");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void EnglishWindowsTest::captionsFitTheFixedWindows() {
    ScriptedMessages messages;
    MainWindow main(messages);
    PictureWindow picture;
    WaveSelectWindow wave(messages);
    SaveSelectWindow save(messages);
    QStringList faults;
    for (QWidget* window : std::initializer_list<QWidget*>{&main, &picture, &wave, &save}) {
        CheckCaptionsFit(*window, faults);
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_MAIN(EnglishWindowsTest)
#include "EnglishWindowsTest.moc"
