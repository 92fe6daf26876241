// Screenshots of the main window and of the study window's tabs, for the README and for
// looking at the layout: a synthetic 40-second record is confirmed in the wave chooser, run,
// and the study window opened on that run; the spectrum tab for a run over part of the
// record; the accuracy tab for initial-displacement runs at Δt/T = 0.03, 0.3, 0.6 and 1.38
// (past the elongation chart's axis); the spectrum, accuracy, indices, elastic-plastic and
// required-strength tabs for a steady-wave run (which has no record), and the window after a
// run that failed; then the accuracy tab for a 30,000-sample record with its PNG and SVG
// exports, and each tab at the window's smallest size; the ground-motion indices of an
// earthquake run on a synthetic K-NET recording of three files, at the window's usual and
// smallest sizes; the elastic-plastic response of the first record's run, whole and its
// playback stopped mid-way; the required-strength spectra of the first record. Usage:
// study_screenshots FOLDER [ja|en] (on a display, e.g. under xvfb-run): in English ("en")
// the windows speak English, every file name ends in "-en", and the playback window is
// taken too. Message boxes are answered at once without showing.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>

#include "StudySupport.h"
#include "runtime/MessageService.h"
#include "runtime/UiLanguage.h"
#include "ui/ChooserWindows.h"
#include "ui/InelasticTab.h"
#include "ui/MainWindow.h"
#include "ui/PictureWindow.h"
#include "ui/PlaybackController.h"
#include "ui/StrengthTab.h"
#include "ui/StudyTabs.h"
#include "ui/StudyWindow.h"

