// Kestrel: starts the main window.
#include <QApplication>
#include <QIcon>
#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "app/CommandLine.h"
#include "files/ReplaceFile.h"
#include "runtime/MessageService.h"
#include "runtime/UiLanguage.h"
#include "runtime/Version.h"
#include "ui/MainWindow.h"

namespace {

// The program's icon in the sizes compiled in; every window shows it.
QIcon ProgramIcon() {
    QIcon icon;
    for (const char* size : {"48", "128", "256"}) {
        icon.addFile(QStringLiteral(":/icons/kestrel-%1.png").arg(QLatin1String(size)));
    }
    return icon;
}

}  // namespace

int main(int argc, char* argv[]) {
    kestrel::IgnoreFileSizeSignal();
    // The language of every text, set once: the environment's, unless --lang says otherwise.
    kestrel::SetProgramLanguage(
        kestrel::LanguageFromEnvironment(kestrel::ProcessLanguageEnvironment()));
    if (const auto status = kestrel::AnswerInformationRequests(argc, argv)) return *status;

    // Without a display Qt would abort with a message about platform plugins; say plainly
    // what is missing and how to start the installed program without a screen.
    const bool display =
        std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
    if (!display) {
        std::fputs(
            "Kestrel is a desktop program and needs a graphical display, but none was found\n"
            "(neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
            "Start it from a desktop session (menu: Education), or on a machine without a\n"
            "screen under a virtual display (package xvfb):\n"
            "    xvfb-run -a -s '-screen 0 1280x1024x24' kestrel\n"
            "kestrel-batch computes and saves the same results without any display.\n",
            stderr);
        return 1;
    }
    QApplication app(argc, argv);
    // Qt takes the system's locale for everything; numbers stay as the program writes
    // them ("2.5", never "2,5") whatever the system language.
    std::setlocale(LC_NUMERIC, "C");
    // The windows, and Qt's own dialogs and buttons, speak the program's language.
    kestrel::InstallTranslations(app, kestrel::ProgramLanguage());
    app.setApplicationName(QStringLiteral("Kestrel"));
    app.setApplicationVersion(QString::fromUtf8(kestrel::kVersion.data(),
                                                static_cast<qsizetype>(kestrel::kVersion.size())));
    if (const auto status = kestrel::RefuseUnknownArguments(app.arguments())) return *status;
    app.setWindowIcon(ProgramIcon());
    QGuiApplication::setDesktopFileName(
        QString::fromUtf8(kestrel::kAppId.data(), static_cast<qsizetype>(kestrel::kAppId.size())));
    // The main window decides when the program ends: hidden windows never end it.
    app.setQuitOnLastWindowClosed(false);

    kestrel::QtMessageService messages;
    kestrel::MainWindow window(messages);
    window.show();
    return app.exec();
}
