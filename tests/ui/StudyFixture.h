// The main window as the window tests start it (shown, messages scripted, the test's own
// folder the current one), and the steps from a wave file to the study window on its run.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <string>

#include "ui/ChooserWindows.h"
#include "ui/FormChecks.h"
#include "ui/MainControls.h"
#include "ui/MainWindow.h"
#include "ui/ScriptedMessages.h"
#include "ui/StudyWindow.h"

namespace kestrel::test {

// A plain wave file: the time step, then a decaying two-tone ground acceleration.
inline std::string DecayingWaveText(int samples) {
    std::string text = "0.01\r\n";
    for (int k = 0; k < samples; ++k) {
        const double t = k * 0.01;
        const double a = 200 * std::exp(-0.3 * t) * (std::sin(9.0 * t) + 0.5 * std::sin(23.0 * t));
        text += std::to_string(a) + "\r\n";
    }
    return text;
}

struct WindowFixture {
    WindowFixture() {
        window.show();
        QDir::setCurrent(dir.path());
    }
    // Windows closed or unloaded during the test go now, so the next test finds only its own.
    ~WindowFixture() {
        if (StudyWindow* s = window.Study()) s->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    ScriptedMessages messages;
    MainWindow window{messages};
    MainControls ui{window};
    QTemporaryDir dir;
};

struct StudyFixture : WindowFixture {
    // Confirms a wave file of the test folder in the wave chooser and chooses the
    // earthquake case; no messages remain.
    void ConfirmRecord(int samples = 1500) { ConfirmRecordText(DecayingWaveText(samples)); }
    void ConfirmRecordText(const std::string& text, const QString& name = "wave.txt") {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::fromStdString(text));
        f.close();
        ui.cmdWave->click();
        auto* chooser = TopLevel<WaveSelectWindow>();
        QVERIFY(chooser);
        chooser->txtFileName->setText(name);
        chooser->cmdOK->click();
        QVERIFY(window.isVisible());
        ui.optSelect->setChecked(true);
        messages.shown.clear();
    }
    // "解析開始" without the playback; its messages are cleared.
    void Run() {
        ui.chkPicture->setChecked(false);
        ui.cmdStart->click();
        messages.shown.clear();
    }
    StudyWindow* Study() { return window.Study(); }
    StudyWindow* Open() {
        ui.cmdStudy->click();
        return Study();
    }
    // An earthquake run on a record of the given length, and the window opened on it.
    StudyWindow* OpenOnRecord(int samples = 1500) {
        ConfirmRecord(samples);
        Run();
        return Open();
    }
};

}  // namespace kestrel::test