namespace {

void Settle() {
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const bool english = argc == 3 && QByteArray(argv[2]) == "en";
    if (argc < 2 || (argc == 3 && !english && QByteArray(argv[2]) != "ja") || argc > 3) {
        std::fputs("usage: study_screenshots FOLDER [ja|en]\n", stderr);
        return 2;
    }
    const kestrel::Language language =
        english ? kestrel::Language::English : kestrel::Language::Japanese;
    kestrel::SetProgramLanguage(language);
    if (!kestrel::InstallTranslations(app, language)) return 1;
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    // Every file name ends in the language's suffix.
    const QString suffix = english ? QStringLiteral("-en.png") : QStringLiteral(".png");
    auto save = [&](const QImage& image, const QString& name) {
        image.save(out + '/' + name + suffix);
    };
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    if (!kestrel::bench::WriteText(dir.filePath(QStringLiteral("record.txt")),
                                   kestrel::bench::SyntheticRecordText(4000, 15, 8)))
        return 1;
    kestrel::bench::SilentMessages messages;
    kestrel::MainWindow window(messages);
    auto box = [&window](const char* name) {
        return window.findChild<QLineEdit*>(QString::fromLatin1(name));
    };
    auto button = [&window](const char* name) {
        return window.findChild<QAbstractButton*>(QString::fromLatin1(name));
    };
    auto confirm = [&](const QString& file) { kestrel::bench::ConfirmWave(window, file); };
    window.show();
    Settle();
    save(window.grab().toImage(), QStringLiteral("main-window"));
    if (english) {
        // The playback window a second and a half into a steady-wave run.
        button("cmdStart")->click();
        auto* picture = window.findChild<kestrel::PictureWindow*>(QStringLiteral("frmPicture"));
        if (!picture) return 1;
        for (int k = 0; k < 150; ++k) window.Playback().Tick();
        Settle();
        save(picture->grab().toImage(), QStringLiteral("playback-window"));
        picture->close();
        Settle();
    }
    confirm(QStringLiteral("record.txt"));
    button("optSelect")->setChecked(true);
    button("chkPicture")->setChecked(false);
    button("cmdStart")->click();
    button("cmdStudy")->click();
    kestrel::StudyWindow* study = window.Study();
    if (!study) return 1;
    // The earthquake run on a file, studied on a tab at the usual size.
    auto studyRecord = [&](const QString& file, int tab, const QString& name) {
        confirm(file);
        button("optSelect")->setChecked(true);
        button("cmdStart")->click();
        study->resize(1100, 780);
        study->tabs->setCurrentIndex(tab);
        study->cmdRecompute->click();
        Settle();
        save(study->grab().toImage(), name);
    };
    study->resize(1100, 780);
    Settle();
    const char* names[] = {"study-spectrum", "study-fourier",   "study-accuracy",
                           "study-indices",  "study-inelastic", "study-strength"};
    QList<QImage> tabs;
    for (int i = 0; i < 3; ++i) {
        study->tabs->setCurrentIndex(i);
        Settle();
        tabs << study->grab().toImage();
        save(tabs.back(), QString::fromLatin1(names[i]));
    }
    // The three tabs at half size and the main window beside them, two by two, for the
    // README.
    const QImage main = window.grab().toImage();
    const int w = tabs[0].width() / 2, h = tabs[0].height() / 2, gap = 6;
    QImage all(2 * w + gap, 2 * h + gap, QImage::Format_RGB32);
    all.fill(Qt::white);
    {
        QPainter p(&all);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        const QPoint at[] = {{0, 0}, {w + gap, 0}, {0, h + gap}};
        for (int i = 0; i < 3; ++i) p.drawImage(QRect(at[i], QSize(w, h)), tabs[i]);
        p.drawImage(QPoint(w + gap + (w - main.width()) / 2, h + gap + (h - main.height()) / 2),
                    main);
    }
    save(all, QStringLiteral("study-window"));

    // The required-strength spectra of the record, computed on the tab's own button.
    study->tabs->setCurrentWidget(study->strength);
    study->strength->cmdCompute->click();
    while (study->strength->IsComputing()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    Settle();
    save(study->grab().toImage(), QStringLiteral("study-strength"));

    study->spectrum->chkLogValue->setChecked(true);
    study->spectrum->cboQuantity->setCurrentIndex(2);
    study->tabs->setCurrentIndex(0);
    Settle();
    save(study->grab().toImage(), QStringLiteral("study-spectrum-sa-loglog"));

    // A run over the first 5 s of the record: the comparison says its peaks are of that part.
    box("txtTl")->setText(QStringLiteral("5"));
    button("cmdStart")->click();
    study->cmdRecompute->click();
    Settle();
    save(study->grab().toImage(), QStringLiteral("study-spectrum-part-of-record"));

    const struct {
        const char* timeStep;
        const char* name;
    } steps[] = {{"0.01", "0.03"}, {"0.109", "0.3"}, {"0.218", "0.6"}, {"0.5", "1.38"}};
    button("optDis")->setChecked(true);
    box("txtTl")->setText(QStringLiteral("5"));
    study->tabs->setCurrentIndex(2);
    for (const auto& step : steps) {
        box("txtTs")->setText(QString::fromLatin1(step.timeStep));
        button("cmdStart")->click();
        study->cmdRecompute->click();
        Settle();
        save(study->grab().toImage(),
             QStringLiteral("study-accuracy-%1").arg(QString::fromLatin1(step.name)));
    }

    // A steady-wave run: the record tabs say that it has no record.
    box("txtTs")->setText(QStringLiteral("0.01"));
    button("optOrgCycle")->setChecked(true);
    button("cmdStart")->click();
    study->cmdRecompute->click();
    for (const int i : {0, 2, 3, 4, 5}) {
        study->tabs->setCurrentIndex(i);
        Settle();
        save(study->grab().toImage(),
             QStringLiteral("%1-steady-wave").arg(QString::fromLatin1(names[i])));
    }
    // A run that fails while the window is open: the window keeps the run it shows and says
    // that the main window has none now.
    box("txtK")->setText(QStringLiteral("0"));
    button("cmdStart")->click();
    Settle();
    save(study->grab().toImage(), QStringLiteral("study-window-run-failed"));
    box("txtK")->setText(QStringLiteral("300"));

    // A 30,000-sample record (300 s) on the earthquake case, its accuracy tab and the PNG
    // the export writes.
    if (!kestrel::bench::WriteText(dir.filePath(QStringLiteral("long.txt")),
                                   kestrel::bench::SyntheticRecordText(30000, 120, 60)))
        return 1;
    confirm(QStringLiteral("long.txt"));
    button("optSelect")->setChecked(true);
    button("cmdStart")->click();
    study->tabs->setCurrentIndex(2);
    study->cmdRecompute->click();
    Settle();
    save(study->grab().toImage(), QStringLiteral("study-accuracy-long"));
    study->askSaveFileName = [&](QWidget*, const QString&, const QString& suggested, const QString&,
                                 const QString&) { return out + QLatin1Char('/') + suggested; };
    study->cmdPng->click();
    study->cmdSvg->click();

    // Each tab at the smallest size the window allows.
    study->resize(1, 1);
    for (int i = 0; i < 6; ++i) {
        study->tabs->setCurrentIndex(i);
        Settle();
        save(study->grab().toImage(),
             QStringLiteral("%1-smallest").arg(QString::fromLatin1(names[i])));
    }

    // A K-NET recording of three files: its indices, at the usual size for the README and
    // at the smallest.
    if (!kestrel::bench::WriteKnetFiles(dir.path(), 6000, 22, 7)) return 1;
    studyRecord(QStringLiteral("KST0012401011610.NS"), 3, QStringLiteral("study-indices"));
    study->resize(1, 1);
    Settle();
    save(study->grab().toImage(), QStringLiteral("study-indices-knet-smallest"));

    // The elastic-plastic response of the 40-second record's run: the whole run (loop and
    // energies), then the degrading bilinear model's playback stopped mid-way while its
    // column yields, at the usual size and at the smallest.
    studyRecord(QStringLiteral("record.txt"), 4, QStringLiteral("study-inelastic"));
    kestrel::InelasticTab* inelastic = study->inelastic;
    inelastic->cboModel->setCurrentIndex(1);
    inelastic->txtRatio->setText(QStringLiteral("0.05"));
    inelastic->cmdCompute->click();
    inelastic->cmdPlay->click();
    Settle();
    inelastic->Stop();
    // Mid-way: the first point after 30 % of the run where the column yields (a degrading
    // column yields only beyond its earlier largest excursions).
    const int last = inelastic->LastPoint();
    int mid = last * 3 / 10;
    for (inelastic->ShowPoint(mid); !inelastic->building->Yielding() && mid < last;) {
        inelastic->ShowPoint(++mid);
    }
    Settle();
    save(study->grab().toImage(), QStringLiteral("study-inelastic-playback"));
    study->resize(1, 1);
    Settle();
    save(study->grab().toImage(), QStringLiteral("study-inelastic-playback-smallest"));
    return 0;
}
