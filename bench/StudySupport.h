// What the study-window probe and the screenshot program share: message boxes answered at
// once, synthetic ground-acceleration records written to files, and the wave chooser.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "runtime/MessageService.h"
#include "ui/ChooserWindows.h"
#include "ui/MainWindow.h"

namespace kestrel::bench {

// Answers every message box at once with OK, writing its text to standard error.
class SilentMessages : public MessageService {
public:
    int ShowMessage(const QString& prompt, int, const QString&) override {
        std::fprintf(stderr, "message: %s\n", prompt.toUtf8().constData());
        return kAnswerOk;
    }
    void Beep() override {}
    void EndProgram() override {}
};

// A plain wave file of n samples 0.01 s apart: two tones and a deterministic noise under a
// bell envelope centred at `centre` seconds, `width` seconds wide.
inline std::string SyntheticRecordText(int n, double centre, double width) {
    std::string text = "0.01\r\n";
    unsigned state = 12345;
    for (int k = 0; k < n; ++k) {
        const double t = k * 0.01;
        state = state * 1103515245u + 12345u;
        const double noise = static_cast<double>((state >> 8) & 0xffff) / 32768.0 - 1.0;
        const double envelope = std::exp(-std::pow((t - centre) / width, 2));
        const double a =
            envelope * (250 * std::sin(7.3 * t) + 120 * std::sin(17.1 * t) + 80 * noise);
        char number[32];
        std::snprintf(number, sizeof number, "%.4f\r\n", a);
        text += number;
    }
    return text;
}

// One direction ("N-S", "E-W" or "U-D") of a K-NET recording of n samples at 100 Hz: the
// network's header and counts. Each direction shakes with its own phases and `scale` of
// the strength; a bell envelope centred at `centre` seconds, `width` seconds wide.
inline std::string SyntheticKnetText(const char* direction, int n, double centre, double width,
                                     double phase, double scale) {
    const std::pair<const char*, std::string> header[] = {
        {"Origin Time", "2024/01/01 16:10:00"},
        {"Lat.", "37.495"},
        {"Long.", "137.270"},
        {"Depth. (km)", "16"},
        {"Mag.", "7.6"},
        {"Station Code", "KST001"},
        {"Station Lat.", "37.3000"},
        {"Station Long.", "136.9000"},
        {"Station Height(m)", "12"},
        {"Record Time", "2024/01/01 16:10:15"},
        {"Sampling Freq(Hz)", "100Hz"},
        {"Duration Time(s)", std::to_string(n / 100)},
        {"Dir.", direction},
        {"Scale Factor", "3920(gal)/6182761"},
        {"Max. Acc. (gal)", "0"},
        {"Last Correction", "2024/01/01 16:10:00"},
        {"Memo.", ""},
    };
    std::string text;
    for (const auto& [label, value] : header) {
        std::string line = label;
        line.resize(18, ' ');
        text += line + value + "\n";
    }
    unsigned state = 777 + static_cast<unsigned>(phase * 1000);
    for (int k = 0; k < n; ++k) {
        const double t = k * 0.01;
        state = state * 1103515245u + 12345u;
        const double noise = static_cast<double>((state >> 8) & 0xffff) / 32768.0 - 1.0;
        const double envelope = std::exp(-std::pow((t - centre) / width, 2));
        const double gal = scale * envelope *
                           (300 * std::sin(7.3 * t + phase) + 160 * std::sin(13.1 * t + 2 * phase) +
                            90 * std::sin(3.1 * t + phase / 2) + 70 * noise);
        char item[24];
        std::snprintf(item, sizeof item, " %8ld", std::lround(gal * 6182761 / 3920));
        text += item;
        if (k % 8 == 7 || k + 1 == n) text += "\n";
    }
    return text;
}

// Writes the text to the file; false when it cannot be opened.
inline bool WriteText(const QString& path, const std::string& text) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(QByteArray::fromStdString(text));
    return true;
}

// The three files of a K-NET recording, KST0012401011610.NS, .EW and .UD, in the folder:
// each direction with its own phase and strength (SyntheticKnetText).
inline bool WriteKnetFiles(const QString& folder, int n, double centre, double width) {
    const struct {
        const char* suffix;
        const char* direction;
        double phase, scale;
    } knet[] = {{"NS", "N-S", 0, 1}, {"EW", "E-W", 1.3, 0.8}, {"UD", "U-D", 2.1, 0.45}};
    for (const auto& k : knet) {
        const QString name = QStringLiteral("KST0012401011610.%1").arg(QLatin1String(k.suffix));
        const std::string text = SyntheticKnetText(k.direction, n, centre, width, k.phase, k.scale);
        if (!WriteText(QDir(folder).filePath(name), text)) return false;
    }
    return true;
}

// Confirms a file of the current folder in the main window's wave chooser.
inline void ConfirmWave(MainWindow& window, const QString& file) {
    window.findChild<QAbstractButton*>(QStringLiteral("cmdWave"))->click();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* chooser = qobject_cast<WaveSelectWindow*>(w)) {
            chooser->txtFileName->setText(file);
            chooser->cmdOK->click();
        }
    }
}

}  // namespace kestrel::bench
