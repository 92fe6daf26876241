// Kestrel: starts the main window.
#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "files/ReplaceFile.h"
#include "runtime/MessageService.h"
#include "ui/MainWindow.h"

int main(int argc, char* argv[]) {
    kestrel::IgnoreFileSizeSignal();
    // Without a display Qt would abort with a message about platform plugins; say plainly
    // what is missing and how to start the program without a screen.
    const bool display =
        std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
    if (!display) {
        std::fputs(
            "Kestrel is a desktop program and needs a graphical display, but none was found\n"
            "(neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
            "Start it from a desktop session, or without a screen under a virtual one:\n"
            "    xvfb-run -a -s '-screen 0 1280x1024x24' scripts/run.sh\n",
            stderr);
        return 1;
    }
    QApplication app(argc, argv);
    // Qt takes the system's locale for everything; numbers stay as the program writes
    // them ("2.5", never "2,5") whatever the system language.
    std::setlocale(LC_NUMERIC, "C");
    app.setApplicationName(QStringLiteral("Kestrel"));
    // The main window decides when the program ends: hidden windows never end it.
    app.setQuitOnLastWindowClosed(false);

    kestrel::QtMessageService messages;
    kestrel::MainWindow window(messages);
    window.show();
    return app.exec();
}
