// Study-window probe: times, on the wall clock, the click on "結果の検討(&R)" to the first
// paint of the opened window's chart, and a "再計算(&U)" after a change of the damping list
// to the repaint of the chart, for the default building's earthquake run on a 32,765-sample
// record; and the tab "地震動の指標" alone, computing and drawing from an earthquake run on a
// K-NET recording of three files of 32,765 samples each (reading the other two included).
// Each is repeated; the medians and the single times are printed in milliseconds. Message boxes
// are answered at once without showing. Run it on a display (scripts/run.sh's way, or under
// xvfb-run) or offscreen.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "StudySupport.h"
#include "runtime/MessageService.h"
#include "ui/ChooserWindows.h"
#include "ui/IndicesTab.h"
#include "ui/MainWindow.h"
#include "ui/StudyChart.h"
#include "ui/StudyTabs.h"
#include "ui/StudyWindow.h"

namespace {

// Notes the first paint of a widget and stops the clock once that paint is done.
class PaintWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched == target && !done) {
            done = true;
            QTimer::singleShot(0, qApp, [this] { elapsedMs = clock.nsecsElapsed() / 1e6; });
        }
        return QObject::eventFilter(watched, event);
    }
    QObject* target = nullptr;
    bool done = false;
    double elapsedMs = -1;
    QElapsedTimer clock;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void WaitFor(const PaintWatch& watch) {
    QElapsedTimer limit;
    limit.start();
    while (watch.elapsedMs < 0 && limit.elapsed() < 10000) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    if (!kestrel::bench::WriteText(dir.filePath(QStringLiteral("record.txt")),
                                   kestrel::bench::SyntheticRecordText(32765, 40, 25)))
        return 1;
    kestrel::bench::SilentMessages messages;
    kestrel::MainWindow window(messages);
    window.show();
    auto named = [&window](const char* name) {
        return window.findChild<QAbstractButton*>(QString::fromLatin1(name));
    };
    kestrel::bench::ConfirmWave(window, QStringLiteral("record.txt"));
    // The earthquake run the window studies, without its playback.
    named("optSelect")->setChecked(true);
    named("chkPicture")->setChecked(false);
    named("cmdStart")->click();
    QApplication::processEvents();

    std::vector<double> opens, recomputes;
    const char* lists[] = {"2, 5, 10", "2, 5"};
    for (int round = 0; round < rounds; ++round) {
        PaintWatch open;
        app.installEventFilter(&open);
        open.clock.start();
        named("cmdStudy")->click();
        kestrel::StudyWindow* study = window.Study();
        if (!study) return 1;
        open.target = study->spectrum->chart->viewport();
        WaitFor(open);
        app.removeEventFilter(&open);
        opens.push_back(open.elapsedMs);

        PaintWatch again;
        again.target = study->spectrum->chart->viewport();
        app.installEventFilter(&again);
        study->spectrum->txtDampings->setText(QString::fromLatin1(lists[round % 2]));
        again.clock.start();
        study->cmdRecompute->click();
        WaitFor(again);
        app.removeEventFilter(&again);
        recomputes.push_back(again.elapsedMs);

        study->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }
    auto print = [](const char* what, const std::vector<double>& v) {
        std::printf("%s: median %.1f ms (", what, Median(v));
        for (std::size_t i = 0; i < v.size(); ++i) std::printf(i ? " %.1f" : "%.1f", v[i]);
        std::printf(")\n");
    };
    print("open to drawn chart", opens);
    print("recompute to redrawn chart", recomputes);

    if (!kestrel::bench::WriteKnetFiles(dir.path(), 32765, 100, 40)) return 1;
    // The earthquake run on the NS file the tab studies.
    kestrel::bench::ConfirmWave(window, QStringLiteral("KST0012401011610.NS"));
    named("optSelect")->setChecked(true);
    named("cmdStart")->click();
    QApplication::processEvents();
    if (!window.LastRun()) return 1;
    const kestrel::StudyInputs inputs = kestrel::StudyInputsOf(window.LastRun());
    kestrel::IndicesTab tab;
    tab.resize(1100, 700);
    tab.show();
    std::vector<double> indices;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        tab.Compute(inputs, messages);
        tab.repaint();
        indices.push_back(clock.nsecsElapsed() / 1e6);
        if (!tab.HasResult()) return 1;
    }
    print("indices tab: read, compute and draw", indices);
    return 0;
}
