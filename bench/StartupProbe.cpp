// Start-up probe: starts the program's main window as main.cpp does and prints the wall
// clock (nanoseconds since the epoch) at the window's first paint, then quits. Launched by
// scripts/measure-startup.sh, which notes the clock before starting the process, so the
// difference covers loading the libraries, creating the window and painting it.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "runtime/MessageService.h"
#include "runtime/UiLanguage.h"
#include "ui/MainWindow.h"

namespace {

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_ && watched->isWidgetType()) {
            seen_ = true;
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            std::printf("%lld\n",
                        static_cast<long long>(
                            std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, [] { QApplication::exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    kestrel::InstallTranslations(app, kestrel::ProgramLanguage());
    kestrel::QtMessageService messages;
    kestrel::MainWindow window(messages);
    // The first paint of any of the window's widgets: the window is on screen.
    FirstPaint probe;
    app.installEventFilter(&probe);
    window.show();
    return app.exec();
}
